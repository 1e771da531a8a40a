#pragma once

#include "store/RomanianCollation.h"

#include <sqlite3.h>
#include <string>

// Writes a catalogue the way the program wrote them while its text columns and their indexes
// declared the program's collation, then runs `rows` (statements separated by ';') on it.
// Only a connection that knows the collation can write such a file.
inline bool WriteEarlierCatalogue(const std::string& path, const std::string& rows) {
    static const char* const kSchema =
        "PRAGMA user_version = 1;"
        "CREATE TABLE \"books\" (\"id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"titlu\" TEXT COLLATE "
        "RO_ICU CHECK (length(\"titlu\") <= 255), \"autor\" TEXT COLLATE RO_ICU CHECK "
        "(length(\"autor\") <= 255), \"editura\" TEXT COLLATE RO_ICU CHECK (length(\"editura\") "
        "<= 255), \"tip\" INTEGER CHECK (\"tip\" BETWEEN -32768 AND 32767), \"pagini\" INTEGER "
        "CHECK (\"pagini\" BETWEEN -32768 AND 32767), \"capitole\" INTEGER CHECK (\"capitole\" "
        "BETWEEN -32768 AND 32767), \"volume\" INTEGER CHECK (\"volume\" BETWEEN -32768 AND "
        "32767), \"publicare\" INTEGER CHECK (\"publicare\" BETWEEN -32768 AND 32767), "
        "\"publicare_volum\" INTEGER CHECK (\"publicare_volum\" BETWEEN -32768 AND 32767), "
        "\"citita\" INTEGER, \"calificativ\" INTEGER CHECK (\"calificativ\" BETWEEN 0 AND 255), "
        "\"stare\" INTEGER CHECK (\"stare\" BETWEEN 0 AND 255));"
        "CREATE TRIGGER \"books_citita_ins\" AFTER INSERT ON \"books\" WHEN NEW.\"citita\" <> 0 "
        "AND NEW.\"citita\" <> -1 BEGIN UPDATE \"books\" SET \"citita\" = -1 WHERE rowid = "
        "NEW.rowid; END;"
        "CREATE TRIGGER \"books_citita_upd\" AFTER UPDATE OF \"citita\" ON \"books\" WHEN "
        "NEW.\"citita\" <> 0 AND NEW.\"citita\" <> -1 BEGIN UPDATE \"books\" SET \"citita\" = -1 "
        "WHERE rowid = NEW.rowid; END;"
        "CREATE TABLE \"states\" (\"id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"stare\" TEXT "
        "COLLATE RO_ICU CHECK (length(\"stare\") <= 255));"
        "CREATE TABLE \"types\" (\"id\" INTEGER PRIMARY KEY AUTOINCREMENT, \"tip\" TEXT COLLATE "
        "RO_ICU CHECK (length(\"tip\") <= 255));"
        "CREATE INDEX books_titlu ON books(titlu);"
        "CREATE INDEX books_autor ON books(autor);"
        "CREATE INDEX books_editura ON books(editura COLLATE RO_ICU);";
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(path.c_str(), &db) == SQLITE_OK &&
              RegisterRomanianCollation(db) == SQLITE_OK &&
              sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK &&
              sqlite3_exec(db, rows.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    ok = sqlite3_close(db) == SQLITE_OK && ok;
    return ok;
}
