#include "view/QuickFilter.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

namespace {

// The columns the filter looks at: Titlu, Autor, Editura, Tip, Stare.
constexpr std::array<int, 5> kFilteredColumns{1, 2, 3, 4, 12};
// Ends each folded text, so that a word never matches across two of them.
constexpr char kSeparator = '\x1f';

bool IsAscii(std::string_view s) {
    for (const char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

void AppendFoldedTo(std::string& out, std::string_view utf8) {
    if (IsAscii(utf8)) {
        // Most texts: nothing to decompose, only the case to fold.
        for (const char c : utf8) {
            out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return;
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    const int32_t length = static_cast<int32_t>(utf8.size());
    int32_t i = 0;
    while (i < length) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(utf8.data(), i, length, c);
        if (c < 0) {
            out.append(
                utf8.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
            continue;
        }
        icu::UnicodeString decomposed;
        if (U_SUCCESS(status)) {
            decomposed = nfd->normalize(icu::UnicodeString(c), status);
        } else {
            decomposed = icu::UnicodeString(c);
        }
        for (int32_t k = 0; k < decomposed.length();) {
            const UChar32 d = decomposed.char32At(k);
            k += U16_LENGTH(d);
            if (u_charType(d) == U_NON_SPACING_MARK) {
                continue; // the accent, the cedilla, the comma below
            }
            char bytes[U8_MAX_LENGTH];
            int32_t n = 0;
            U8_APPEND_UNSAFE(bytes, n, u_foldCase(d, U_FOLD_CASE_DEFAULT));
            out.append(bytes, static_cast<std::size_t>(n));
        }
    }
}

} // namespace

std::string FoldForFilter(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    AppendFoldedTo(out, utf8);
    return out;
}

std::vector<std::string> FilterWords(std::string_view typed) {
    std::vector<std::string> words;
    const std::string folded = FoldForFilter(typed);
    std::size_t i = 0;
    while (i < folded.size()) {
        const std::size_t end = folded.find_first_of(" \t\n\r", i);
        const std::size_t stop = end == std::string::npos ? folded.size() : end;
        if (stop > i) {
            words.push_back(folded.substr(i, stop - i));
        }
        i = stop + 1;
    }
    return words;
}

void FilterIndex::AppendFolded(const std::array<std::string_view, 5>& texts) {
    for (const std::string_view t : texts) {
        AppendFoldedTo(m_folded, t);
        m_folded += kSeparator;
    }
    m_ends.push_back(static_cast<std::uint32_t>(m_folded.size()));
    m_replacement.push_back(-1);
}

void FilterIndex::Build(const BookRowTable& rows) {
    Clear();
    m_ends.reserve(static_cast<std::size_t>(rows.RowCount()));
    m_replacement.reserve(static_cast<std::size_t>(rows.RowCount()));
    for (int r = 0; r < rows.RowCount(); ++r) {
        std::array<std::string, 5> texts;
        std::array<std::string_view, 5> views;
        for (std::size_t k = 0; k < kFilteredColumns.size(); ++k) {
            texts[k] = rows.Text(r, kFilteredColumns[k]);
            views[k] = texts[k];
        }
        AppendFolded(views);
    }
}

void FilterIndex::Append(const RowTexts& texts) {
    std::array<std::string_view, 5> views;
    for (std::size_t k = 0; k < kFilteredColumns.size(); ++k) {
        views[k] = texts[static_cast<std::size_t>(kFilteredColumns[k])];
    }
    AppendFolded(views);
}

void FilterIndex::Update(int row, const RowTexts& texts) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    std::string folded;
    for (const int column : kFilteredColumns) {
        AppendFoldedTo(folded, texts[static_cast<std::size_t>(column)]);
        folded += kSeparator;
    }
    m_replacement[static_cast<std::size_t>(row)] = static_cast<std::int32_t>(m_replaced.size());
    m_replaced.push_back(std::move(folded));
}

bool FilterIndex::Matches(int row, const std::vector<std::string>& words) const {
    const auto r = static_cast<std::size_t>(row);
    std::string_view text;
    if (m_replacement[r] >= 0) {
        text = m_replaced[static_cast<std::size_t>(m_replacement[r])];
    } else {
        const std::uint32_t begin = r == 0 ? 0 : m_ends[r - 1];
        text = std::string_view(m_folded).substr(begin, m_ends[r] - begin);
    }
    for (const std::string& w : words) {
        if (text.find(w) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

std::vector<int> FilterIndex::Matching(const std::vector<std::string>& words) const {
    std::vector<int> rows;
    for (int r = 0; r < RowCount(); ++r) {
        if (words.empty() || Matches(r, words)) {
            rows.push_back(r);
        }
    }
    return rows;
}
