#include "store/BookHistory.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CatalogueMessages.h"
#include "store/CoverSchema.h"
#include "store/DetailsSchema.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"

#include <algorithm>
#include <unordered_map>

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
        values += comma + StatementValue(row[i]);
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

// Every row `sql` selects, each given to `each` with the columns' names and its values.
void ReadRows(
    CEngineDatabase& engine, const std::string& sql,
    const std::function<void(const std::vector<std::string>&, std::vector<StoredValue>)>& each) {
    CEngineRecordset set(engine);
    set.Open(sql, RecordReading::Forward);
    const int count = static_cast<int>(set.ColumnNames().size());
    for (; !set.IsEOF(); set.MoveNext()) {
        std::vector<StoredValue> values;
        values.reserve(static_cast<std::size_t>(count));
        for (int field = 0; field < count; ++field) {
            values.push_back(ReadValue(set, field));
        }
        each(set.ColumnNames(), std::move(values));
    }
}

// A table of the earlier shape reads as the current one with no source, so a book read before
// the table gained the column is the same book after.
void AddMissingSource(StoredBook& book) {
    if (std::ranges::find(book.detailColumns, kDetailsSourceColumn) == book.detailColumns.end()) {
        book.detailColumns.emplace_back(kDetailsSourceColumn);
        book.detailValues.emplace_back(std::monostate{});
    }
}

void StoreBook(CEngineDatabase& engine, const StoredBook& book) {
    engine.Execute(InsertStatement("books", book.columns, book.values));
    if (!book.cover.empty()) {
        if (InspectCoverTable(engine) == OwnTableState::Absent) {
            engine.Execute(kCreateCoversTable);
        }
        // A cover a change left behind (a delete that kept it) gives way to the one going back.
        engine.Execute(FormatStatement("INSERT OR REPLACE INTO book_covers(id, image) VALUES(%d, ",
                                       StoredId(book)) +
                       BlobLiteral(book.cover) + ")");
    }
    if (book.detailColumns.empty()) {
        return;
    }
    PrepareDetailsTable(engine);
    engine.Execute(InsertStatement("book_details", book.detailColumns, book.detailValues));
}

// The cover of each book read, for the books found: by identifier.
void ReadCovers(CEngineDatabase& engine, const std::string& ids,
                const std::function<void(std::int32_t, std::string)>& each) {
    if (InspectCoverTable(engine) != OwnTableState::Ours) {
        return;
    }
    CEngineRecordset set(engine);
    set.Open("SELECT id, image FROM book_covers WHERE id IN (" + ids + ")", RecordReading::Forward);
    for (; !set.IsEOF(); set.MoveNext()) {
        each(static_cast<std::int32_t>(set.GetInteger(0)), set.GetText(1));
    }
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
    for (const LoanMove& move : change.loansMoved) {
        const std::int32_t holder = forward ? move.from : move.to;
        CEngineRecordset set(db.Engine());
        set.Open(FormatStatement("SELECT id FROM loans WHERE id = %ld AND book = %d", move.loan,
                                 holder));
        if (set.GetRecordCount() == 0) {
            return false;
        }
        db.Engine().Execute(FormatStatement("UPDATE loans SET book = %d WHERE id = %ld",
                                            forward ? move.to : move.from, move.loan));
    }
    if (from) {
        if (!from->detailColumns.empty()) {
            db.Engine().Execute(FormatStatement("DELETE FROM book_details WHERE id = %d", id));
        }
        if (!from->cover.empty()) {
            db.Engine().Execute(FormatStatement("DELETE FROM book_covers WHERE id = %d", id));
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

std::int32_t StoredId(const StoredBook& book) {
    const auto at = std::ranges::find(book.columns, "id");
    if (at == book.columns.end()) {
        return 0;
    }
    const auto* id = std::get_if<std::int64_t>(
        &book.values[static_cast<std::size_t>(at - book.columns.begin())]);
    return id ? static_cast<std::int32_t>(*id) : 0;
}

std::string StatementValue(const StoredValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return FormatStatement("%ld", *number);
    }
    if (const auto* text = std::get_if<std::string>(&value)) {
        return FormatStatement("'%s'", *text);
    }
    return "NULL";
}

std::optional<StoredBook> ReadStoredBook(CBookDatabase& db, std::int32_t id) {
    StoredBook book;
    if (!ReadRow(db.Engine(), FormatStatement("SELECT * FROM books WHERE id = %d", id),
                 book.columns, book.values)) {
        return std::nullopt;
    }
    if (InspectDetailsTable(db.Engine()) == DetailsTableState::Ours &&
        ReadRow(db.Engine(), FormatStatement("SELECT * FROM book_details WHERE id = %d", id),
                book.detailColumns, book.detailValues)) {
        AddMissingSource(book);
    }
    ReadCovers(db.Engine(), std::to_string(id),
               [&book](std::int32_t, std::string cover) { book.cover = std::move(cover); });
    return book;
}

std::vector<StoredBook> ReadStoredBooks(CBookDatabase& db, const std::vector<std::int32_t>& ids) {
    std::unordered_map<std::int32_t, StoredBook> found;
    found.reserve(ids.size());
    const bool details = InspectDetailsTable(db.Engine()) == DetailsTableState::Ours;
    ForEachIdList(ids, [&](const std::string& list) {
        ReadRows(db.Engine(), "SELECT * FROM books WHERE id IN (" + list + ")",
                 [&found](const std::vector<std::string>& columns, std::vector<StoredValue> row) {
                     StoredBook book{columns, std::move(row), {}, {}, {}};
                     found.emplace(StoredId(book), std::move(book));
                 });
        ReadCovers(db.Engine(), list, [&found](std::int32_t id, std::string cover) {
            if (const auto at = found.find(id); at != found.end()) {
                at->second.cover = std::move(cover);
            }
        });
        if (!details) {
            return;
        }
        ReadRows(db.Engine(), "SELECT * FROM book_details WHERE id IN (" + list + ")",
                 [&found](const std::vector<std::string>& columns, std::vector<StoredValue> row) {
                     const auto* id = std::get_if<std::int64_t>(&row.front());
                     const auto at = id ? found.find(static_cast<std::int32_t>(*id)) : found.end();
                     if (at != found.end()) {
                         at->second.detailColumns = columns;
                         at->second.detailValues = std::move(row);
                         AddMissingSource(at->second);
                     }
                 });
    });
    std::vector<StoredBook> books;
    books.reserve(found.size());
    for (const std::int32_t id : ids) {
        if (auto at = found.find(id); at != found.end()) {
            books.push_back(std::move(at->second));
            found.erase(at);
        }
    }
    return books;
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
