#pragma once

#include "store/BookRecord.h"

#include <cstdint>
#include <string>
#include <vector>

// What one source knows of one ISBN, in the catalogue's own fields. A text the source did not
// give is empty, a number kUnknownNumber; nothing is guessed. Texts are already made fit for the
// catalogue (FitOutsideText).
struct LookupRecord {
    std::string titlu;   // title, with its subtitle after ": "
    std::string autor;   // authors, "Forename Surname", joined by ", "
    std::string editura; // the edition's publisher
    std::string serie;
    std::int32_t numar_serie = kUnknownNumber;
    std::int32_t pagini = kUnknownNumber;
    std::int32_t publicare = kUnknownNumber;       // the work's first publication
    std::int32_t publicare_volum = kUnknownNumber; // this edition's year
    std::string coverUrl;
    // The labels of the texts cut to fit ("Titlu", "Autor", "Editura", "Serie"), so the book
    // dialog can say so.
    std::vector<std::string> shortened;
};
