#include "store/BookHistory.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CatalogueMessages.h"
#include "store/DetailsSchema.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"

#include <algorithm>

namespace {

StoredValue ReadValue(const CEngineRecordset& set, int field) {
    if (set.IsNull(field)) {
        return std::monostate{};
    }
    if (set.HoldsInteger(field)) {
        return set.GetInteger(field);
    }
    return set.GetText(field);
}

// The statement that stores one row whole: every column named, the identifier included.
std::string InsertStatement(const char* table, const std::vector<std::string>& columns,
                            const std::vector<StoredValue>& row) {
    std::string names;
    std::string values;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const char* comma = i == 0 ? "" : ",";
        names += comma + QuotedName(columns[i]);
        values += comma;
        const StoredValue& v = row[i];
        if (std::holds_alternative<std::int64_t>(v)) {
            values += FormatStatement("%ld", std::get<std::int64_t>(v));
        } else if (std::holds_alternative<std::string>(v)) {
            values += FormatStatement("'%s'", std::get<std::string>(v));
        } else {
            values += "NULL";
        }
    }
    return std::string("INSERT INTO ") + table + "(" + names + ") VALUES(" + values + ")";
}

// Every column of the one row `sql` selects, or false when it selects none.
bool ReadRow(CEngineDatabase& engine, const std::string& sql, std::vector<std::string>& columns,
             std::vector<StoredValue>& values) {
    CEngineRecordset set(engine);
    set.Open(sql);
    if (set.GetRecordCount() == 0) {
        return false;
    }
    set.MoveFirst();
    columns = set.ColumnNames();
    for (int field = 0; field < static_cast<int>(columns.size()); ++field) {
        values.push_back(ReadValue(set, field));
    }
    return true;
}

void StoreBook(CEngineDatabase& engine, const StoredBook& book) {
    engine.Execute(InsertStatement("books", book.columns, book.values));
    if (book.detailColumns.empty()) {
        return;
    }
    PrepareDetailsTable(engine);
    engine.Execute(InsertStatement("book_details", book.detailColumns, book.detailValues));
}

// Closes the loan going forward, opens it again going back; false when it is not as the
// change found or left it.
bool MoveLoan(CBookDatabase& db, const LoanClosing& loan, bool forward) {
    const std::string now = forward ? std::string("returned IS NULL")
                                    : FormatStatement("returned = '%s'", loan.returned);
    CEngineRecordset set(db.Engine());
    set.Open(FormatStatement("SELECT id FROM loans WHERE id = %ld AND ", loan.loan) + now);
    if (set.GetRecordCount() == 0) {
        return false;
    }
    db.Engine().Execute((forward
                             ? FormatStatement("UPDATE loans SET returned = '%s'", loan.returned)
                             : std::string("UPDATE loans SET returned = NULL")) +
                        FormatStatement(" WHERE id = %ld", loan.loan));
    return true;
}

// Takes one book from where the change found or left it to the other end, inside the caller's
// transaction; false, with nothing written, when it is no longer there.
bool MoveWithin(CBookDatabase& db, const BookChange& change, bool forward) {
    const std::optional<StoredBook>& from = forward ? change.before : change.after;
    const std::optional<StoredBook>& to = forward ? change.after : change.before;
    const std::int32_t id = change.id;
    if (ReadStoredBook(db, id) != from) {
        return false;
    }
    if (change.loan && !MoveLoan(db, *change.loan, forward)) {
        return false;
    }
    if (from) {
        if (!from->detailColumns.empty()) {
            db.Engine().Execute(FormatStatement("DELETE FROM book_details WHERE id = %d", id));
        }
        db.Engine().Execute(FormatStatement("DELETE FROM books WHERE id = %d", id));
    }
    if (to) {
        StoreBook(db.Engine(), *to);
    }
    return true;
}

// Moves every book of one step, all or none.
bool MoveBooks(CBookDatabase& db, const std::vector<BookChange>& changes, bool forward,
               const MessageSink& sink) {
    const bool writes = std::ranges::any_of(changes, [forward](const BookChange& c) {
        return (forward ? c.after : c.before).has_value();
    });
    try {
        TransactionGuard guard(db.Engine(), "BEGIN IMMEDIATE");
        for (const BookChange& change : changes) {
            if (!MoveWithin(db, change, forward)) {
                sink(kChangedElsewhere);
                return false;
            }
        }
        guard.Commit();
    } catch (const CEngineException&) {
        sink(writes ? msg::kCannotUpdate : msg::kCannotDelete);
        return false;
    }
    return true;
}

} // namespace

std::string StoredText(const StoredBook& book, std::string_view column) {
    const auto at = std::ranges::find(book.columns, column);
    if (at == book.columns.end()) {
        return {};
    }
    const auto* text =
        std::get_if<std::string>(&book.values[static_cast<std::size_t>(at - book.columns.begin())]);
    return text ? *text : std::string();
}

std::optional<StoredBook> ReadStoredBook(CBookDatabase& db, std::int32_t id) {
    StoredBook book;
    if (!ReadRow(db.Engine(), FormatStatement("SELECT * FROM books WHERE id = %d", id),
                 book.columns, book.values)) {
        return std::nullopt;
    }
    if (InspectDetailsTable(db.Engine()) == DetailsTableState::Ours &&
        ReadRow(db.Engine(), FormatStatement("SELECT * FROM book_details WHERE id = %d", id),
                book.detailColumns, book.detailValues) &&
        std::ranges::find(book.detailColumns, kDetailsSourceColumn) == book.detailColumns.end()) {
        // A table of the earlier shape reads as the current one with no source, so a book read
        // before the table gained the column is the same book after.
        book.detailColumns.emplace_back(kDetailsSourceColumn);
        book.detailValues.emplace_back(std::monostate{});
    }
    return book;
}

bool UndoBookChange(CBookDatabase& db, const BookChange& change, const MessageSink& sink) {
    return MoveBooks(db, {change}, false, sink);
}

bool RedoBookChange(CBookDatabase& db, const BookChange& change, const MessageSink& sink) {
    return MoveBooks(db, {change}, true, sink);
}

bool UndoBookChanges(CBookDatabase& db, const std::vector<BookChange>& changes,
                     const MessageSink& sink) {
    return MoveBooks(db, changes, false, sink);
}

bool RedoBookChanges(CBookDatabase& db, const std::vector<BookChange>& changes,
                     const MessageSink& sink) {
    return MoveBooks(db, changes, true, sink);
}

std::optional<std::vector<std::int32_t>>
MakeBookChanges(CBookDatabase& db, const std::vector<BookChange>& changes, const MessageSink& sink,
                const std::function<void(std::size_t done)>& progress) {
    constexpr std::size_t kProgressEvery = 100;
    std::vector<std::int32_t> skipped;
    try {
        TransactionGuard guard(db.Engine(), "BEGIN IMMEDIATE");
        for (std::size_t i = 0; i < changes.size(); ++i) {
            if (!MoveWithin(db, changes[i], true)) {
                skipped.push_back(changes[i].id);
            }
            if (progress && (i + 1) % kProgressEvery == 0) {
                progress(i + 1);
            }
        }
        guard.Commit();
    } catch (const CEngineException&) {
        sink(msg::kCannotUpdate);
        return std::nullopt;
    }
    return skipped;
}
