#include "store/BookHistory.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CatalogueMessages.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"

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

// The statement that stores `book` whole: every column named, the identifier included.
std::string InsertStatement(const StoredBook& book) {
    std::string names;
    std::string values;
    for (std::size_t i = 0; i < book.columns.size(); ++i) {
        const char* comma = i == 0 ? "" : ",";
        names += comma + QuotedName(book.columns[i]);
        values += comma;
        const StoredValue& v = book.values[i];
        if (std::holds_alternative<std::int64_t>(v)) {
            values += FormatStatement("%ld", std::get<std::int64_t>(v));
        } else if (std::holds_alternative<std::string>(v)) {
            values += FormatStatement("'%s'", std::get<std::string>(v));
        } else {
            values += "NULL";
        }
    }
    return "INSERT INTO books(" + names + ") VALUES(" + values + ")";
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

bool MoveBook(CBookDatabase& db, const BookChange& change, bool forward, const MessageSink& sink) {
    const std::optional<StoredBook>& from = forward ? change.before : change.after;
    const std::optional<StoredBook>& to = forward ? change.after : change.before;
    const std::int32_t id = change.id;
    try {
        TransactionGuard guard(db.Engine(), "BEGIN IMMEDIATE");
        if (ReadStoredBook(db, id) != from ||
            (change.loan && !MoveLoan(db, *change.loan, forward))) {
            sink(kChangedElsewhere);
            return false;
        }
        if (from) {
            db.Engine().Execute(FormatStatement("DELETE FROM books WHERE id = %d", id));
        }
        if (to) {
            db.Engine().Execute(InsertStatement(*to));
        }
        guard.Commit();
    } catch (const CEngineException&) {
        sink(to ? msg::kCannotUpdate : msg::kCannotDelete);
        return false;
    }
    return true;
}

} // namespace

std::optional<StoredBook> ReadStoredBook(CBookDatabase& db, std::int32_t id) {
    CEngineRecordset set(db.Engine());
    set.Open(FormatStatement("SELECT * FROM books WHERE id = %d", id));
    if (set.GetRecordCount() == 0) {
        return std::nullopt;
    }
    set.MoveFirst();
    StoredBook book;
    book.columns = set.ColumnNames();
    for (int field = 0; field < static_cast<int>(book.columns.size()); ++field) {
        book.values.push_back(ReadValue(set, field));
    }
    return book;
}

bool UndoBookChange(CBookDatabase& db, const BookChange& change, const MessageSink& sink) {
    return MoveBook(db, change, false, sink);
}

bool RedoBookChange(CBookDatabase& db, const BookChange& change, const MessageSink& sink) {
    return MoveBook(db, change, true, sink);
}
