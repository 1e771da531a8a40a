#include "stats/ui/ChartDrawing.h"

#include "shell/DialogParts.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPieSeries>
#include <QPieSlice>
#include <QStackedBarSeries>
#include <QSvgGenerator>
#include <QValueAxis>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace {

const QColor kApartColor(160, 160, 160);
// Up to this many categories, their labels lie under the bars.
constexpr int kLyingLabels = 8;
// Up to this many bars, each carries its number.
constexpr int kNumberedBars = 24;
// A slice under one part in this many of the whole is named by the legend alone.
constexpr std::int64_t kThinSlice = 25;

bool IsPie(ChartKind kind) {
    return kind == ChartKind::Types || kind == ChartKind::States || kind == ChartKind::Read;
}

bool IsNames(ChartKind kind) {
    return kind == ChartKind::Authors || kind == ChartKind::Publishers ||
           kind == ChartKind::Borrowers;
}

void AddPie(QChart* chart, const std::vector<ChartBar>& bars,
            const std::function<void(std::size_t)>& clicked) {
    auto* series = new QPieSeries(chart);
    std::int64_t total = 0;
    for (const ChartBar& bar : bars) {
        total += bar.count;
    }
    for (std::size_t i = 0; i < bars.size(); ++i) {
        auto* slice = series->append(FromUtf8(bars[i].label) + QStringLiteral(": ") +
                                         RomanianNumber(bars[i].count),
                                     static_cast<qreal>(bars[i].count));
        // A thin slice's label would lie over its neighbours'; the legend names every slice.
        slice->setLabelVisible(bars[i].count * kThinSlice >= total);
        QObject::connect(slice, &QPieSlice::clicked, chart, [clicked, i] { clicked(i); });
    }
    chart->addSeries(series);
    chart->legend()->setAlignment(Qt::AlignRight);
}

// A count axis whose marks fall on whole numbers, written the Romanian way.
QValueAxis* CountAxis(const std::vector<ChartBar>& bars) {
    std::int64_t most = 1;
    for (const ChartBar& bar : bars) {
        most = std::max(most, bar.count);
    }
    // About five marks, a step of 1, 2 or 5 times a power of ten.
    const double rough = static_cast<double>(most) / 5.0;
    const double power = std::pow(10.0, std::floor(std::log10(std::max(rough, 1.0))));
    double step = power;
    for (const double factor : {2.0, 5.0, 10.0}) {
        if (step < rough) {
            step = power * factor;
        }
    }
    auto* axis = new QValueAxis;
    // A mark above the longest bar leaves room for its number.
    axis->setRange(0, (std::floor(static_cast<double>(most) / step) + 1) * step);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    return axis;
}

void AddBars(QChart* chart, ChartKind kind, const std::vector<ChartBar>& bars,
             const std::function<void(std::size_t)>& clicked) {
    // Names read from the top down, as a list: the horizontal series draws its first category at
    // the bottom, so they go in from the last.
    const bool names = IsNames(kind);
    const std::size_t n = bars.size();
    auto position = [names, n](int index) {
        return names ? n - 1 - static_cast<std::size_t>(index) : static_cast<std::size_t>(index);
    };
    auto* counted = new QBarSet(QStringLiteral("Carti"));
    auto* apart = new QBarSet(QStringLiteral("Necunoscut"));
    apart->setColor(kApartColor);
    QStringList categories;
    bool anyApart = false;
    for (std::size_t k = 0; k < n; ++k) {
        const ChartBar& bar = bars[position(static_cast<int>(k))];
        categories << FromUtf8(bar.label);
        counted->append(bar.apart ? 0.0 : static_cast<qreal>(bar.count));
        apart->append(bar.apart ? static_cast<qreal>(bar.count) : 0.0);
        anyApart = anyApart || bar.apart;
    }
    QAbstractBarSeries* series =
        names ? static_cast<QAbstractBarSeries*>(new QHorizontalBarSeries) : new QStackedBarSeries;
    series->append(counted);
    if (anyApart) {
        series->append(apart);
    } else {
        delete apart;
    }
    // Too many bars leave their numbers no room: the axis tells them then.
    series->setLabelsVisible(categories.size() <= kNumberedBars);
    series->setLabelsPosition(names ? QAbstractBarSeries::LabelsOutsideEnd
                                    : QAbstractBarSeries::LabelsInsideEnd);
    QObject::connect(series, &QAbstractBarSeries::clicked, chart,
                     [clicked, position](int index, QBarSet*) { clicked(position(index)); });
    chart->addSeries(series);
    auto* labels = new QBarCategoryAxis;
    labels->append(categories);
    // A name is read whole, however long: the chart gives its axis the room.
    labels->setTruncateLabels(false);
    // Many years or months side by side are read upright rather than cut short.
    if (!names && categories.size() > kLyingLabels) {
        labels->setLabelsAngle(-90);
    }
    QValueAxis* counts = CountAxis(bars);
    chart->addAxis(labels, names ? Qt::AlignLeft : Qt::AlignBottom);
    chart->addAxis(counts, names ? Qt::AlignBottom : Qt::AlignLeft);
    series->attachAxis(labels);
    series->attachAxis(counts);
    chart->legend()->hide();
}

} // namespace

QChart* MakeChart(ChartKind kind, const std::vector<ChartBar>& bars, const QString& title,
                  const std::function<void(std::size_t)>& clicked) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setLocale(QLocale(QLocale::Romanian, QLocale::Romania));
    chart->setLocalizeNumbers(true);
    // Drawn at once: the charts follow the user's clicks, not an animation.
    chart->setAnimationOptions(QChart::NoAnimation);
    if (IsPie(kind)) {
        AddPie(chart, bars, clicked);
    } else {
        AddBars(chart, kind, bars, clicked);
    }
    return chart;
}

ChartFile ChartFileOf(const QString& path) {
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        return ChartFile::Svg;
    }
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        return ChartFile::Pdf;
    }
    return ChartFile::Png;
}

bool WriteChartPicture(QWidget* widget, ChartFile kind, const QString& title, QIODevice& out) {
    const QSize size = widget->size();
    switch (kind) {
    case ChartFile::Png: {
        // Twice the pixels of the screen, so that a printed picture stays sharp.
        QImage image(size * 2, QImage::Format_ARGB32);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            widget->render(&painter);
        }
        return image.save(&out, "PNG");
    }
    case ChartFile::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&out);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
        QPainter painter;
        if (!painter.begin(&svg)) {
            return false;
        }
        widget->render(&painter);
        return painter.end();
    }
    case ChartFile::Pdf: {
        QPdfWriter pdf(&out);
        pdf.setTitle(title);
        pdf.setResolution(72);
        pdf.setPageMargins(QMarginsF());
        pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            return false;
        }
        widget->render(&painter);
        return painter.end();
    }
    }
    return false;
}
