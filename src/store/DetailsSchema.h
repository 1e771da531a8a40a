#pragma once

#include "store/OwnTable.h"

#include <string>

class CEngineDatabase;

// The details table is the program's own, beside the catalogue's three: a book's ISBN, where it
// stands, its series and notes, keyed by the book's identifier. Made by the first book given
// details, so a catalogue that never used them keeps exactly its three tables. The ISBN is kept
// as its 13 digits; `adaugata` is the ISO date ("2026-12-07") the program added the book on.
inline constexpr const char* kDetailsTable = "book_details";
inline constexpr const char* kCreateDetailsTable =
    "CREATE TABLE book_details (id INTEGER PRIMARY KEY "
    "CHECK (id BETWEEN -2147483648 AND 2147483647), "
    "isbn TEXT CHECK (length(isbn) = 13 AND isbn NOT GLOB '*[^0-9]*'), "
    "locatie TEXT CHECK (length(locatie) <= 255), "
    "serie TEXT CHECK (length(serie) <= 255), "
    "numar_serie INTEGER CHECK (numar_serie BETWEEN -2147483648 AND 2147483647), "
    "note TEXT CHECK (length(note) <= 255), "
    "adaugata TEXT CHECK (adaugata GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'))";
inline constexpr const char* kCreateDetailsIsbnIndex =
    "CREATE INDEX book_details_isbn ON book_details(isbn)";
inline constexpr const char* kDetailsColumns = "id,isbn,locatie,serie,numar_serie,note,adaugata";

using DetailsTableState = OwnTableState;

// What the attached database `schema` ("main", or the source of a copy) holds under the name.
DetailsTableState InspectDetailsTable(CEngineDatabase& db, const std::string& schema = "main");

// Makes the table and its index in the main database; the caller holds the transaction.
void CreateDetailsTable(CEngineDatabase& db);
