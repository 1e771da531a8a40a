#include "bulk/BulkChange.h"

#include "isbn/CBookDetailsStore.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/DetailsSchema.h"
#include "store/LoanSchema.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace {

// Statements name a few thousand books each, so that no statement's text grows without end.
constexpr std::size_t kChunk = 4000;

void ForEachChunk(const std::vector<std::int32_t>& ids,
                  const std::function<void(const std::string& list)>& each) {
    for (std::size_t first = 0; first < ids.size(); first += kChunk) {
        std::string list;
        for (std::size_t i = first; i < std::min(ids.size(), first + kChunk); ++i) {
            list += (i == first ? "" : ",") + std::to_string(ids[i]);
        }
        each(list);
    }
}

std::vector<std::int32_t> IdsOf(const std::vector<const StoredBook*>& books) {
    std::vector<std::int32_t> ids;
    ids.reserve(books.size());
    for (const StoredBook* book : books) {
        ids.push_back(StoredId(*book));
    }
    return ids;
}

// The books still stored as they were read; the others' identifiers go to `skipped`. Nothing
// moved since the reading means nothing changed, and nothing is read again.
std::vector<const StoredBook*> StillAsRead(CBookDatabase& db, const std::vector<StoredBook>& books,
                                           const CatalogueMoment& read,
                                           std::vector<std::int32_t>& skipped) {
    std::vector<const StoredBook*> current;
    current.reserve(books.size());
    if (ReadCatalogueMoment(db.Engine()) == read) {
        for (const StoredBook& book : books) {
            current.push_back(&book);
        }
        return current;
    }
    std::vector<std::int32_t> ids;
    ids.reserve(books.size());
    for (const StoredBook& book : books) {
        ids.push_back(StoredId(book));
    }
    std::unordered_map<std::int32_t, StoredBook> now;
    for (StoredBook& book : ReadStoredBooks(db, ids)) {
        now.emplace(StoredId(book), std::move(book));
    }
    for (const StoredBook& book : books) {
        const auto at = now.find(StoredId(book));
        if (at != now.end() && at->second == book) {
            current.push_back(&book);
        } else {
            skipped.push_back(StoredId(book));
        }
    }
    return current;
}

// The details every book gets: given to the books that have details, and, when a value is
// given, to those without them as a new row.
void ChangeDetails(CEngineDatabase& engine, const std::vector<const StoredBook*>& books,
                   const std::vector<BulkField>& fields) {
    const bool anyGiven = std::ranges::any_of(fields, [](const BulkField& f) {
        return !std::holds_alternative<std::monostate>(f.value);
    });
    std::vector<std::int32_t> withDetails;
    std::vector<std::int32_t> without;
    for (const StoredBook* book : books) {
        if (!book->detailColumns.empty()) {
            withDetails.push_back(StoredId(*book));
        } else if (anyGiven) {
            without.push_back(StoredId(*book));
        }
    }
    if (withDetails.empty() && without.empty()) {
        return;
    }
    PrepareDetailsTable(engine);
    std::string set;
    std::string names = "id";
    std::string values;
    for (const BulkField& f : fields) {
        set += (set.empty() ? "" : ", ") + QuotedName(f.column) + " = " + StatementValue(f.value);
        names += "," + QuotedName(f.column);
        values += "," + StatementValue(f.value);
    }
    ForEachChunk(withDetails, [&](const std::string& list) {
        engine.Execute("UPDATE book_details SET " + set + " WHERE id IN (" + list + ")");
    });
    for (const std::int32_t id : without) {
        engine.Execute("INSERT INTO book_details(" + names + ") VALUES(" + std::to_string(id) +
                       values + ")");
    }
}

} // namespace

CatalogueMoment ReadCatalogueMoment(CEngineDatabase& engine) {
    CEngineRecordset version(engine);
    version.Open("PRAGMA data_version");
    version.MoveFirst();
    CEngineRecordset own(engine);
    own.Open("SELECT total_changes()");
    own.MoveFirst();
    return {version.GetInteger(0), own.GetInteger(0)};
}

