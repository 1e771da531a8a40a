#pragma once

#include "barcode/BookLabel.h"
#include "barcode/LabelSheet.h"

#include <QString>
#include <vector>

class QFontMetricsF;
class QPagedPaintDevice;

// A label sheet is printed on the whole page, portrait: the sheet's margins are its own.
void SetUpLabelPrinter(QPagedPaintDevice& printer, const LabelSheet& sheet);

// Prints a label for each book, the first at label `startAt` of the first sheet, the next ones
// along the rows and on as many sheets as they take: its title (shortened with "..."), author
// and location, and a Code 128 barcode of its code ("SW0042") with the code written under it.
// False when the printer cannot be painted on.
bool PrintLabels(QPagedPaintDevice& printer, const LabelSheet& sheet, int startAt,
                 const std::vector<BookLabel>& labels);

// The text as it fits `width`: whole, or cut after a word (within a word when the first one is
// too long) with "..." after it.
QString Shortened(const QString& text, const QFontMetricsF& metrics, double width);
