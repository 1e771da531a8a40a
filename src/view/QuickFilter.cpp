#include "view/QuickFilter.h"

#include "isbn/IsbnCode.h"

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

void FilterIndex::AppendFolded(const RowTexts& texts, const ListedDetail& detail,
                               std::string& out) {
    for (const int column : kFilteredColumns) {
        AppendFoldedTo(out, texts[static_cast<std::size_t>(column)]);
        out += kSeparator;
    }
    if (!detail.isbn.empty()) {
        out += detail.isbn;
        out += ' ';
        AppendFoldedTo(out, Isbn10Of(detail.isbn));
        out += kSeparator;
    }
    if (!detail.locatie.empty()) {
        AppendFoldedTo(out, detail.locatie);
        out += kSeparator;
    }
}

void FilterIndex::Build(const BookRowTable& rows, const ListedDetails& details) {
    Clear();
    m_ends.reserve(static_cast<std::size_t>(rows.RowCount()));
    m_replacement.reserve(static_cast<std::size_t>(rows.RowCount()));
    RowTexts texts; // only the columns searched are read
    for (int r = 0; r < rows.RowCount(); ++r) {
        for (const int column : kFilteredColumns) {
            texts[static_cast<std::size_t>(column)] = rows.Text(r, column);
        }
        Append(texts, details.Of(rows.Id(r)));
    }
}

void FilterIndex::Append(const RowTexts& texts, const ListedDetail& detail) {
    AppendFolded(texts, detail, m_folded);
    m_ends.push_back(static_cast<std::uint32_t>(m_folded.size()));
    m_replacement.push_back(-1);
}

void FilterIndex::Update(int row, const RowTexts& texts, const ListedDetail& detail) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    std::string folded;
    AppendFolded(texts, detail, folded);
    m_replacement[static_cast<std::size_t>(row)] = static_cast<std::int32_t>(m_replaced.size());
    m_replaced.push_back(std::move(folded));
}

std::vector<FilterIndex::Word> FilterIndex::Prepare(const std::vector<std::string>& words) {
    std::vector<Word> prepared;
    for (const std::string& w : words) {
        Word word{w, {}};
        const bool isbnLike = w.find('-') != std::string::npos &&
                              w.find_first_of("0123456789") != std::string::npos &&
                              w.find_first_not_of("0123456789x-") == std::string::npos;
        if (isbnLike) {
            for (const char c : w) {
                if (c != '-') {
                    word.digits += c;
                }
            }
        }
        prepared.push_back(std::move(word));
    }
    return prepared;
}

bool FilterIndex::RowMatches(std::size_t r, const std::vector<Word>& words) const {
    std::string_view text;
    if (m_replacement[r] >= 0) {
        text = m_replaced[static_cast<std::size_t>(m_replacement[r])];
    } else {
        const std::uint32_t begin = r == 0 ? 0 : m_ends[r - 1];
        text = std::string_view(m_folded).substr(begin, m_ends[r] - begin);
    }
    for (const Word& w : words) {
        if (text.find(w.text) == std::string_view::npos &&
            (w.digits.empty() || text.find(w.digits) == std::string_view::npos)) {
            return false;
        }
    }
    return true;
}

bool FilterIndex::Matches(int row, const std::vector<std::string>& words) const {
    return RowMatches(static_cast<std::size_t>(row), Prepare(words));
}

std::vector<int> FilterIndex::Matching(const std::vector<std::string>& words) const {
    const std::vector<Word> prepared = Prepare(words);
    std::vector<int> rows;
    for (int r = 0; r < RowCount(); ++r) {
        if (prepared.empty() || RowMatches(static_cast<std::size_t>(r), prepared)) {
            rows.push_back(r);
        }
    }
    return rows;
}
