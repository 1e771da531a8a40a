#pragma once

#include "store/OwnTable.h"

#include <string>

class CEngineDatabase;

// The loans table is the program's own, beside the catalogue's three: made by the first loan,
// so a catalogue that never lent a book keeps exactly its three tables. A book has at most one
// open loan (one whose return date is empty); the book's title is kept with each loan, so the
// history stays readable after the book is deleted. Dates are ISO 8601 text ("2026-12-06").
inline constexpr const char* kCreateLoansTable =
    "CREATE TABLE loans (id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "book INTEGER NOT NULL CHECK (book BETWEEN -2147483648 AND 2147483647), "
    "title TEXT CHECK (length(title) <= 255), "
    "borrower TEXT NOT NULL CHECK (length(borrower) BETWEEN 1 AND 255), "
    "lent TEXT NOT NULL CHECK (lent GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'), "
    "due TEXT CHECK (due GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'), "
    "returned TEXT CHECK (returned GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'))";
inline constexpr const char* kCreateOpenLoanIndex =
    "CREATE UNIQUE INDEX loans_open ON loans(book) WHERE returned IS NULL";

using LoanTableState = OwnTableState;

// What the attached database `schema` ("main", or the source of a copy) holds under the name.
LoanTableState InspectLoanTable(CEngineDatabase& db, const std::string& schema = "main");

// Makes the table and its index in the main database; the caller holds the transaction.
void CreateLoanTable(CEngineDatabase& db);
