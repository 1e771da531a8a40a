#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The encodings a book list comes in: UTF-8, or the single-byte code pages that spreadsheets
// write with Central European (1250) or Western (1252) regional settings.
enum class TextEncoding { Utf8, Windows1250, Windows1252 };

// Each encoding with the name a user sees and types ("UTF-8", "Windows-1250", "Windows-1252").
const std::vector<std::pair<TextEncoding, const char*>>& TextEncodings();
std::optional<TextEncoding> FindTextEncoding(std::string_view name);

// Whether `text` is well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The text as UTF-8. A single-byte encoding keeps every line where it was, so a line number
// names the same line in both. A byte the code page leaves undefined becomes U+FFFD.
std::string ToUtf8(std::string_view text, TextEncoding encoding);
