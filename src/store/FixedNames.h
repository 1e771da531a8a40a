#pragma once

#include <array>
#include <string>

// Rating names by position: the stored `calificativ`.
extern const std::array<std::string, 7> g_ratingNames;
// Read flag names by position: 0 "Nu", 1 "Da".
extern const std::array<std::string, 2> g_readNames;
extern const std::array<std::string, 24> g_defaultTypeNames;
extern const std::array<std::string, 4> g_defaultStateNames;

inline constexpr int kRatingToRead = 6; // "De citit"

// Position of `text` in the list, compared exactly, or -1.
int FindRatingIndex(std::string text);
int FindReadIndex(std::string text);
