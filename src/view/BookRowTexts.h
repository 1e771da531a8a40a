#pragma once

#include "store/BookRecord.h"
#include "store/LookupList.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CEngineRecordset;

inline constexpr int kBookColumnCount = 13;

struct BookListColumn {
    const char* header;
    int width;
};

// The list's thirteen columns by position: header and width in pixels.
const std::array<BookListColumn, kBookColumnCount>& BookListColumns();

using RowTexts = std::array<std::string, kBookColumnCount>;

// The list shows at most this many characters of a text, so that one huge value in a file
// cannot freeze the window.
inline constexpr std::size_t kListTextLimit = 1000;

inline const std::string kUndefinedType = "[nedefinit]";
inline const std::string kUndefinedState = "[nedefinita]";

// The statement a click on the header of `column` runs: `base` ordered by that column, ascending
// or descending, ties ordered by title.
std::string SortStatement(const std::string& base, int column, bool descending = false);

// Rows as a spreadsheet pastes them: the headers, then one line per row, the cells separated by
// tabs; a tab or line break inside a text becomes a space.
std::string TabSeparatedRows(const std::vector<RowTexts>& rows);

// Column 0: the identifier with at least four digits ("0007").
std::string FormatBookId(std::int64_t id);

// A book's number as the list shows it: empty when it is not known.
std::string NumberText(std::int32_t number);

// Texts of columns 1 to 12 from a book held in memory (identifiers, not minus one); column 0 is
// left empty for the caller.
RowTexts RowTextsFromRecord(const BookRecord& rec, const LookupList& types,
                            const LookupList& states);

// Reads a row's texts back into a book: numbers by their leading integer, names through the
// lookups (-1 where nothing matches).
BookRecord RecordFromRowTexts(const RowTexts& texts, const LookupList& types,
                              const LookupList& states);

// Leading decimal integer of a text, as a formatted scan reads it; 0 when there is none.
std::int64_t LeadingInteger(std::string_view text);

// Turns the records of a set over `books` into row texts. Field positions are found once;
// stored values that name nothing (NULL, a rating outside the list) give an empty text.
class BookRowFormatter {
public:
    BookRowFormatter(const CEngineRecordset& set, const LookupList& types,
                     const LookupList& states);

    // Appends the texts of the set's current record to `out`, recording each column's end.
    void AppendCurrent(std::string& out, std::array<std::uint32_t, kBookColumnCount>& ends) const;

private:
    void AppendNumber(int field, std::string& out) const;
    void AppendLookup(int field, const LookupList& list, const std::string& fallback,
                      std::string& out) const;

    const CEngineRecordset& m_set;
    const LookupList& m_types;
    const LookupList& m_states;
    std::array<int, kBookColumnCount> m_fields{};
};
