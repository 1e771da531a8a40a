#include "barcode/ui/LabelPrint.h"

#include "barcode/BookCode.h"
#include "barcode/Code128.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

constexpr double kPaddingMm = 2;
// Narrower bars than this a common scanner no longer tells apart; wider ones waste the label.
constexpr double kNarrowestModuleMm = 0.19;
constexpr double kWidestModuleMm = 0.5;
// Code 128 wants ten modules of white either side.
constexpr int kQuietModules = 10;

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The bars of the code, centred in `area` (device pixels), as tall as it is.
void PaintBars(QPainter& painter, const std::vector<bool>& modules, const QRectF& area,
               double pixelsPerMm) {
    const int all = static_cast<int>(modules.size()) + 2 * kQuietModules;
    const double module = std::clamp(area.width() / all, kNarrowestModuleMm * pixelsPerMm,
                                     kWidestModuleMm * pixelsPerMm);
    double x = area.center().x() - module * static_cast<double>(modules.size()) / 2;
    for (std::size_t i = 0; i < modules.size();) {
        std::size_t end = i;
        while (end < modules.size() && modules[end] == modules[i]) {
            ++end;
        }
        if (modules[i]) {
            painter.fillRect(QRectF(x + module * static_cast<double>(i), area.top(),
                                    module * static_cast<double>(end - i), area.height()),
                             Qt::black);
        }
        i = end;
    }
}

void PaintLabel(QPainter& painter, const BookLabel& label, const QRectF& rect, double pixelsPerMm) {
    const QRectF inner = rect.adjusted(kPaddingMm * pixelsPerMm, kPaddingMm * pixelsPerMm,
                                       -kPaddingMm * pixelsPerMm, -kPaddingMm * pixelsPerMm);
    QFont font = painter.font();
    font.setPointSizeF(std::clamp(inner.height() / pixelsPerMm / 4.5, 5.0, 9.0));
    QFont bold = font;
    bold.setBold(true);
    double y = inner.top();
    const auto line = [&](const QFont& f, const std::string& text) {
        painter.setFont(f);
        const QFontMetricsF metrics(f, painter.device());
        painter.drawText(QRectF(inner.left(), y, inner.width(), metrics.height()),
                         Qt::AlignLeft | Qt::AlignTop,
                         Shortened(FromUtf8(text), metrics, inner.width()));
        y += metrics.height();
    };
    line(bold, label.title);
    line(font, label.author);
    line(font, label.location);
    const std::string code = BookCodeOf(label.id);
    QFont small = font;
    small.setPointSizeF(font.pointSizeF() * 0.85);
    const QFontMetricsF smallMetrics(small, painter.device());
    const QRectF bars(inner.left(), y + pixelsPerMm, inner.width(),
                      inner.bottom() - y - pixelsPerMm - smallMetrics.height());
    PaintBars(painter, Code128Modules(code), bars, pixelsPerMm);
    painter.setFont(small);
    painter.drawText(QRectF(inner.left(), bars.bottom(), inner.width(), smallMetrics.height()),
                     Qt::AlignHCenter | Qt::AlignTop, FromUtf8(code));
}

} // namespace

void SetUpLabelPrinter(QPagedPaintDevice& printer, const LabelSheet& sheet) {
    printer.setPageSize(
        QPageSize(QSizeF(sheet.pageWidth, sheet.pageHeight), QPageSize::Millimeter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool PrintLabels(QPagedPaintDevice& printer, const LabelSheet& sheet, int startAt,
                 const std::vector<BookLabel>& labels) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    // The page's top left corner is the sheet's; a printer that keeps a margin of its own moves
    // the paintable area, which the offset takes back.
    const double pixelsPerMm = printer.logicalDpiX() / 25.4;
    const QRectF paintable = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    painter.translate(-paintable.left() * pixelsPerMm, -paintable.top() * pixelsPerMm);
    const std::vector<PlacedLabel> placed =
        PlaceLabels(sheet, startAt, static_cast<int>(labels.size()));
    int page = 0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (placed[i].page != page) {
            printer.newPage();
            page = placed[i].page;
        }
        const LabelRect& r = placed[i].rect;
        PaintLabel(painter, labels[i],
                   QRectF(r.x * pixelsPerMm, r.y * pixelsPerMm, r.width * pixelsPerMm,
                          r.height * pixelsPerMm),
                   pixelsPerMm);
    }
    return painter.end();
}

QString Shortened(const QString& text, const QFontMetricsF& metrics, double width) {
    if (metrics.horizontalAdvance(text) <= width) {
        return text;
    }
    const QString dots = QStringLiteral("...");
    QString cut = text;
    while (!cut.isEmpty() && metrics.horizontalAdvance(cut + dots) > width) {
        const qsizetype space = cut.lastIndexOf(' ');
        cut = space > 0 ? cut.left(space) : cut.left(cut.size() - 1);
        cut = cut.trimmed();
    }
    return cut + dots;
}
