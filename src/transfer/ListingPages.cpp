#include "transfer/ListingPages.h"

namespace {

constexpr std::size_t kNarrowest = 4;
constexpr std::size_t kWidest = 40;
// Room between columns, in characters.
constexpr std::size_t kGap = 3;
// A column whose texts are no longer than this keeps its width whatever the page's.
constexpr std::size_t kShortText = 12;

std::size_t Characters(std::string_view utf8) {
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

} // namespace

void ListingPages::Measure(const RowTexts& row) {
    for (std::size_t c = 0; c < row.size(); ++c) {
        m_longest[c] = std::max(m_longest[c], Characters(row[c]));
    }
}

void ListingPages::LayOut(int rowCount, int rowsPerPage, double pageCharacters) {
    m_rowCount = std::max(0, rowCount);
    m_rowsPerPage = std::max(1, rowsPerPage);
    std::array<double, kBookColumnCount> wanted{};
    std::array<bool, kBookColumnCount> longText{};
    double fixed = 0;
    double flexible = 0;
    for (std::size_t c = 0; c < wanted.size(); ++c) {
        // Headers are printed in bold, a quarter wider.
        const std::size_t header = Characters(BookListColumns()[c].header) * 5 / 4 + 1;
        wanted[c] = static_cast<double>(
            std::clamp(std::max(m_longest[c], header), kNarrowest, kWidest) + kGap);
        longText[c] = m_longest[c] > kShortText;
        (longText[c] ? flexible : fixed) += wanted[c];
    }
    // Short texts (numbers, names from a list) keep their width; the long ones share what is
    // left, so that a number or a header is never cut for the sake of a title.
    const double scale =
        flexible > 0 ? std::clamp((pageCharacters - fixed) / flexible, 0.2, 1.0) : 1.0;
    double total = 0;
    for (std::size_t c = 0; c < wanted.size(); ++c) {
        wanted[c] *= longText[c] ? scale : 1.0;
        total += wanted[c];
    }
    for (std::size_t c = 0; c < wanted.size(); ++c) {
        m_shares[c] = wanted[c] / total;
    }
}
