#pragma once

#include "store/MessageSink.h"
#include "view/BookRowTexts.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CEngineRecordset;

// The texts of the list's rows, compactly: one buffer per row and the end of each column in it,
// so a listed book costs about a hundred bytes beyond its texts.
class BookRowTable {
public:
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    std::string_view Text(int row, int column) const;
    RowTexts Row(int row) const;

    void AppendRow(const RowTexts& texts);
    // Rewrites columns 1 to 12 of a row; column 0 stays.
    void SetRowTexts(int row, const RowTexts& texts);
    // Gives the memory back, not only the rows.
    void Clear() { std::vector<PackedRow>().swap(m_rows); }
    void Swap(BookRowTable& other) noexcept { m_rows.swap(other.m_rows); }

    // Builds the rows of every record of the set, in the set's order.
    static BookRowTable FromRecordset(CEngineRecordset& set, const LookupList& types,
                                      const LookupList& states);

private:
    struct PackedRow {
        std::string data;
        std::array<std::uint32_t, kBookColumnCount> ends{};
    };
    static PackedRow Pack(const RowTexts& texts);

    std::vector<PackedRow> m_rows;
};

// The rows of a listing, or nothing when the set is not one of books (a column missing, a value
// of the wrong kind): then "Nu se pot selecta inregistrarile!" has gone to `sink`.
std::optional<BookRowTable> ReadBookRows(CEngineRecordset& set, const LookupList& types,
                                         const LookupList& states, const MessageSink& sink);
