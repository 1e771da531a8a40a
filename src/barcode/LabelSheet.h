#pragma once

#include <string>
#include <vector>

// A sheet of sticky labels, in millimetres: the page, its margins, the grid of labels and the
// gaps between them. The labels share the room the margins and gaps leave.
struct LabelSheet {
    double pageWidth = 210; // A4
    double pageHeight = 297;
    int rows = 8;
    int columns = 3;
    double top = 0.5;
    double bottom = 0.5;
    double left = 0;
    double right = 0;
    double columnGap = 0; // between two labels side by side
    double rowGap = 0;    // between two labels one above the other
};

// The sheets sold most: 3 x 7 labels of 63.5 x 38.1 mm, and 3 x 8 of 70 x 37 mm.
LabelSheet Sheet3x7();
LabelSheet Sheet3x8();

// What makes a sheet unusable ("Etichetele nu incap pe pagina."); empty for a good one.
std::string SheetProblem(const LabelSheet& sheet);

struct LabelRect {
    double x = 0; // from the page's left edge
    double y = 0; // from the page's top edge
    double width = 0;
    double height = 0;
};

// Label `index` of a sheet (0 at the top left, then along the row).
LabelRect LabelAt(const LabelSheet& sheet, int index);

struct PlacedLabel {
    int page = 0;
    LabelRect rect;
};

// Where `count` labels go, the first at label `startAt` (1 at the top left) of the first sheet,
// so that a half-used sheet is used up; the next sheets start at their first label.
std::vector<PlacedLabel> PlaceLabels(const LabelSheet& sheet, int startAt, int count);
