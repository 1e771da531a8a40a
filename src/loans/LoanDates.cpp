#include "loans/LoanDates.h"

#include <chrono>
#include <cstdio>

namespace {

bool Digits(std::string_view text, std::size_t from, std::size_t count, int& value) {
    value = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return false;
        }
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

bool Parse(std::string_view text, std::chrono::year_month_day& date) {
    int y = 0;
    int m = 0;
    int d = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !Digits(text, 0, 4, y) ||
        !Digits(text, 5, 2, m) || !Digits(text, 8, 2, d)) {
        return false;
    }
    date = std::chrono::year{y} / std::chrono::month{static_cast<unsigned>(m)} /
           std::chrono::day{static_cast<unsigned>(d)};
    return date.ok();
}

} // namespace

bool IsIsoDate(std::string_view text) {
    std::chrono::year_month_day date{};
    return Parse(text, date);
}

std::string DefaultDueDate(std::string_view lent) {
    constexpr int kLoanDays = 30;
    std::chrono::year_month_day date{};
    if (!Parse(lent, date)) {
        return {};
    }
    const std::chrono::year_month_day later{std::chrono::sys_days{date} +
                                            std::chrono::days{kLoanDays}};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(later.year()),
                  static_cast<unsigned>(later.month()), static_cast<unsigned>(later.day()));
    return text;
}
