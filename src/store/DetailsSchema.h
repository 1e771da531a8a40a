#pragma once

#include "store/OwnTable.h"

#include <string>

class CEngineDatabase;

// The details table is the program's own, beside the catalogue's three: a book's ISBN, where it
// stands, its series and notes, keyed by the book's identifier. Made by the first book given
// details, so a catalogue that never used them keeps exactly its three tables. The ISBN is kept
// as its 13 digits; `adaugata` is the ISO date ("2026-12-07") the program added the book on;
// `sursa` names the look-up source the book's data came from. Columns are only ever added at the
// end, so a program that names the columns it reads finds them where they were.
inline constexpr const char* kDetailsTable = "book_details";
// Spelled once: the earlier table's columns, and the source's column as the current table and
// the ALTER TABLE that brings an earlier one to it both write it.
#define SHELFWARDEN_EARLIER_DETAILS_COLUMNS                                                        \
    "CREATE TABLE book_details (id INTEGER PRIMARY KEY "                                           \
    "CHECK (id BETWEEN -2147483648 AND 2147483647), "                                              \
    "isbn TEXT CHECK (length(isbn) = 13 AND isbn NOT GLOB '*[^0-9]*'), "                           \
    "locatie TEXT CHECK (length(locatie) <= 255), "                                                \
    "serie TEXT CHECK (length(serie) <= 255), "                                                    \
    "numar_serie INTEGER CHECK (numar_serie BETWEEN -2147483648 AND 2147483647), "                 \
    "note TEXT CHECK (length(note) <= 255), "                                                      \
    "adaugata TEXT CHECK (adaugata GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]')"
#define SHELFWARDEN_DETAILS_SOURCE_COLUMN "sursa TEXT CHECK (length(sursa) <= 255)"
inline constexpr const char* kCreateDetailsTable =
    SHELFWARDEN_EARLIER_DETAILS_COLUMNS ", " SHELFWARDEN_DETAILS_SOURCE_COLUMN ")";
// The table as the program made it before it kept the source: still its own, and brought to the
// shape above by the first details written to it. SQLite's ALTER TABLE ... ADD COLUMN below
// turns this text into exactly the one above.
inline constexpr const char* kCreateEarlierDetailsTable = SHELFWARDEN_EARLIER_DETAILS_COLUMNS ")";
inline constexpr const char* kAddDetailsSource =
    "ALTER TABLE book_details ADD COLUMN " SHELFWARDEN_DETAILS_SOURCE_COLUMN;
#undef SHELFWARDEN_EARLIER_DETAILS_COLUMNS
#undef SHELFWARDEN_DETAILS_SOURCE_COLUMN
inline constexpr const char* kDetailsSourceColumn = "sursa";
inline constexpr const char* kCreateDetailsIsbnIndex =
    "CREATE INDEX book_details_isbn ON book_details(isbn)";
inline constexpr const char* kDetailsColumns =
    "id,isbn,locatie,serie,numar_serie,note,adaugata,sursa";

using DetailsTableState = OwnTableState;

// What the attached database `schema` ("main", or the source of a copy) holds under the name: a
// table of either shape above, with its index, is the program's own.
DetailsTableState InspectDetailsTable(CEngineDatabase& db, const std::string& schema = "main");

// Readies the main database's table for details about to be written: made with its index when
// absent, given the source column when it has the earlier shape, left as it is otherwise. The
// caller holds the write's transaction, so the change goes or stays with the details.
void PrepareDetailsTable(CEngineDatabase& db);
