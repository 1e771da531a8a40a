#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CBookDatabase;

struct ImportResult {
    bool ok = false;
    int books = 0;
    int types = 0;
    int states = 0;
    std::size_t errorLine = 0;    // line of the file at fault, or 0 when no line is
    bool catalogueFailed = false; // the catalogue failed (busy, read-only, disk full), no line
    std::string error;
    std::vector<std::string> ignoredColumns; // header columns the import does not use
};

// Adds the books of a CSV text to an open catalogue, all or nothing in one transaction.
// Columns are found by their header: the thirteen of the program's own export ("ID" ignored),
// or those of a reading site's library export ("Title", "Author", "Publisher",
// "Number of Pages", "Original Publication Year", "Year Published", "Exclusive Shelf",
// "My Rating"). Type and state names the catalogue lacks are added. A row must have as many
// cells as the header and pass the book dialog's own checks; a row that does not, or text that
// cannot be read faithfully, stops the import naming its line.
ImportResult ImportCsv(std::string_view csv, CBookDatabase& db);
