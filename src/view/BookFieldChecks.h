#pragma once

#include <string>

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
};

// The message of the first field check that fails, in the dialog's order, or nullptr. A text
// counts as empty only when it has no characters at all; the year of first publication is free.
const char* FirstFailedFieldCheck(const BookFieldValues& v);
