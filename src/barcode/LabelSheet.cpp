#include "barcode/LabelSheet.h"

namespace {

double LabelWidth(const LabelSheet& sheet) {
    return (sheet.pageWidth - sheet.left - sheet.right - (sheet.columns - 1) * sheet.columnGap) /
           sheet.columns;
}

double LabelHeight(const LabelSheet& sheet) {
    return (sheet.pageHeight - sheet.top - sheet.bottom - (sheet.rows - 1) * sheet.rowGap) /
           sheet.rows;
}

// Smaller than this a label holds no readable barcode.
constexpr double kSmallestLabel = 10;

} // namespace

LabelSheet Sheet3x7() {
    LabelSheet sheet;
    sheet.rows = 7;
    sheet.top = sheet.bottom = 15.15;
    sheet.left = sheet.right = 7.25;
    sheet.columnGap = 2.5;
    return sheet;
}

LabelSheet Sheet3x8() {
    return LabelSheet{};
}

std::string SheetProblem(const LabelSheet& sheet) {
    if (sheet.rows < 1 || sheet.columns < 1) {
        return "Foaia are cel putin un rand si o coloana de etichete.";
    }
    if (sheet.top < 0 || sheet.bottom < 0 || sheet.left < 0 || sheet.right < 0 ||
        sheet.columnGap < 0 || sheet.rowGap < 0) {
        return "Marginile si distantele nu pot fi negative.";
    }
    if (LabelWidth(sheet) < kSmallestLabel || LabelHeight(sheet) < kSmallestLabel) {
        return "Etichetele nu incap pe pagina: fiecare are nevoie de cel putin 10 x 10 mm.";
    }
    return {};
}

LabelRect LabelAt(const LabelSheet& sheet, int index) {
    const int row = index / sheet.columns;
    const int column = index % sheet.columns;
    const double width = LabelWidth(sheet);
    const double height = LabelHeight(sheet);
    return {sheet.left + column * (width + sheet.columnGap),
            sheet.top + row * (height + sheet.rowGap), width, height};
}

std::vector<PlacedLabel> PlaceLabels(const LabelSheet& sheet, int startAt, int count) {
    const int perSheet = sheet.rows * sheet.columns;
    std::vector<PlacedLabel> placed;
    int slot = startAt >= 1 && startAt <= perSheet ? startAt - 1 : 0;
    for (int i = 0; i < count; ++i, ++slot) {
        placed.push_back({slot / perSheet, LabelAt(sheet, slot % perSheet)});
    }
    return placed;
}
