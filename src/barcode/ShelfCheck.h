#pragma once

#include "store/MessageSink.h"
#include "store/OwnTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CBookDatabase;

// The table of the shelf check under way, the program's own: made by the first label scanned,
// one row a book scanned, with the location checked (empty for every location) and when.
inline constexpr const char* kCreateShelfCheckTable =
    "CREATE TABLE shelf_check (book INTEGER PRIMARY KEY CHECK (book BETWEEN 1 AND 2147483647), "
    "shelf TEXT NOT NULL CHECK (length(shelf) <= 255), "
    "scanned TEXT NOT NULL)";

// What became of one code scanned.
struct ShelfScan {
    enum class Kind {
        Ticked,   // its book is now counted
        Again,    // its book was counted already
        Unknown,  // a book's code, but no book has it
        NotACode, // not a label's code at all
        Refused   // the check cannot be kept (told through the sink)
    };
    Kind kind = Kind::NotACode;
    std::int32_t book = 0;
    std::string title;
    std::string location; // where the catalogue has the book ("" for nowhere)
};

struct ShelfBook {
    std::int32_t id = 0;
    std::string title;
    std::string author;
    std::string location;
};

// What a check found: the books of the location not scanned, and the ones scanned that the
// catalogue has elsewhere, each by title.
struct ShelfReport {
    std::string shelf; // "" for every location
    int scanned = 0;
    std::vector<ShelfBook> missing;
    std::vector<ShelfBook> elsewhere;
};

// A shelf check: the labels of the books on a location scanned one by one, each book counted
// once, kept in the catalogue so that the check goes on after the program is closed, and a
// report of the books missing and of those recorded elsewhere. A table of that name the program
// did not make refuses the check with one message and stays as it is.
class CShelfCheck : private OwnTableKeeper {
public:
    CShelfCheck(CBookDatabase& db, MessageSink sink);

    // The location of the check under way ("" for every location), or nothing when no label
    // has been scanned since the last check ended (or the table cannot be used).
    std::optional<std::string> Current();
    // Counts the book of a label's code ("SW0042") for the check of `shelf`.
    ShelfScan Scan(const std::string& shelf, std::string_view code);
    // The books counted so far.
    std::optional<std::vector<std::int32_t>> Scanned();
    // The books the catalogue places on `shelf` (every book for ""), by title.
    std::optional<std::vector<ShelfBook>> BooksOn(const std::string& shelf);
    std::optional<ShelfReport> Report(const std::string& shelf);
    // Ends the check: what was scanned is forgotten.
    bool Finish();

private:
    // Every book with its location, by title.
    std::optional<std::vector<ShelfBook>> AllBooks();

    CBookDatabase& m_db;
};

// The report as text to show and print: a heading, then "lipsa" and "in alt loc: Raft 3" lines
// with the book's code, title and author.
std::string ShelfReportText(const ShelfReport& report);
