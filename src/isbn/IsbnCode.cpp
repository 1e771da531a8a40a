#include "isbn/IsbnCode.h"

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '-' || c == '\t' || c == '\r' || c == '\n';
}

// The ISBN's characters without separators; an X is kept as "X".
std::string Compact(std::string_view text) {
    std::string compact;
    for (char c : text) {
        if (!IsSeparator(c)) {
            compact += c == 'x' ? 'X' : c;
        }
    }
    return compact;
}

bool AllDigits(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

char Isbn13CheckDigit(std::string_view first12) {
    int sum = 0;
    for (std::size_t i = 0; i < 12; ++i) {
        sum += (first12[i] - '0') * (i % 2 == 0 ? 1 : 3);
    }
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

// The weighted sum of an ISBN-10's first characters (10 for the first, 9 for the next ...).
int Isbn10Sum(std::string_view isbn) {
    int sum = 0;
    for (std::size_t i = 0; i < isbn.size(); ++i) {
        const int digit = isbn[i] == 'X' ? 10 : isbn[i] - '0';
        sum += digit * static_cast<int>(10 - i);
    }
    return sum;
}

bool Isbn10Valid(std::string_view isbn) {
    return Isbn10Sum(isbn) % 11 == 0;
}

} // namespace

IsbnCheck CheckIsbn(std::string_view text) {
    const std::string isbn = Compact(text);
    if (isbn.size() == 10 && AllDigits(std::string_view(isbn).substr(0, 9)) &&
        (isbn[9] == 'X' || AllDigits(std::string_view(isbn).substr(9)))) {
        if (!Isbn10Valid(isbn)) {
            return {IsbnProblem::WrongCheckDigit, {}};
        }
        std::string isbn13 = "978" + isbn.substr(0, 9);
        isbn13 += Isbn13CheckDigit(isbn13);
        return {IsbnProblem::None, isbn13};
    }
    if (isbn.size() == 13 && AllDigits(isbn) &&
        (isbn.starts_with("978") || isbn.starts_with("979"))) {
        if (Isbn13CheckDigit(isbn) != isbn[12]) {
            return {IsbnProblem::WrongCheckDigit, {}};
        }
        return {IsbnProblem::None, isbn};
    }
    return {IsbnProblem::NotAnIsbn, {}};
}

std::string Isbn10Of(std::string_view isbn13) {
    if (isbn13.size() != 13 || !AllDigits(isbn13) || !isbn13.starts_with("978")) {
        return {};
    }
    std::string isbn10(isbn13.substr(3, 9));
    const int check = (11 - Isbn10Sum(isbn10) % 11) % 11;
    isbn10 += check == 10 ? 'X' : static_cast<char>('0' + check);
    return isbn10;
}
