#pragma once

#include "isbn/BookDetails.h"
#include "store/MessageSink.h"
#include "store/OwnTable.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CBookDatabase;

namespace msg {
inline constexpr const char* kDetailsUnusable =
    "Detaliile cartilor nu pot fi folosite: tabela book_details este deteriorata sau are alta "
    "forma!";
inline constexpr const char* kIsbnNotValid =
    "ISBN gresit: trebuie sa aiba 10 cifre (ultima poate fi X) sau 13 cifre incepand cu 978 "
    "sau 979";
inline constexpr const char* kIsbnCheckDigit = "ISBN gresit: cifra de control nu se potriveste";
// Before the reason a value was refused for (a rule of the table, an index the user added).
inline constexpr const char* kDetailsNotWritten = "Detaliile nu pot fi scrise: ";
} // namespace msg

// The details of the books of one open catalogue, kept in the program's own table, which the
// first book given details makes. A catalogue without the table has no details and reads as
// such, quietly; a table of that name the program did not make refuses every operation with one
// message and stays as it is. A table an earlier version made, without the source, reads as
// details not looked up, and gains the column in the transaction of the first details written.
// Each operation reports its own failure once through the sink and returns its failure value.
class CBookDetailsStore : private OwnTableKeeper {
public:
    CBookDetailsStore(CBookDatabase& db, MessageSink sink);

    // The details of the book `id`: all empty when it has none.
    std::optional<BookDetails> Read(std::int32_t id);
    // Every book's details that has some, by identifier.
    std::optional<std::map<std::int32_t, BookDetails>> ReadAll();
    // The ISBN and location of every book that has details, as stored, for a listing: one pass
    // over the two columns. False when the table cannot be read.
    bool ReadIsbnsAndLocations(
        const std::function<void(std::int32_t, std::string_view, std::string_view)>& each);
    // Replaces the details of the book `id`; empty details remove them. The ISBN is taken as
    // typed and kept as its 13 digits; refused with its message when it is no ISBN, or when a
    // text is longer than the catalogue holds. Only the book's own row is written: a value an
    // index of the user's refuses (another book's ISBN under a unique index) is told, and every
    // book's details stay as they were.
    bool Write(std::int32_t id, const BookDetails& details);
    // Adds `book` with its details (none when empty) in one transaction: both are stored or
    // neither, a refusal told once. The new book's identifier, or nothing.
    std::optional<std::int32_t> AddBook(const BookRecord& book, const BookDetails& details);
    // The same inside a transaction the caller holds (an import's, with its books): a refused
    // value or a foreign table is reported and gives false; an engine failure is thrown as
    // CEngineException for the caller to roll its transaction back.
    bool WriteWithin(std::int32_t id, const BookDetails& details);
    // The books that have this ISBN (13 digits), lowest identifier first.
    std::optional<std::vector<std::int32_t>> BooksWithIsbn(const std::string& isbn13);
    // The locations and the series already used, each once, in the program's text order.
    std::optional<std::vector<std::string>> Locations();
    std::optional<std::vector<std::string>> Series();

    // The first thing wrong with details about to be written, or null; `details.isbn` is made
    // the 13 digits of the ISBN typed, and the source's name, which no one types, is made fit for
    // its column rather than refused.
    static const char* Problem(BookDetails& details);

private:
    std::optional<std::vector<std::string>> Names(const char* column);
    // Stores checked details; the table is made when absent, and given the source column when
    // an earlier version made it.
    void Store(std::int32_t id, const BookDetails& details, bool hasTable);
    // Runs `work` in a transaction of its own; an engine failure is told, as `failure` or, for a
    // refused value, with its reason, and gives false.
    template <class Work> bool Transaction(const char* failure, Work&& work);

    CBookDatabase& m_db;
};
