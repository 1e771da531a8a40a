#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CBookDatabase;

struct ImportResult {
    bool ok = false;
    int books = 0;
    int types = 0;
    int states = 0;
    std::size_t errorLine = 0; // line of the file where the refused row starts
    std::string error;
};

// Adds the books of a CSV text to an open catalogue, all or nothing in one transaction.
// Columns are found by their header: the thirteen of the program's own export ("ID" ignored),
// or those of a reading site's library export ("Title", "Author", "Publisher",
// "Number of Pages", "Original Publication Year", "Year Published", "Exclusive Shelf",
// "My Rating"). Type and state names the catalogue lacks are added.
ImportResult ImportCsv(std::string_view csv, CBookDatabase& db);
