#pragma once

#include "bulk/CopiesApart.h"
#include "bulk/DoubleBooks.h"
#include "store/BookHistory.h"
#include "store/MessageSink.h"

#include <cstdint>
#include <optional>
#include <vector>

class CBookDatabase;

// A loan of one of the books merged: its identifier, its book and whether it is still out.
struct MergedLoan {
    std::int64_t id = 0;
    std::int32_t book = 0;
    bool open = false;
};

namespace msg {
inline constexpr const char* kNothingToMerge =
    "Celelalte carti ale grupului sunt marcate drept copii diferite ale celei pastrate; nu e "
    "nimic de unit.";
inline constexpr const char* kMergeTwoLent =
    "Mai multe carti din grup sunt imprumutate acum, deci sunt copii diferite; nu pot fi unite.";
} // namespace msg

// The changes that merge a group of doubles into the book `keep`: it takes every field it lacks
// (an empty text, an unknown number), book, details and cover, from the others in the group's
// order, their loans go to it and the others are deleted. Applied as one step, undone as one.
std::vector<BookChange> PlanMerge(const std::vector<StoredBook>& group, std::int32_t keep,
                                  const std::vector<MergedLoan>& loans);

// The books of the group a merge into `keep` takes: `keep` first, then, in the group's order,
// each book not marked as a copy of one already taken; the others stay as they are.
std::vector<std::int32_t> MergedBooks(const std::vector<std::int32_t>& group, std::int32_t keep,
                                      const CopyPairs& apart);

// Reads the books MergedBooks takes, plans their merge and makes it in one transaction. The
// changes made, or nothing after telling why: nothing to merge, a book changed since, two books
// out at once, a refusal.
std::optional<std::vector<BookChange>> MergeDoubles(CBookDatabase& db,
                                                    const std::vector<std::int32_t>& group,
                                                    std::int32_t keep, const CopyPairs& apart,
                                                    const MessageSink& sink);

// Merges every group into its first book as MergeDoubles does, all in one transaction, one step
// to undo. A group with nothing to merge, a book gone since or two books out is left as it is,
// its place in `groups` given in `refused`. The changes made, or nothing: none to make, or a
// refusal told.
std::optional<std::vector<BookChange>>
MergeEveryDouble(CBookDatabase& db, const std::vector<DoubleGroup>& groups, const CopyPairs& apart,
                 std::vector<std::size_t>& refused, const MessageSink& sink);
