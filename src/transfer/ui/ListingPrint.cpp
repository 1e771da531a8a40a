#include "transfer/ui/ListingPrint.h"

#include "transfer/ListingPages.h"
#include "view/ui/CBookListModel.h"

#include <QDate>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <numeric>

namespace {

constexpr int kFontPoints = 7;

// The page's parts, in device pixels.
struct PageFrame {
    QRect page;
    int line = 0;    // height of one line of text
    int top = 0;     // where the rows start, below the title and the headers
    int padding = 0; // room left between two columns
    std::array<int, kBookColumnCount + 1> edges{}; // left edge of each column, then the right one
};

PageFrame FramePage(const QPagedPaintDevice& printer, const QFontMetrics& metrics) {
    PageFrame f;
    f.page = printer.pageLayout().paintRectPixels(printer.logicalDpiX());
    f.page.moveTo(0, 0);
    f.line = metrics.height() + metrics.height() / 8;
    f.padding = metrics.averageCharWidth() / 2;
    return f;
}

void PlaceColumns(PageFrame& f, const ListingPages& pages) {
    double left = 0;
    for (int c = 0; c < kBookColumnCount; ++c) {
        f.edges[static_cast<std::size_t>(c)] = static_cast<int>(left);
        left += pages.ColumnShares()[static_cast<std::size_t>(c)] * f.page.width();
    }
    f.edges[kBookColumnCount] = f.page.width();
    // The title's line and a blank one, then the headers.
    f.top = (2 + pages.HeaderLines()) * f.line;
}

// Each text wraps within its column, between words where it can.
constexpr int kWrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere;

int CellWidth(const PageFrame& f, std::size_t column) {
    return f.edges[column + 1] - f.edges[column] - 2 * f.padding;
}

// The lines a text fills in its column, as the painter will wrap it.
int LinesOf(const QFontMetrics& metrics, const PageFrame& f, std::size_t column,
            std::string_view text) {
    const QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QRect needed =
        metrics.boundingRect(QRect(0, 0, CellWidth(f, column), 1 << 24), kWrap, shown);
    return std::max(1, (needed.height() + metrics.lineSpacing() / 2) / metrics.lineSpacing());
}

// A row of `lines` lines.
void PaintRow(QPainter& painter, const PageFrame& f, int y, int lines,
              const std::array<QString, kBookColumnCount>& texts) {
    painter.save();
    for (std::size_t c = 0; c < texts.size(); ++c) {
        const QRect cell(f.edges[c] + f.padding, y, CellWidth(f, c), lines * f.line);
        painter.setClipRect(cell);
        painter.drawText(cell, kWrap, texts[c]);
    }
    painter.restore();
}

void PaintPage(QPainter& painter, const PageFrame& f, const CBookListModel& model,
               const std::vector<int>& rows, const ListingPages& pages, int page,
               const QString& heading) {
    QFont bold = painter.font();
    bold.setBold(true);
    const QFont plain = painter.font();
    painter.setFont(bold);
    painter.drawText(QRect(0, 0, f.page.width(), f.line), Qt::AlignLeft | Qt::AlignVCenter,
                     heading);
    painter.drawText(QRect(0, 0, f.page.width(), f.line), Qt::AlignRight | Qt::AlignVCenter,
                     QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));
    std::array<QString, kBookColumnCount> texts;
    for (std::size_t c = 0; c < texts.size(); ++c) {
        texts[c] = QString::fromUtf8(BookListColumns()[c].header);
    }
    PaintRow(painter, f, f.top - pages.HeaderLines() * f.line, pages.HeaderLines(), texts);
    painter.setFont(plain);
    painter.drawLine(0, f.top, f.page.width(), f.top);
    int y = f.top;
    for (int row = pages.FirstRow(page); row < pages.EndRow(page); ++row) {
        for (std::size_t c = 0; c < texts.size(); ++c) {
            texts[c] = model.Text(rows[static_cast<std::size_t>(row)], static_cast<int>(c));
        }
        PaintRow(painter, f, y, pages.RowLines(row), texts);
        y += pages.RowLines(row) * f.line;
    }
    painter.drawText(QRect(0, f.page.height() - f.line, f.page.width(), f.line), Qt::AlignCenter,
                     QStringLiteral("Pagina %1 din %2").arg(page + 1).arg(pages.PageCount()));
}

} // namespace

void SetUpListingPrinter(QPagedPaintDevice& printer) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

bool PrintListing(QPagedPaintDevice& printer, const CBookListModel& model,
                  const QString& catalogueName, std::vector<int> rows) {
    if (rows.empty()) {
        rows.resize(static_cast<std::size_t>(model.rowCount()));
        std::iota(rows.begin(), rows.end(), 0);
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    QFont font = painter.font();
    font.setPointSize(kFontPoints);
    painter.setFont(font);
    ListingPages pages;
    for (const int row : rows) {
        pages.Measure(model.Row(row));
    }
    PageFrame frame = FramePage(printer, painter.fontMetrics());
    // The width of a character as catalogue texts have them: capitals, small letters, digits.
    const QString sample = QStringLiteral("Penguin Classics, 1997: Harry Potter");
    const double character =
        static_cast<double>(painter.fontMetrics().horizontalAdvance(sample)) / sample.size();
    pages.FixColumns(frame.page.width() / character);
    PlaceColumns(frame, pages);
    const QFontMetrics metrics = painter.fontMetrics();
    const auto lines = [&](std::size_t column, std::string_view text) {
        return LinesOf(metrics, frame, column, text);
    };
    for (const int row : rows) {
        pages.AddRow(model.Row(row), lines);
    }
    // The title and a blank line above the headers, a blank line and the page number below.
    pages.Paginate(frame.page.height() / frame.line - 4);
    for (int page = 0; page < pages.PageCount(); ++page) {
        if (page > 0) {
            printer.newPage();
        }
        PaintPage(painter, frame, model, rows, pages, page, catalogueName);
    }
    return painter.end();
}
