#pragma once

#include "store/BookRecord.h"

#include <cstdint>
#include <string>

// What a physical collection keeps of a book beyond the catalogue's columns. Empty texts and an
// unknown number mean "not given".
struct BookDetails {
    std::string isbn; // 13 digits, or empty
    std::string locatie;
    std::string serie;
    std::int32_t numar_serie = kUnknownNumber;
    std::string note;
    std::string adaugata; // the ISO date the program added the book on, or empty
    // The look-up source that gave the book's title ("Open Library"), or empty when the book was
    // not looked up.
    std::string sursa;

    // True when nothing is given. How the book came in (the date of adding, the source) does not
    // count: it is kept with details, never alone.
    bool IsEmpty() const {
        return isbn.empty() && locatie.empty() && serie.empty() && IsUnknown(numar_serie) &&
               note.empty();
    }
    bool operator==(const BookDetails&) const = default;
};
