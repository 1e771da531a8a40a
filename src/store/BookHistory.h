#pragma once

#include "store/MessageSink.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

class CBookDatabase;

// One stored value of a book's row exactly as the catalogue holds it.
using StoredValue = std::variant<std::monostate, std::int64_t, std::string>;

// A book's row as stored: every column of `books`, by name, in the table's order; its row of
// the program's details table the same way, empty when it has none; and the JPEG bytes of the
// cover the user chose, empty when none.
struct StoredBook {
    std::vector<std::string> columns;
    std::vector<StoredValue> values;
    std::vector<std::string> detailColumns;
    std::vector<StoredValue> detailValues;
    std::string cover;
    bool operator==(const StoredBook&) const = default;
};

// The text of a column of a stored book: empty when it is unknown or no text.
std::string StoredText(const StoredBook& book, std::string_view column);
// The book's identifier, as its `id` column holds it.
std::int32_t StoredId(const StoredBook& book);
// A stored value as a statement writes it: a number, a quoted text or NULL.
std::string StatementValue(const StoredValue& value);

// The book with this identifier as it is stored now, with its details, or nothing when there is
// none. Throws CEngineException when the catalogue cannot be read.
std::optional<StoredBook> ReadStoredBook(CBookDatabase& db, std::int32_t id);
// The books with these identifiers as they are stored now, read together, in the order given;
// an identifier no book has is left out. Throws CEngineException as ReadStoredBook.
std::vector<StoredBook> ReadStoredBooks(CBookDatabase& db, const std::vector<std::int32_t>& ids);

// A loan that a change closes with it (a lent book deleted): returned on `returned` going
// forward, open again going back.
struct LoanClosing {
    std::int64_t loan = 0;
    std::string returned;
};

// A loan that a change gives to another book (a double merged into the book kept): on `to`
// going forward, on `from` going back.
struct LoanMove {
    std::int64_t loan = 0;
    std::int32_t from = 0;
    std::int32_t to = 0;
};

// One change to one book: the row before it and after it (nothing before an add, nothing after
// a delete), the loan closed with it, if any, and the loans it gives to another book.
struct BookChange {
    std::int32_t id = 0;
    std::optional<StoredBook> before;
    std::optional<StoredBook> after;
    std::optional<LoanClosing> loan;
    std::vector<LoanMove> loansMoved;
};

inline constexpr const char* kChangedElsewhere =
    "Cartea a fost schimbata intre timp de alt program; pasul nu mai poate fi facut, nimic nu "
    "s-a schimbat.";

// Takes the book back to `before` (undo) or forward to `after` (redo) in one transaction, the
// identifier and every field included, and its loan with it. Refused, with kChangedElsewhere,
// when the stored row or loan is no longer the one the change left; a failure is reported too.
// Either way nothing changes and the result is false.
bool UndoBookChange(CBookDatabase& db, const BookChange& change, const MessageSink& sink);
bool RedoBookChange(CBookDatabase& db, const BookChange& change, const MessageSink& sink);
// The same for a step of many books, in one transaction: all of them move, or none.
bool UndoBookChanges(CBookDatabase& db, const std::vector<BookChange>& changes,
                     const MessageSink& sink);
bool RedoBookChanges(CBookDatabase& db, const std::vector<BookChange>& changes,
                     const MessageSink& sink);
// Makes many changes in one transaction, each book's `after` taking the place of its `before`.
// A book whose stored row is no longer `before` (another program changed it since it was read)
// is left as it is and its identifier given back; nothing at all when the catalogue refuses a
// write (told).
// `progress`, when given, is told every hundred books how many of them are done.
std::optional<std::vector<std::int32_t>>
MakeBookChanges(CBookDatabase& db, const std::vector<BookChange>& changes, const MessageSink& sink,
                const std::function<void(std::size_t done)>& progress = {});
