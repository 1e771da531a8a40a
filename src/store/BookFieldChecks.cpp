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

namespace {
bool StartsCharacter(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}
} // namespace

std::string FitOutsideText(std::string_view utf8, bool& cut) {
    std::string clean;
    clean.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        // C1 controls are U+0080..U+009F, written C2 80..C2 9F.
        const bool c1 = byte == 0xC2 && i + 1 < utf8.size() &&
                        static_cast<unsigned char>(utf8[i + 1]) < 0xA0 &&
                        static_cast<unsigned char>(utf8[i + 1]) >= 0x80;
        const bool blank = byte < 0x20 || byte == 0x7F || c1;
        if (c1) {
            ++i;
        }
        if (blank || byte == ' ') {
            if (!clean.empty() && clean.back() != ' ') {
                clean += ' ';
            }
        } else {
            clean += utf8[i];
        }
    }
    if (!clean.empty() && clean.back() == ' ') {
        clean.pop_back();
    }
    cut = !FitsTextColumn(clean);
    if (!cut) {
        return clean;
    }
    const std::string ellipsis = "...";
    // Where the character after the room left for the ellipsis starts.
    std::size_t end = 0;
    for (std::size_t characters = 0; end < clean.size(); ++end) {
        if (StartsCharacter(clean[end]) && ++characters > kTextCapacity - ellipsis.size()) {
            break;
        }
    }
    // Back to the last blank, unless the first word alone is that long.
    const std::size_t blank = clean.rfind(' ', end);
    if (blank != std::string::npos && blank > 0) {
        end = blank;
    }
    std::string fitted = clean.substr(0, end);
    while (!fitted.empty() && (fitted.back() == ' ' || fitted.back() == ',' ||
                               fitted.back() == ';' || fitted.back() == ':')) {
        fitted.pop_back();
    }
    return fitted + ellipsis;
}
