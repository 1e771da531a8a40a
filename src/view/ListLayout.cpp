#include "view/ListLayout.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::array<int, 3> kSharingColumns = {1, 2, 3};

std::optional<ColumnNumbers> ParseNumbers(std::string_view text, int low, int high) {
    ColumnNumbers out{};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != ',') {
                return std::nullopt;
            }
            ++pos;
        }
        const auto result = std::from_chars(text.data() + pos, text.data() + text.size(), out[i]);
        if (result.ec != std::errc() || out[i] < low || out[i] > high) {
            return std::nullopt;
        }
        pos = static_cast<std::size_t>(result.ptr - text.data());
    }
    if (pos != text.size()) {
        return std::nullopt;
    }
    return out;
}

} // namespace

ListLayout DefaultListLayout() {
    ListLayout layout;
    for (int c = 0; c < kBookColumnCount; ++c) {
        const auto i = static_cast<std::size_t>(c);
        layout.widths[i] = BookListColumns()[i].width;
        layout.order[i] = c;
    }
    return layout;
}

ColumnNumbers FitColumnWidths(const ColumnNumbers& widths, int available) {
    int total = 0;
    for (int w : widths) {
        total += w;
    }
    int sharingStart = 0;
    int sharingNow = 0;
    for (int c : kSharingColumns) {
        sharingStart += BookListColumns()[static_cast<std::size_t>(c)].width;
        sharingNow += widths[static_cast<std::size_t>(c)];
    }
    // What the three columns may have together: all the room the others leave, or at least
    // their starting widths. The change is shared, so a split the user made stays.
    const int change = std::max(sharingStart, available - (total - sharingNow)) - sharingNow;
    ColumnNumbers out = widths;
    int given = 0;
    for (std::size_t k = 0; k < kSharingColumns.size(); ++k) {
        const auto c = static_cast<std::size_t>(kSharingColumns[k]);
        const int start = BookListColumns()[c].width;
        // The last column takes what rounding left, so the sum is exact unless a floor holds.
        const int share =
            k + 1 == kSharingColumns.size()
                ? change - given
                : static_cast<int>(static_cast<long long>(change) * start / sharingStart);
        given += share;
        out[c] = std::max(start, widths[c] + share);
    }
    return out;
}

std::string JoinColumnNumbers(const ColumnNumbers& numbers) {
    std::string out;
    for (int n : numbers) {
        if (!out.empty()) {
            out += ',';
        }
        out += std::to_string(n);
    }
    return out;
}

std::optional<ColumnNumbers> ParseColumnWidths(std::string_view text) {
    return ParseNumbers(text, 1, 10000);
}

std::optional<ColumnNumbers> ParseColumnOrder(std::string_view text) {
    auto order = ParseNumbers(text, 0, kBookColumnCount - 1);
    if (order) {
        ColumnNumbers sorted = *order;
        std::sort(sorted.begin(), sorted.end());
        for (int c = 0; c < kBookColumnCount; ++c) {
            if (sorted[static_cast<std::size_t>(c)] != c) {
                return std::nullopt;
            }
        }
    }
    return order;
}
