#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CBookDatabase;

struct ExportOptions {
    // A cell beginning with "=", "+", "-" or "@" gets a leading apostrophe, so that a spreadsheet
    // shows it instead of running it as a formula; plain numbers and the "-" of an empty text
    // stay. Off by default: the export must give back exactly what an import reads.
    bool safeCells = false;
    // Called every few thousand books with the books written and their number; returning false
    // cancels the export.
    std::function<bool(std::size_t done, std::size_t total)> progress;
    // When given, only these books are written (identifiers in ascending order), still by title.
    std::vector<std::int32_t> onlyBooks;
};

// Every book of an open catalogue, ordered by title, as CSV: a header row with the list's
// thirteen headers and one row per book with the texts the list shows, all read in one read
// transaction. False when the types, the states or the books could not be read (the catalogue
// has said why) or when the progress cancelled it.
bool ExportCsv(CBookDatabase& db, std::string& csv, const ExportOptions& options = {});

// A cell as the safe-cells option writes it.
std::string SafeCell(std::string cell);
