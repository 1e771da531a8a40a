#pragma once

struct sqlite3;

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
