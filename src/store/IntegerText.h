#pragma once

#include <optional>
#include <string_view>

// Reads a number field as the dialogs do: optional blanks, an optional sign, digits, optional
// blanks, and a value that fits 32 bits. Anything else is not an integer.
std::optional<int> ParseIntegerField(std::string_view text);
