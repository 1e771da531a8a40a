#include "store/BookFieldChecks.h"

#include "store/BookRecord.h"
#include "store/FixedNames.h"

const char* CheckRatingAgainstRead(const std::string& readText, const std::string& ratingText) {
    const bool toRead = ratingText == g_ratingNames[kRatingToRead];
    if ((toRead && readText == g_readNames[1]) || (!toRead && readText == g_readNames[0])) {
        return "Nu exista concordanta intre calificativ si stare citire carte!";
    }
    return nullptr;
}

const char* FirstFailedFieldCheck(const BookFieldValues& v) {
    auto belowOne = [](int number) { return !IsUnknown(number) && number < 1; };
    if (v.titlu.empty()) {
        return "Trebuie specificat un titlu!";
    }
    if (v.autor.empty() && !v.autorMayBeEmpty) {
        return "Trebuie specificat un autor!";
    }
    if (v.editura.empty() && !v.edituraMayBeEmpty) {
        return "Trebuie specificat o editura!";
    }
    if (belowOne(v.pagini)) {
        return "Numarul de pagini trebuie sa fie mai mare decat 0!";
    }
    if (belowOne(v.capitole)) {
        return "Numarul de capitole trebuie sa fie mai mare decat 0!";
    }
    if (belowOne(v.volume)) {
        return "Numarul de volume trebuie sa fie mai mare decat 0!";
    }
    if (belowOne(v.publicareVolum)) {
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
