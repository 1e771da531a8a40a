#pragma once

#include <string_view>

// A blank, or a control character (a tab, a line end).
inline bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == 0x7F;
}

// `text` without blanks and control characters at either end.
std::string_view Trimmed(std::string_view text);
