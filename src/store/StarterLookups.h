#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

class CBookDatabase;

// The types and states offered to a catalogue that has none, before its first book: a new
// catalogue has no type and no state to give a book. The user may change them before they are
// stored.
extern const std::array<std::string, 9> g_starterTypeNames;
extern const std::array<std::string, 5> g_starterStateNames;

// The names of a list typed one a line: each without the blanks around it, with blank lines and a
// name written before (exactly) left out.
std::vector<std::string> NamesFromLines(std::string_view text);

// Stores `types` as the catalogue's types when it has none, and `states` as its states when it
// has none; a table that has entries keeps them and gets nothing. Each name goes in as the types
// and states editor adds one, all in one transaction: everything or nothing is stored. False,
// after the catalogue's message to its sink, when it refused.
bool AddStarterLookups(CBookDatabase& db, const std::vector<std::string>& types,
                       const std::vector<std::string>& states);
