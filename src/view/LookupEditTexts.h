#pragma once

#include <string>

// Everything the types and states editor says or runs, chosen by its kind.
struct LookupEditTexts {
    const char* header;
    const char* nameCaption;
    const char* alreadyPresent;
    const char* noneSelected;
    const char* confirmDelete;
    const char* reloadStatement;
    const char* nameColumn;
};

inline constexpr LookupEditTexts kTypeEditTexts{
    "Tip",
    "Adauga tip",
    "Tipul specificat exista deja!",
    "Trebuie selectat tipul dorit",
    "Sunteti sigur va vreti sa stergeti tipul selectat?",
    "SELECT * FROM types ORDER BY tip",
    "tip"};

inline constexpr LookupEditTexts kStateEditTexts{
    "Stare",
    "Adauga stare",
    "Starea specificata exista deja!",
    "Trebuie selectata starea dorit",
    "Sunteti sigur va vreti sa stergeti starea selectata?",
    "SELECT * FROM states ORDER BY stare",
    "stare"};

// "Tip" edits the types, anything else the states.
inline const LookupEditTexts& LookupEditTextsFor(const std::string& kind) {
    return kind == "Tip" ? kTypeEditTexts : kStateEditTexts;
}
