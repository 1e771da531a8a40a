#include "store/BookFieldChecks.h"

#include "store/FixedNames.h"

const char* CheckRatingAgainstRead(const std::string& readText, const std::string& ratingText) {
    const bool toRead = ratingText == g_ratingNames[kRatingToRead];
    if ((toRead && readText == g_readNames[1]) || (!toRead && readText == g_readNames[0])) {
        return "Nu exista concordanta intre calificativ si stare citire carte!";
    }
    return nullptr;
}

const char* FirstFailedFieldCheck(const BookFieldValues& v) {
    if (v.titlu.empty()) {
        return "Trebuie specificat un titlu!";
    }
    if (v.autor.empty()) {
        return "Trebuie specificat un autor!";
    }
    if (v.editura.empty()) {
        return "Trebuie specificat o editura!";
    }
    if (v.pagini < 1) {
        return "Numarul de pagini trebuie sa fie mai mare decat 0!";
    }
    if (v.capitole < 1) {
        return "Numarul de capitole trebuie sa fie mai mare decat 0!";
    }
    if (v.volume < 1) {
        return "Numarul de volume trebuie sa fie mai mare decat 0!";
    }
    if (v.publicareVolum < 1) {
        return "Anul publicarii volumului trebuie sa fie mai mare decat 0!";
    }
    return nullptr;
}

bool FitsTextColumn(std::string_view utf8) {
    std::size_t characters = 0;
    for (const char c : utf8) {
        // Every byte but a continuation byte starts a character.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++characters > kTextCapacity) {
            return false;
        }
    }
    return true;
}
