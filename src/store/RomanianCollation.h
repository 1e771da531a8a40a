#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

struct sqlite3;
struct UCollator;

// Name under which the program's own connections know the text order. Catalogue files do not
// declare it (only those of the earlier schema did); statements ask for it at query time.
inline constexpr const char* kTextCollationName = "RO_ICU";

// Name of the function that gives a value's sort key under the text order: a text's ICU key (a
// blob compared byte by byte, made once per row instead of calling the collation on every
// comparison), a number or NULL unchanged, so that `ORDER BY sort_key(x), x COLLATE BINARY`
// orders exactly as `ORDER BY x COLLATE RO_ICU`.
inline constexpr const char* kSortKeyFunctionName = "sort_key";

// Registers the text order on a connection: ICU's Romanian rules (letters first, then accents,
// then case), ties broken byte by byte so that equal means identical bytes; and its sort-key
// function, which the statements of a file cannot use. Returns an SQLite result code.
int RegisterRomanianCollation(sqlite3* db);

// The text order's keys outside the engine: two texts' keys compared byte by byte order them as
// the collation does before its byte-by-byte tie-break.
class TextSortKeys {
public:
    TextSortKeys();
    ~TextSortKeys();
    TextSortKeys(const TextSortKeys&) = delete;
    TextSortKeys& operator=(const TextSortKeys&) = delete;

    // The key of a UTF-8 text, valid until the next call; nothing when ICU cannot make it.
    std::optional<std::string_view> Key(std::string_view text);

private:
    UCollator* m_collator;
    std::vector<char16_t> m_utf16;
    std::vector<std::uint8_t> m_key;
};
