#pragma once

#include <string>
#include <string_view>

// What is wrong with a text given as an ISBN.
enum class IsbnProblem {
    None,
    NotAnIsbn,      // not 10 or 13 digits (an X only last of 10), or 13 not starting 978/979
    WrongCheckDigit // the right shape, but the check digit does not match
};

struct IsbnCheck {
    IsbnProblem problem = IsbnProblem::NotAnIsbn;
    std::string isbn13; // the ISBN as 13 digits when there is no problem
};

// Checks an ISBN as typed or scanned: ISBN-10 (its check character may be X or x) or ISBN-13
// starting 978 or 979, with any spaces, hyphens and a scanner's line end around or between the
// digits. A valid ISBN-10 is given as the ISBN-13 it stands for.
IsbnCheck CheckIsbn(std::string_view text);

// The ISBN-10 a 13-digit ISBN starting 978 stands for; empty for any other text.
std::string Isbn10Of(std::string_view isbn13);
