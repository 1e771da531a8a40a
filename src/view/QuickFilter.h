#pragma once

#include "view/BookRowTable.h"
#include "view/ListedDetails.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The quick filter's forgiving match: letter case and every accent are ignored, and the old
// cedilla letters (ş ţ) are the same as the comma-below ones (ș ț).

// `utf8` as the filter compares it: decomposed by ICU, marks removed, case folded. Bytes that
// are not UTF-8 are kept as they are.
std::string FoldForFilter(std::string_view utf8);

// The folded words of what the user typed, split at blanks; none for an empty or blank text.
std::vector<std::string> FilterWords(std::string_view typed);

// The folded Titlu, Autor, Editura, Tip and Stare texts of each row of a listing, and its book's
// ISBN and location, made once so that each keystroke only searches. An ISBN is found by any
// part of its 13 digits or of the ISBN-10 it stands for, typed with or without hyphens.
class FilterIndex {
public:
    void Build(const BookRowTable& rows, const ListedDetails& details);
    // Gives the memory back.
    void Clear() { *this = FilterIndex(); }
    void Append(const RowTexts& texts, const ListedDetail& detail);
    void Update(int row, const RowTexts& texts, const ListedDetail& detail);
    int RowCount() const { return static_cast<int>(m_ends.size()); }

    // True when every word is part of one of the row's texts.
    bool Matches(int row, const std::vector<std::string>& words) const;
    // The rows that match, in order; every row when there are no words.
    std::vector<int> Matching(const std::vector<std::string>& words) const;

private:
    // A word typed, and the same without hyphens when it may be part of an ISBN.
    struct Word {
        std::string text;
        std::string digits;
    };
    static std::vector<Word> Prepare(const std::vector<std::string>& words);
    bool RowMatches(std::size_t row, const std::vector<Word>& words) const;
    void AppendFolded(const RowTexts& texts, const ListedDetail& detail, std::string& out);

    std::string m_folded; // each row's texts, folded, each ended by a separator
    std::vector<std::uint32_t> m_ends;
    std::vector<std::string> m_replaced;     // rows rewritten since the build, by Update
    std::vector<std::int32_t> m_replacement; // per row: index into m_replaced, or -1
};
