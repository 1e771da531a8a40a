#include "transfer/ListingPages.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::size_t kNarrowest = 3;
// Even a long title wraps past this many characters, so that the other texts keep room.
constexpr std::size_t kWidest = 60;
// Room between columns, in characters.
constexpr std::size_t kGap = 2;
// A column whose texts are no longer than this keeps its width whatever the page's.
constexpr std::size_t kShortText = 12;
// Texts are measured in average characters; a line is filled to this part of its width, so
// that a line of wide letters still fits.
constexpr double kFill = 0.9;

bool StartsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

std::size_t Characters(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), StartsCharacter));
}

// Headers are printed in bold, a quarter wider.
std::size_t BoldCharacters(std::size_t characters) {
    return characters * 5 / 4 + 1;
}

std::size_t LongestWord(std::string_view text) {
    std::size_t longest = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        longest = std::max(longest, Characters(text.substr(start, end - start)));
        start = end + 1;
    }
    return longest;
}

} // namespace

int ListingPages::WrappedLines(std::string_view text, std::size_t width) {
    width = std::max<std::size_t>(width, 1);
    int lines = 1;
    std::size_t used = 0; // characters on the current line
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        std::size_t word = Characters(text.substr(start, end - start));
        start = end + 1;
        if (word == 0) {
            continue;
        }
        const std::size_t needed = used == 0 ? word : used + 1 + word;
        if (needed <= width) {
            used = needed;
            continue;
        }
        if (used > 0) {
            ++lines;
        }
        // A word longer than a line is cut at its end.
        lines += static_cast<int>((word - 1) / width);
        used = (word - 1) % width + 1;
    }
    return lines;
}

void ListingPages::Measure(const RowTexts& row) {
    for (std::size_t c = 0; c < row.size(); ++c) {
        m_longest[c] = std::max(m_longest[c], Characters(row[c]));
    }
}

void ListingPages::FixColumns(double pageCharacters) {
    std::array<double, kBookColumnCount> wanted{};
    std::array<bool, kBookColumnCount> longText{};
    double fixed = 0;
    double flexible = 0;
    for (std::size_t c = 0; c < wanted.size(); ++c) {
        // A header wraps between its words; its longest word is what the column must hold.
        const std::size_t header = BoldCharacters(LongestWord(BookListColumns()[c].header));
        const std::size_t longest = std::clamp(std::max(m_longest[c], header), kNarrowest, kWidest);
        wanted[c] = std::ceil(static_cast<double>(longest) / kFill) + static_cast<double>(kGap);
        longText[c] = m_longest[c] > kShortText;
        (longText[c] ? flexible : fixed) += wanted[c];
    }
    // Short texts keep their width; the long ones share what is left, however much, so that a
    // number is never cut for the sake of a title nor widened for nothing.
    const double scale = flexible > 0 ? std::max((pageCharacters - fixed) / flexible, 0.2) : 1.0;
    double total = 0;
    for (std::size_t c = 0; c < wanted.size(); ++c) {
        wanted[c] *= longText[c] ? scale : 1.0;
        total += wanted[c];
    }
    m_headerLines = 1;
    for (std::size_t c = 0; c < wanted.size(); ++c) {
        m_shares[c] = wanted[c] / total;
        const double characters = m_shares[c] * pageCharacters - static_cast<double>(kGap);
        m_capacity[c] =
            std::max<std::size_t>(1, static_cast<std::size_t>(characters * kFill + 1e-6));
        // The headers are known words, measured as they were when the widths were fixed.
        const auto bold = static_cast<std::size_t>(std::max(1.0, characters * 4 / 5));
        m_headerLines = std::max(m_headerLines, WrappedLines(BookListColumns()[c].header, bold));
    }
}

void ListingPages::AddRow(const RowTexts& row, const LineCounter& counter) {
    int lines = 1;
    for (std::size_t c = 0; c < row.size(); ++c) {
        lines = std::max(lines, counter ? counter(c, row[c]) : WrappedLines(row[c], m_capacity[c]));
    }
    m_rowLines.push_back(lines);
}

void ListingPages::Paginate(int pageLines) {
    const int room = std::max(1, pageLines - m_headerLines);
    m_pageStarts = {0};
    int used = 0;
    for (std::size_t row = 0; row < m_rowLines.size(); ++row) {
        // A row taller than a whole page still starts one of its own.
        if (used > 0 && used + m_rowLines[row] > room) {
            m_pageStarts.push_back(static_cast<int>(row));
            used = 0;
        }
        used += m_rowLines[row];
    }
}

int ListingPages::EndRow(int page) const {
    return page + 1 < PageCount() ? m_pageStarts[static_cast<std::size_t>(page) + 1]
                                  : static_cast<int>(m_rowLines.size());
}
