#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The encodings a book list comes in: UTF-8, the single-byte code pages that spreadsheets
// write with Central European (1250) or Western (1252) regional settings, and the UTF-16 that
// some spreadsheets save as "Unicode text".
enum class TextEncoding { Utf8, Windows1250, Windows1252, Utf16Le, Utf16Be };

// Each encoding with the name a user sees and types ("UTF-8", "Windows-1250", "UTF-16LE", ...).
const std::vector<std::pair<TextEncoding, const char*>>& TextEncodings();
std::optional<TextEncoding> FindTextEncoding(std::string_view name);

// Whether `text` is well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// The encoding a file is read in: the one chosen, except that a file chosen as UTF-8 which is
// UTF-16 by its byte-order mark, or by the NUL byte beside each of its first ASCII letters, is
// read as that UTF-16. UTF-8 text never holds those bytes, so nothing readable is lost.
TextEncoding EncodingOf(std::string_view bytes, TextEncoding chosen);

// The longest start of `start` (the first bytes of a longer file) that does not end inside a
// character, so that a cut made by size alone is not taken for text outside the encoding.
std::string_view WholeCharacters(std::string_view start, TextEncoding encoding);

// Bytes as UTF-8 text. Every encoding keeps every line where it was, so a line number names the
// same line in both. A byte the code page leaves undefined becomes U+FFFD; a UTF-16 byte-order
// mark is left out. Only UTF-16 can fail to convert (a lone surrogate, an odd byte at the end):
// `text` then ends before the fault and `fault` says why, on `faultLine`.
struct Utf8Text {
    std::string text;
    std::string fault;
    std::size_t faultLine = 0;
};
Utf8Text ToUtf8(std::string_view bytes, TextEncoding encoding);

// UTF-8 text written in `encoding`, without a byte-order mark; a character the code page lacks
// becomes '?'.
std::string FromUtf8Text(std::string_view utf8, TextEncoding encoding);

// The byte-order mark a file in `encoding` may begin with; none for a code page.
std::string_view ByteOrderMark(TextEncoding encoding);
