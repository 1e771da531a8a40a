#pragma once

#include "view/BookRowTexts.h"

#include <array>
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

// How a listing falls on printed pages. Each column is as wide as its texts ask: numbers and
// short names keep their width, the long texts (titles, authors, publishers) share the rest of
// the page, and a text wider than its column wraps within its row, which grows by as many lines.
// The rows run on from page to page in the listing's order, the headers on top of every page.
//
// Used in three passes: Measure every row, FixColumns for the page, then AddRow every row in
// order and Paginate.
class ListingPages {
public:
    // Counts the characters of a row's texts, so that each column gets the width its longest
    // text asks for.
    void Measure(const RowTexts& row);
    // Fixes the columns for a page as wide as `pageCharacters` characters of average width.
    void FixColumns(double pageCharacters);
    // Counts the lines the next row takes, its texts wrapped by word in their columns: by
    // `lines` (a column and its text give the lines the text fills) where the text's real width
    // is known, else by counting characters.
    using LineCounter = std::function<int(std::size_t column, std::string_view text)>;
    void AddRow(const RowTexts& row, const LineCounter& lines = {});
    // Puts the rows added on pages of `pageLines` lines each, the headers' lines included.
    void Paginate(int pageLines);

    // Each column's part of the page's width; together 1.
    const std::array<double, kBookColumnCount>& ColumnShares() const { return m_shares; }
    // The characters a line of each column holds.
    const std::array<std::size_t, kBookColumnCount>& ColumnCharacters() const { return m_capacity; }
    // Lines the headers take (a long header wraps over a narrow column), and a row.
    int HeaderLines() const { return m_headerLines; }
    int RowLines(int row) const { return m_rowLines[static_cast<std::size_t>(row)]; }
    // At least one page, also for an empty listing: its headers are printed.
    int PageCount() const { return static_cast<int>(m_pageStarts.size()); }
    int FirstRow(int page) const { return m_pageStarts[static_cast<std::size_t>(page)]; }
    int EndRow(int page) const;

    // The lines `text` takes when wrapped by word at `width` characters; a word longer than a
    // line is cut. At least one.
    static int WrappedLines(std::string_view text, std::size_t width);

private:
    std::array<std::size_t, kBookColumnCount> m_longest{};
    std::array<double, kBookColumnCount> m_shares{};
    std::array<std::size_t, kBookColumnCount> m_capacity{};
    int m_headerLines = 1;
    std::vector<int> m_rowLines;
    std::vector<int> m_pageStarts{0};
};
