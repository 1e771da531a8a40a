#pragma once

#include "store/BookHistory.h"
#include "store/MessageSink.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CBookDatabase;
class CEngineDatabase;

// Where the catalogue stood when a set of books was read: a commit of another program, or a
// write of this connection, moves it. Books read at a moment that has not moved are still as
// they were read, so a change of many of them need not read them all again.
struct CatalogueMoment {
    std::int64_t dataVersion = -1;
    std::int64_t ownChanges = -1;
    bool operator==(const CatalogueMoment&) const = default;
};
CatalogueMoment ReadCatalogueMoment(CEngineDatabase& engine);

// One field given one value on every book of a change of many: a column of the books table,
// or, with `details`, of the details table.
struct BulkField {
    std::string column;
    StoredValue value;
    bool details = false;
};

// What a change of many books did: the changes made, one step to undo, and the books another
// program changed or deleted since they were read, left as they are.
struct BulkOutcome {
    std::vector<BookChange> changes;
    std::vector<std::int32_t> skipped;
};

// Gives every book of `books`, read at `read`, the fields' values, in one transaction and a
// statement per table. A book changed since is skipped. A book without details gains them only
// for a value that is given (not NULL). Nothing, told through the sink, when the catalogue
// refuses the change or its details table is not the program's own.
std::optional<BulkOutcome> ChangeBooks(CBookDatabase& db, std::vector<StoredBook> books,
                                       const CatalogueMoment& read,
                                       const std::vector<BulkField>& fields,
                                       const MessageSink& sink);

// Deletes the books read at `read` with their details, in one transaction; the open loan of a
// book deleted is closed on `today` with it, and opens again on undo. A book changed since is
// skipped. Nothing, told, when the catalogue refuses.
std::optional<BulkOutcome> DeleteBooks(CBookDatabase& db, std::vector<StoredBook> books,
                                       const CatalogueMoment& read, const std::string& today,
                                       const MessageSink& sink);

// The open loan of each of these books that has one, as (book, loan); none, quietly, when the
// catalogue keeps no loans or the loans cannot be read.
std::vector<std::pair<std::int32_t, std::int64_t>>
OpenLoansOf(CBookDatabase& db, const std::vector<std::int32_t>& books);
