#include "bulk/BulkChange.h"

#include "isbn/CBookDetailsStore.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/CoverSchema.h"
#include "store/DetailsSchema.h"
#include "store/LoanSchema.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace {

// The identifiers of the books at these places.
std::vector<std::int32_t> IdsAt(const std::vector<StoredBook>& books,
                                const std::vector<std::size_t>& at) {
    std::vector<std::int32_t> ids;
    ids.reserve(at.size());
    for (const std::size_t i : at) {
        ids.push_back(StoredId(books[i]));
    }
    return ids;
}

// The places of the books still stored as they were read; the others' identifiers go to
// `skipped`. Nothing moved since the reading means nothing changed, and nothing is read again.
std::vector<std::size_t> StillAsRead(CBookDatabase& db, const std::vector<StoredBook>& books,
                                     const CatalogueMoment& read,
                                     std::vector<std::int32_t>& skipped) {
    std::vector<std::size_t> current;
    current.reserve(books.size());
    if (ReadCatalogueMoment(db.Engine()) == read) {
        for (std::size_t i = 0; i < books.size(); ++i) {
            current.push_back(i);
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
    for (std::size_t i = 0; i < books.size(); ++i) {
        const auto at = now.find(StoredId(books[i]));
        if (at != now.end() && at->second == books[i]) {
            current.push_back(i);
        } else {
            skipped.push_back(StoredId(books[i]));
        }
    }
    return current;
}

void Assign(std::vector<std::string>& columns, std::vector<StoredValue>& values,
            const std::string& column, StoredValue value) {
    const auto at = std::ranges::find(columns, column);
    if (at == columns.end()) {
        columns.push_back(column);
        values.push_back(std::move(value));
    } else {
        values[static_cast<std::size_t>(at - columns.begin())] = std::move(value);
    }
}

// Whether SQLite may store a value written to this column otherwise than it was written: a
// trigger of the table names the column (a yes/no column keeps -1 for yes), or the column's
// declared type converts the value (its affinity, by SQLite's rules).
bool MayBeStoredOtherwise(CEngineDatabase& engine, const char* table, const BulkField& field) {
    if (std::holds_alternative<std::monostate>(field.value)) {
        return false;
    }
    CEngineRecordset triggers(engine);
    triggers.Open(FormatStatement("SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND "
                                  "tbl_name = '%s' AND instr(lower(sql), lower('%s')) > 0",
                                  table, field.column));
    triggers.MoveFirst();
    if (triggers.GetInteger(0) > 0) {
        return true;
    }
    CEngineRecordset column(engine);
    column.Open(FormatStatement("SELECT upper(type) FROM pragma_table_info('%s') WHERE name = '%s'",
                                table, field.column));
    if (column.GetRecordCount() == 0) {
        return true;
    }
    column.MoveFirst();
    const std::string type = column.GetText(0);
    const auto has = [&type](const char* part) { return type.find(part) != std::string::npos; };
    if (has("INT")) {
        return !std::holds_alternative<std::int64_t>(field.value);
    }
    if (has("CHAR") || has("CLOB") || has("TEXT")) {
        return !std::holds_alternative<std::string>(field.value);
    }
    if (has("BLOB") || type.empty()) {
        return false;
    }
    // REAL and NUMERIC turn numbers and numeric texts into numbers of their own.
    return true;
}

// Gives each change's row after it the values written to these columns of `table`, and reads
// back those whose stored value may differ from what was written, so that undo finds the books
// exactly as they are.
void ReadBackColumns(CEngineDatabase& engine, const char* table,
                     const std::vector<BulkField>& fields, bool details,
                     std::vector<BookChange>& changes) {
    std::unordered_map<std::int32_t, StoredBook*> byId;
    std::vector<std::int32_t> ids;
    for (BookChange& change : changes) {
        StoredBook& after = *change.after;
        if (!details || !after.detailColumns.empty()) {
            byId.emplace(change.id, &after);
            ids.push_back(change.id);
            for (const BulkField& f : fields) {
                Assign(details ? after.detailColumns : after.columns,
                       details ? after.detailValues : after.values, f.column, f.value);
            }
        }
    }
    std::vector<BulkField> converted;
    for (const BulkField& f : fields) {
        if (MayBeStoredOtherwise(engine, table, f)) {
            converted.push_back(f);
        }
    }
    if (converted.empty()) {
        return;
    }
    std::string names = "id";
    for (const BulkField& f : converted) {
        names += "," + QuotedName(f.column);
    }
    ForEachIdList(ids, [&](const std::string& list) {
        CEngineRecordset set(engine);
        set.Open("SELECT " + names + " FROM " + table + " WHERE id IN (" + list + ")",
                 RecordReading::Forward);
        for (; !set.IsEOF(); set.MoveNext()) {
            StoredBook& after = *byId.at(static_cast<std::int32_t>(set.GetInteger(0)));
            for (std::size_t i = 0; i < converted.size(); ++i) {
                const int field = static_cast<int>(i) + 1;
                StoredValue value = set.IsNull(field)         ? StoredValue{}
                                    : set.HoldsInteger(field) ? StoredValue{set.GetInteger(field)}
                                                              : StoredValue{set.GetText(field)};
                Assign(details ? after.detailColumns : after.columns,
                       details ? after.detailValues : after.values, converted[i].column,
                       std::move(value));
            }
        }
    });
}

std::vector<std::string> DetailsColumnNames() {
    std::vector<std::string> names;
    std::string_view all(kDetailsColumns);
    while (!all.empty()) {
        const std::size_t comma = std::min(all.find(','), all.size());
        names.emplace_back(all.substr(0, comma));
        all.remove_prefix(std::min(comma + 1, all.size()));
    }
    return names;
}

// The details every book gets: given to the books that have details, and, when a value is
// given, to those without them as a new row.
void ChangeDetails(CEngineDatabase& engine, const std::vector<BulkField>& fields,
                   std::vector<BookChange>& changes) {
    const bool anyGiven = std::ranges::any_of(fields, [](const BulkField& f) {
        return !std::holds_alternative<std::monostate>(f.value);
    });
    std::vector<std::int32_t> withDetails;
    std::vector<std::int32_t> without;
    const std::vector<std::string> columns = DetailsColumnNames();
    for (BookChange& change : changes) {
        StoredBook& after = *change.after;
        if (!after.detailColumns.empty()) {
            withDetails.push_back(change.id);
        } else if (anyGiven) {
            without.push_back(change.id);
            after.detailColumns = columns;
            after.detailValues.assign(columns.size(), StoredValue{});
            after.detailValues.front() = std::int64_t{change.id};
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
    ForEachIdList(withDetails, [&](const std::string& list) {
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

std::optional<BulkOutcome> ChangeBooks(CBookDatabase& db, std::vector<StoredBook> books,
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
        const std::vector<std::size_t> current = StillAsRead(db, books, read, outcome.skipped);
        const std::vector<std::int32_t> ids = IdsAt(books, current);
        outcome.changes.reserve(current.size());
        for (const std::size_t i : current) {
            StoredBook after = books[i];
            outcome.changes.push_back(
                {StoredId(books[i]), std::move(books[i]), std::move(after), std::nullopt, {}});
        }
        if (!own.empty()) {
            std::string set;
            for (const BulkField& f : own) {
                set += (set.empty() ? "" : ", ") + QuotedName(f.column) + " = " +
                       StatementValue(f.value);
            }
            ForEachIdList(ids, [&](const std::string& list) {
                engine.Execute("UPDATE books SET " + set + " WHERE id IN (" + list + ")");
            });
            ReadBackColumns(engine, "books", own, false, outcome.changes);
        }
        if (!details.empty()) {
            ChangeDetails(engine, details, outcome.changes);
            ReadBackColumns(engine, kDetailsTable, details, true, outcome.changes);
        }
        guard.Commit();
    } catch (const CEngineException&) {
        sink(msg::kCannotUpdate);
        return std::nullopt;
    }
    return outcome;
}

std::optional<BulkOutcome> DeleteBooks(CBookDatabase& db, std::vector<StoredBook> books,
                                       const CatalogueMoment& read, const std::string& today,
                                       const MessageSink& sink) {
    BulkOutcome outcome;
    try {
        CEngineDatabase& engine = db.Engine();
        TransactionGuard guard(engine, "BEGIN IMMEDIATE");
        const std::vector<std::size_t> current = StillAsRead(db, books, read, outcome.skipped);
        const std::vector<std::int32_t> ids = IdsAt(books, current);
        std::unordered_map<std::int32_t, std::int64_t> loans;
        if (InspectLoanTable(engine) == LoanTableState::Ours) {
            ForEachIdList(ids, [&](const std::string& list) {
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
        const bool covers = InspectCoverTable(engine) == OwnTableState::Ours;
        ForEachIdList(ids, [&](const std::string& list) {
            if (details) {
                engine.Execute("DELETE FROM book_details WHERE id IN (" + list + ")");
            }
            if (covers) {
                engine.Execute("DELETE FROM book_covers WHERE id IN (" + list + ")");
            }
            engine.Execute("DELETE FROM books WHERE id IN (" + list + ")");
        });
        guard.Commit();
        outcome.changes.reserve(current.size());
        for (const std::size_t i : current) {
            BookChange change{
                StoredId(books[i]), std::move(books[i]), std::nullopt, std::nullopt, {}};
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
        ForEachIdList(books, [&](const std::string& list) {
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
