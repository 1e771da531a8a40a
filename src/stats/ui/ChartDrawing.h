#pragma once

#include "stats/ChartFigures.h"

#include <QString>
#include <functional>
#include <vector>

class QChart;
class QIODevice;
class QWidget;

// The chart of figures computed in the core: slices for the types, the states and read or not,
// horizontal bars for the names, upright bars for the decades and the months, those shown apart
// in a colour of their own. Numbers are written the Romanian way. `clicked` gets the position of
// the bar or slice clicked in `bars`.
QChart* MakeChart(ChartKind kind, const std::vector<ChartBar>& bars, const QString& title,
                  const std::function<void(std::size_t)>& clicked);

enum class ChartFile { Png, Svg, Pdf };

// The file kind a chosen name asks for: .svg and .pdf, else PNG.
ChartFile ChartFileOf(const QString& path);

// Draws `widget` (the chart as shown) into `out` as a picture of that kind; false when the
// picture could not be made.
bool WriteChartPicture(QWidget* widget, ChartFile kind, const QString& title, QIODevice& out);
