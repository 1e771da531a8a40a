#include "barcode/BookCode.h"

#include "view/BookRowTexts.h"

#include <charconv>

namespace {
constexpr std::string_view kPrefix = "SW";
} // namespace

std::string BookCodeOf(std::int32_t id) {
    return std::string(kPrefix) + FormatBookId(id);
}

std::optional<std::int32_t> BookIdOfCode(std::string_view text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.remove_suffix(1);
    }
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    if (text.size() <= kPrefix.size() || (text[0] != 'S' && text[0] != 's') ||
        (text[1] != 'W' && text[1] != 'w')) {
        return std::nullopt;
    }
    const std::string_view digits = text.substr(kPrefix.size());
    std::int32_t id = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
    if (error != std::errc() || end != digits.data() + digits.size() || id <= 0) {
        return std::nullopt;
    }
    return id;
}
