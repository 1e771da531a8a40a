#pragma once

#include "store/MessageSink.h"
#include "store/OwnTable.h"

#include <cstdint>
#include <optional>
#include <set>
#include <utility>
#include <vector>

class CBookDatabase;

// The books the user said are real copies, not doubles ("copii diferite"), kept as pairs in a
// table of the program's own, made by the first group marked; a catalogue that never marked one
// keeps its tables as they were.
inline constexpr const char* kCreateCopiesApartTable =
    "CREATE TABLE copies_apart (book INTEGER NOT NULL, other INTEGER NOT NULL, "
    "CHECK (book < other))";
inline constexpr const char* kCreateCopiesApartIndex =
    "CREATE UNIQUE INDEX copies_apart_pair ON copies_apart(book, other)";

namespace msg {
inline constexpr const char* kCopiesApartUnusable =
    "Cartile marcate drept copii diferite nu pot fi citite: tabela copies_apart este "
    "deteriorata sau are alta forma!";
} // namespace msg

// The pairs marked, lower identifier first.
using CopyPairs = std::set<std::pair<std::int32_t, std::int32_t>>;

// True when the two books are marked as copies of each other.
bool MarkedApart(const CopyPairs& pairs, std::int32_t a, std::int32_t b);

OwnTableState InspectCopiesApartTable(CEngineDatabase& db, const std::string& schema = "main");

class CCopiesApart : private OwnTableKeeper {
public:
    CCopiesApart(CBookDatabase& db, MessageSink sink);

    // Every pair marked, lower identifier first; nothing, told, when the table is not ours.
    std::optional<CopyPairs> Pairs();
    // Marks every two books of the group as copies; false, told, when it cannot be written.
    bool Mark(const std::vector<std::int32_t>& group);

    // True when every two books of the group are among the pairs.
    static bool AllMarked(const CopyPairs& pairs, const std::vector<std::int32_t>& group);
};
