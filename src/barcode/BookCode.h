#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A book's code on its label: "SW" and its identifier as the list shows it ("SW0042"). The
// letters keep it from ever reading as an ISBN.
std::string BookCodeOf(std::int32_t id);

// The identifier a scanned text names ("SW0042", "sw42", with a scanner's line end); nothing
// for any other text.
std::optional<std::int32_t> BookIdOfCode(std::string_view text);
