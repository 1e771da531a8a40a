#pragma once

#include "view/BookRowTexts.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

using ColumnNumbers = std::array<int, kBookColumnCount>;

// How the user left the list: column widths by column and the columns in the order shown.
struct ListLayout {
    ColumnNumbers widths{};
    ColumnNumbers order{};
};

// The starting layout: the columns' own widths, in their own order.
ListLayout DefaultListLayout();

// Widths that fill `available` pixels: Titlu, Autor and Editura share the room left over, in
// proportion to their starting widths, and give it back when the room shrinks, never going
// below their starting widths. The other columns keep the width the user gave them.
ColumnNumbers FitColumnWidths(const ColumnNumbers& widths, int available);

// A list of thirteen numbers as the settings store keeps them: "50,150,130,...".
std::string JoinColumnNumbers(const ColumnNumbers& numbers);
// Thirteen widths between 1 and 10000, or nothing.
std::optional<ColumnNumbers> ParseColumnWidths(std::string_view text);
// Every column number once, or nothing.
std::optional<ColumnNumbers> ParseColumnOrder(std::string_view text);
