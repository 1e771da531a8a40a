#pragma once

#include <cstdint>
#include <limits>
#include <string>

// A number the source did not give (a NULL in the catalogue): shown as an empty cell, left out
// of sums and ranges. No column can hold it, so it never stands for a real value.
inline constexpr std::int32_t kUnknownNumber = std::numeric_limits<std::int32_t>::min();

inline bool IsUnknown(std::int32_t number) {
    return number == kUnknownNumber;
}

// One book in memory. `tip` and `stare` hold the type's and state's identifiers themselves
// (the catalogue stores them minus one); `citita` is 0 or 1, `calificativ` a rating position.
struct BookRecord {
    std::int32_t id = 0;
    std::string titlu;
    std::string autor;
    std::string editura;
    std::int32_t tip = 0;
    std::int32_t pagini = 1;
    std::int32_t capitole = 1;
    std::int32_t volume = 1;
    std::int32_t publicare = 1;
    std::int32_t publicare_volum = 1;
    std::int32_t citita = 0;
    std::int32_t calificativ = 0;
    std::int32_t stare = 0;
};

// The catalogue stores a type's or a state's identifier minus one; these two are the rule.
// A book of which no number is known yet: what an outside source gives it fills in the rest.
inline BookRecord BookOfUnknownNumbers() {
    BookRecord book;
    book.pagini = book.capitole = book.volume = book.publicare = book.publicare_volum =
        kUnknownNumber;
    return book;
}

inline std::int32_t StoredLookupValue(std::int32_t id) {
    return id - 1;
}
inline std::int64_t LookupIdOfStored(std::int64_t stored) {
    return stored + 1;
}

// True when the twelve fields a user edits are the same (the identifier is not compared).
bool SameUserFields(const BookRecord& a, const BookRecord& b);
