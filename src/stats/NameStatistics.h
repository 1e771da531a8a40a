#pragma once

#include <array>
#include <string>
#include <vector>

class CBookDatabase;

enum class NameStatisticsMode { Authors = 0, Publishers = 1 };

// One row: number, name, books, read books, and the volumes, pages and chapters read.
using NameStatisticsRow = std::array<std::string, 7>;

// One row per author or publisher, in the order the engine returns the grouped counts of all
// books. The read figures of a row are those of its own name, whatever order the read sets come
// in. Empty when a statement failed (its message has been shown).
std::vector<NameStatisticsRow> ComputeNameStatistics(CBookDatabase& db, NameStatisticsMode mode);
