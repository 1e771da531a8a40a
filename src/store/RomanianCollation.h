#pragma once

struct sqlite3;

// Name under which text columns declare their order.
inline constexpr const char* kTextCollationName = "RO_ICU";

// Registers the text order on a connection: ICU's Romanian rules (letters first, then accents,
// then case), ties broken byte by byte so that equal means identical bytes. Returns an SQLite
// result code.
int RegisterRomanianCollation(sqlite3* db);
