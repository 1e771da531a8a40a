#pragma once

#include "view/BookRowTexts.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

// How a listing falls on printed pages: the thirteen columns share the page's width, and the
// rows run on from page to page in the listing's order.
class ListingPages {
public:
    // Counts the characters of a row's texts, so that each column gets the width its longest
    // text asks for.
    void Measure(const RowTexts& row);
    // Fixes the column shares and the number of pages for `rowCount` rows measured, `rowsPerPage`
    // rows fitting below the headers of a page, and a page as wide as `pageCharacters`
    // characters of average width.
    void LayOut(int rowCount, int rowsPerPage, double pageCharacters);

    // Each column's part of the page's width; together 1. A column is as wide as its longest
    // text (or header), no narrower than a few characters and no wider than a long title; when
    // the page is too narrow for them all, the long texts give up room, the short ones do not.
    const std::array<double, kBookColumnCount>& ColumnShares() const { return m_shares; }
    // At least one page, also for an empty listing: its headers are printed.
    int PageCount() const { return std::max(1, (m_rowCount + m_rowsPerPage - 1) / m_rowsPerPage); }
    int FirstRow(int page) const { return page * m_rowsPerPage; }
    int EndRow(int page) const { return std::min(m_rowCount, FirstRow(page) + m_rowsPerPage); }

private:
    std::array<std::size_t, kBookColumnCount> m_longest{};
    std::array<double, kBookColumnCount> m_shares{};
    int m_rowCount = 0;
    int m_rowsPerPage = 1;
};
