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

    // True when nothing is given (the date of adding does not count).
    bool IsEmpty() const {
        return isbn.empty() && locatie.empty() && serie.empty() && IsUnknown(numar_serie) &&
               note.empty();
    }
    bool operator==(const BookDetails&) const = default;
};