std::optional<BulkOutcome> ChangeBooks(CBookDatabase& db, const std::vector<StoredBook>& books,
                                       const CatalogueMoment& read,
                                       const std::vector<BulkField>& fields,
                                       const MessageSink& sink) {
    std::vector<BulkField> own;
    std::vector<BulkField> details;
    for (const BulkField& f : fields) {
        (f.details ? details : own).push_back(f);
    }
    BulkOutcome outcome;
    try {
        CEngineDatabase& engine = db.Engine();
        if (!details.empty() && InspectDetailsTable(engine) == DetailsTableState::Foreign) {
            sink(msg::kDetailsUnusable);
            return std::nullopt;
        }
        TransactionGuard guard(engine, "BEGIN IMMEDIATE");
        const std::vector<const StoredBook*> current =
            StillAsRead(db, books, read, outcome.skipped);
        outcome.changes.reserve(current.size());
        for (const StoredBook* book : current) {
            outcome.changes.push_back({StoredId(*book), *book, std::nullopt, std::nullopt, {}});
        }
        if (!own.empty()) {
            std::string set;
            for (const BulkField& f : own) {
                set += (set.empty() ? "" : ", ") + QuotedName(f.column) + " = " +
                       StatementValue(f.value);
            }
            ForEachChunk(IdsOf(current), [&](const std::string& list) {
                engine.Execute("UPDATE books SET " + set + " WHERE id IN (" + list + ")");
            });
        }
        if (!details.empty()) {
            ChangeDetails(engine, current, details);
        }
        // What is stored may differ from what was written (a yes/no column keeps -1 for yes),
        // and undo must find the books as they are.
        std::vector<StoredBook> stored = ReadStoredBooks(db, IdsOf(current));
        for (std::size_t i = 0; i < stored.size(); ++i) {
            outcome.changes[i].after = std::move(stored[i]);
        }
        guard.Commit();
    } catch (const CEngineException&) {
        sink(msg::kCannotUpdate);
        return std::nullopt;
    }
    return outcome;
}

std::optional<BulkOutcome> DeleteBooks(CBookDatabase& db, const std::vector<StoredBook>& books,
                                       const CatalogueMoment& read, const std::string& today,
                                       const MessageSink& sink) {
    BulkOutcome outcome;
    try {
        CEngineDatabase& engine = db.Engine();
        TransactionGuard guard(engine, "BEGIN IMMEDIATE");
        const std::vector<const StoredBook*> current =
            StillAsRead(db, books, read, outcome.skipped);
        const std::vector<std::int32_t> ids = IdsOf(current);
        std::unordered_map<std::int32_t, std::int64_t> loans;
        if (InspectLoanTable(engine) == LoanTableState::Ours) {
            ForEachChunk(ids, [&](const std::string& list) {
                CEngineRecordset set(engine);
                set.Open("SELECT id, book FROM loans WHERE returned IS NULL AND book IN (" + list +
                             ")",
                         RecordReading::Forward);
                for (; !set.IsEOF(); set.MoveNext()) {
                    loans.emplace(static_cast<std::int32_t>(set.GetInteger(1)), set.GetInteger(0));
                }
                engine.Execute(FormatStatement("UPDATE loans SET returned = '%s'", today) +
                               " WHERE returned IS NULL AND book IN (" + list + ")");
            });
        }
        const bool details = InspectDetailsTable(engine) == DetailsTableState::Ours;
        ForEachChunk(ids, [&](const std::string& list) {
            if (details) {
                engine.Execute("DELETE FROM book_details WHERE id IN (" + list + ")");
            }
            engine.Execute("DELETE FROM books WHERE id IN (" + list + ")");
        });
        guard.Commit();
        outcome.changes.reserve(current.size());
        for (const StoredBook* book : current) {
            BookChange change{StoredId(*book), *book, std::nullopt, std::nullopt, {}};
            if (const auto at = loans.find(change.id); at != loans.end()) {
                change.loan = LoanClosing{at->second, today};
            }
            outcome.changes.push_back(std::move(change));
        }
    } catch (const CEngineException&) {
        sink(msg::kCannotDelete);
        return std::nullopt;
    }
    return outcome;
}

std::vector<std::pair<std::int32_t, std::int64_t>>
OpenLoansOf(CBookDatabase& db, const std::vector<std::int32_t>& books) {
    std::vector<std::pair<std::int32_t, std::int64_t>> open;
    try {
        if (InspectLoanTable(db.Engine()) != LoanTableState::Ours) {
            return open;
        }
        ForEachChunk(books, [&](const std::string& list) {
            CEngineRecordset set(db.Engine());
            set.Open("SELECT book, id FROM loans WHERE returned IS NULL AND book IN (" + list + ")",
                     RecordReading::Forward);
            for (; !set.IsEOF(); set.MoveNext()) {
                open.emplace_back(static_cast<std::int32_t>(set.GetInteger(0)), set.GetInteger(1));
            }
        });
    } catch (const CEngineException&) {
        open.clear();
    }
    return open;
}
