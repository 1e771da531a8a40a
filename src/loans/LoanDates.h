#pragma once

#include <string>
#include <string_view>

// Loan dates are ISO 8601 calendar dates ("2026-12-06"): any SQLite tool reads them, and their
// text order is their time order.

// Whether `text` is a real calendar date written as YYYY-MM-DD.
bool IsIsoDate(std::string_view text);

// The due date a loan made on `lent` gets unless the lender names another: 30 days later.
// Empty when `lent` is no date.
std::string DefaultDueDate(std::string_view lent);
