#include "bulk/BookMerge.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/LoanSchema.h"

#include <algorithm>
#include <ranges>

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

std::optional<std::vector<BookChange>> MergeDoubles(CBookDatabase& db,
                                                    const std::vector<std::int32_t>& group,
                                                    std::int32_t keep, const MessageSink& sink) {
    std::vector<StoredBook> books;
    std::vector<MergedLoan> loans;
    try {
        books = ReadStoredBooks(db, group);
        if (InspectLoanTable(db.Engine()) == LoanTableState::Ours) {
            for (const StoredBook& book : books) {
                CEngineRecordset set(db.Engine());
                set.Open("SELECT id, returned IS NULL FROM loans WHERE book = " +
                             std::to_string(StoredId(book)),
                         RecordReading::Forward);
                for (; !set.IsEOF(); set.MoveNext()) {
                    loans.push_back({set.GetInteger(0), StoredId(book), set.GetInteger(1) != 0});
                }
            }
        }
    } catch (const CEngineException&) {
        sink(msg::kCannotSelect);
        return std::nullopt;
    }
    if (books.size() != group.size()) {
        sink(kChangedElsewhere);
        return std::nullopt;
    }
    if (std::ranges::count_if(loans, &MergedLoan::open) > 1) {
        sink(msg::kMergeTwoLent);
        return std::nullopt;
    }
    std::vector<BookChange> changes = PlanMerge(books, keep, loans);
    if (changes.empty() || !RedoBookChanges(db, changes, sink)) {
        return std::nullopt;
    }
    return changes;
}
