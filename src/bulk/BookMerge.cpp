#include "bulk/BookMerge.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/LoanSchema.h"
#include "store/StatementFormat.h"

#include <algorithm>
#include <iterator>
#include <ranges>
#include <unordered_map>

namespace {

bool Lacks(const StoredValue& value) {
    const auto* text = std::get_if<std::string>(&value);
    return std::holds_alternative<std::monostate>(value) || (text && text->empty());
}

// Fills what `columns`/`values` lack from another row of the same table.
void FillFrom(const std::vector<std::string>& columns, std::vector<StoredValue>& values,
              const std::vector<std::string>& otherColumns,
              const std::vector<StoredValue>& otherValues) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i] == "id" || !Lacks(values[i])) {
            continue;
        }
        const auto at = std::ranges::find(otherColumns, columns[i]);
        if (at != otherColumns.end()) {
            values[i] = otherValues[static_cast<std::size_t>(at - otherColumns.begin())];
        }
    }
}

} // namespace

std::vector<BookChange> PlanMerge(const std::vector<StoredBook>& group, std::int32_t keep,
                                  const std::vector<MergedLoan>& loans) {
    const auto kept = std::ranges::find(group, keep, StoredId);
    if (kept == group.end()) {
        return {};
    }
    StoredBook merged = *kept;
    std::vector<BookChange> changes;
    for (const StoredBook& other : group) {
        const std::int32_t id = StoredId(other);
        if (id == keep) {
            continue;
        }
        FillFrom(merged.columns, merged.values, other.columns, other.values);
        if (merged.cover.empty()) {
            merged.cover = other.cover;
        }
        if (merged.detailColumns.empty() && !other.detailColumns.empty()) {
            merged.detailColumns = other.detailColumns;
            merged.detailValues = other.detailValues;
            merged.detailValues.front() = std::int64_t{keep};
        } else {
            FillFrom(merged.detailColumns, merged.detailValues, other.detailColumns,
                     other.detailValues);
        }
        BookChange gone{id, other, std::nullopt, std::nullopt, {}};
        for (const MergedLoan& loan : loans) {
            if (loan.book == id) {
                gone.loansMoved.push_back({loan.id, id, keep});
            }
        }
        changes.push_back(std::move(gone));
    }
    changes.insert(changes.begin(), BookChange{keep, *kept, std::move(merged), std::nullopt, {}});
    return changes;
}

namespace {

// The books of the groups as stored now, and every loan of theirs.
void ReadGroups(CBookDatabase& db, const std::vector<std::int32_t>& ids,
                std::vector<StoredBook>& books, std::vector<MergedLoan>& loans) {
    books = ReadStoredBooks(db, ids);
    if (InspectLoanTable(db.Engine()) != LoanTableState::Ours || ids.empty()) {
        return;
    }
    CEngineRecordset set(db.Engine());
    set.Open("SELECT id, book, returned IS NULL FROM loans WHERE book IN (" + IdList(ids) + ")",
             RecordReading::Forward);
    for (; !set.IsEOF(); set.MoveNext()) {
        loans.push_back({set.GetInteger(0), static_cast<std::int32_t>(set.GetInteger(1)),
                         set.GetInteger(2) != 0});
    }
}

bool TwoOut(const std::vector<std::int32_t>& group, const std::vector<MergedLoan>& loans) {
    return std::ranges::count_if(loans, [&group](const MergedLoan& loan) {
               return loan.open && std::ranges::find(group, loan.book) != group.end();
           }) > 1;
}

} // namespace

std::vector<std::int32_t> MergedBooks(const std::vector<std::int32_t>& group, std::int32_t keep,
                                      const CopyPairs& apart) {
    std::vector<std::int32_t> merged{keep};
    for (const std::int32_t id : group) {
        if (std::ranges::none_of(merged, [&](std::int32_t taken) {
                return taken == id || MarkedApart(apart, taken, id);
            })) {
            merged.push_back(id);
        }
    }
    return merged;
}

std::optional<std::vector<BookChange>> MergeDoubles(CBookDatabase& db,
                                                    const std::vector<std::int32_t>& whole,
                                                    std::int32_t keep, const CopyPairs& apart,
                                                    const MessageSink& sink) {
    const std::vector<std::int32_t> group = MergedBooks(whole, keep, apart);
    if (group.size() < 2) {
        sink(msg::kNothingToMerge);
        return std::nullopt;
    }
    std::vector<StoredBook> books;
    std::vector<MergedLoan> loans;
    try {
        ReadGroups(db, group, books, loans);
    } catch (const CEngineException&) {
        sink(msg::kCannotSelect);
        return std::nullopt;
    }
    if (books.size() != group.size()) {
        sink(kChangedElsewhere);
        return std::nullopt;
    }
    if (TwoOut(group, loans)) {
        sink(msg::kMergeTwoLent);
        return std::nullopt;
    }
    std::vector<BookChange> changes = PlanMerge(books, keep, loans);
    if (changes.empty() || !RedoBookChanges(db, changes, sink)) {
        return std::nullopt;
    }
    return changes;
}

std::optional<std::vector<BookChange>>
MergeEveryDouble(CBookDatabase& db, const std::vector<DoubleGroup>& groups, const CopyPairs& apart,
                 std::vector<std::size_t>& refused, const MessageSink& sink) {
    std::vector<std::vector<std::int32_t>> merged;
    std::vector<std::int32_t> ids;
    for (const DoubleGroup& g : groups) {
        merged.push_back(MergedBooks(g.books, g.books.front(), apart));
        ids.insert(ids.end(), merged.back().begin(), merged.back().end());
    }
    std::vector<StoredBook> books;
    std::vector<MergedLoan> loans;
    try {
        ReadGroups(db, ids, books, loans);
    } catch (const CEngineException&) {
        sink(msg::kCannotSelect);
        return std::nullopt;
    }
    std::unordered_map<std::int32_t, const StoredBook*> byId;
    for (const StoredBook& book : books) {
        byId.emplace(StoredId(book), &book);
    }
    std::vector<BookChange> changes;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const std::vector<std::int32_t>& taken = merged[i];
        std::vector<StoredBook> group;
        for (const std::int32_t id : taken) {
            if (const auto at = byId.find(id); at != byId.end()) {
                group.push_back(*at->second);
            }
        }
        if (taken.size() < 2 || group.size() != taken.size() || TwoOut(taken, loans)) {
            refused.push_back(i);
            continue;
        }
        std::ranges::move(PlanMerge(group, taken.front(), loans), std::back_inserter(changes));
    }
    if (changes.empty() || !RedoBookChanges(db, changes, sink)) {
        return std::nullopt;
    }
    return changes;
}
