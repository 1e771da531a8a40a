#pragma once

#include "store/OwnTable.h"

#include <string>

class CEngineDatabase;

// The covers the user chose are the program's own table, beside the catalogue's three: a book's
// picture as JPEG bytes, at most 600 pixels high, keyed by the book's identifier. Made by the
// first cover chosen, so a catalogue without one keeps its tables as they were; any SQLite tool
// reads it (`SELECT id, length(image) FROM book_covers`).
inline constexpr const char* kCoversTable = "book_covers";
inline constexpr const char* kCreateCoversTable =
    "CREATE TABLE book_covers (id INTEGER PRIMARY KEY "
    "CHECK (id BETWEEN -2147483648 AND 2147483647), "
    "image BLOB NOT NULL CHECK (typeof(image) = 'blob' AND length(image) <= 4194304))";
// The most bytes a cover may take: far beyond what a picture 600 pixels high needs.
inline constexpr std::size_t kMostCoverBytes = 4194304;
// The most pixels high a cover is kept at.
inline constexpr int kCoverHeight = 600;

// What the attached database `schema` ("main", or the source of a copy) holds under the name.
OwnTableState InspectCoverTable(CEngineDatabase& db, const std::string& schema = "main");
