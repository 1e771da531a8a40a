#pragma once

#include <string_view>
#include <vector>

// The bars of a Code 128 barcode of `text` as ZXing writes it, one entry a module (true: a
// black bar), without the quiet zone around it. Empty for a text Code 128 cannot carry.
std::vector<bool> Code128Modules(std::string_view text);
