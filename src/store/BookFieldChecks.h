#pragma once

#include <string>
#include <string_view>

// What the book dialog checks before a book may be stored.

// The rating "De citit" goes with a book not read, every other rating with a book read.
// Returns the message when the two shown texts contradict, or nullptr.
const char* CheckRatingAgainstRead(const std::string& readText, const std::string& ratingText);

struct BookFieldValues {
    std::string titlu;
    std::string autor;
    std::string editura;
    int pagini = 0;
    int capitole = 0;
    int volume = 0;
    int publicareVolum = 0;
    // Texts that may stay empty: a book whose author or publisher was never given keeps it
    // unknown instead of being refused.
    bool autorMayBeEmpty = false;
    bool edituraMayBeEmpty = false;
};

// The message of the first field check that fails, in the dialog's order, or nullptr. A text
// counts as empty only when it has no characters at all; the year of first publication is free;
// an unknown number (kUnknownNumber) passes, since it is not a wrong one.
const char* FirstFailedFieldCheck(const BookFieldValues& v);

// What the catalogue's columns hold: texts of at most 255 characters, and the numbers of a book
// between -32768 and 32767.
inline constexpr std::size_t kTextCapacity = 255;
inline constexpr int kSmallestNumber = -32768;
inline constexpr int kLargestNumber = 32767;

// True when the catalogue can hold the text: characters counted as it counts them.
bool FitsTextColumn(std::string_view utf8);
// A text from outside (a look-up's answer) made fit for a text column: control characters (a NUL
// among them) become blanks, runs of blanks one, none at either end, and a text longer than the
// column holds is cut at a word's end and given "...". `cut` tells whether it was cut.
std::string FitOutsideText(std::string_view utf8, bool& cut);

inline bool FitsNumberColumn(int value) {
    return value >= kSmallestNumber && value <= kLargestNumber;
}
