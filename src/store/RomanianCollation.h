#pragma once

struct sqlite3;

// Name under which the program's own connections know the text order. Catalogue files do not
// declare it (only those of the earlier schema did); statements ask for it at query time.
inline constexpr const char* kTextCollationName = "RO_ICU";

// Registers the text order on a connection: ICU's Romanian rules (letters first, then accents,
// then case), ties broken byte by byte so that equal means identical bytes. Returns an SQLite
// result code.
int RegisterRomanianCollation(sqlite3* db);
