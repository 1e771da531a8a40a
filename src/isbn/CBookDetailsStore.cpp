#include "isbn/CBookDetailsStore.h"

#include "isbn/IsbnCode.h"
#include "store/BookFieldChecks.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/DetailsSchema.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"
#include "store/UserReasons.h"

namespace {

// Where the set has the source, or -1: a table of the earlier shape has not gained it yet.
int SourceField(const CEngineRecordset& set) {
    const std::vector<std::string>& columns = set.ColumnNames();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i] == kDetailsSourceColumn) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

BookDetails ReadDetails(const CEngineRecordset& set, int source) {
    BookDetails details;
    details.isbn = set.GetText("isbn");
    details.locatie = set.GetText("locatie");
    details.serie = set.GetText("serie");
    const int number = set.FieldIndex("numar_serie");
    details.numar_serie =
        set.IsNull(number) ? kUnknownNumber : static_cast<std::int32_t>(set.GetInteger(number));
    details.note = set.GetText("note");
    details.adaugata = set.GetText("adaugata");
    if (source >= 0) {
        details.sursa = set.GetText(source);
    }
    return details;
}

// Values as SQL: NULL for a text or number not given, so `sqlite3` shows them as unknown.
std::string TextValue(const std::string& text) {
    return text.empty() ? "NULL" : FormatStatement("'%s'", text);
}

std::string NumberValue(std::int32_t number) {
    return IsUnknown(number) ? "NULL" : FormatStatement("%d", number);
}

} // namespace

CBookDetailsStore::CBookDetailsStore(CBookDatabase& db, MessageSink sink)
    : OwnTableKeeper(db.Engine(), std::move(sink), InspectDetailsTable, msg::kDetailsUnusable),
      m_db(db) {}

template <class Work> bool CBookDetailsStore::Transaction(const char* failure, Work&& work) {
    try {
        TransactionGuard transaction(m_engine, "BEGIN IMMEDIATE");
        if (!work()) {
            return false;
        }
        transaction.Commit();
        return true;
    } catch (const CEngineException& e) {
        Report(e.Failure() == EngineFailure::Refused
                   ? std::string(failure) + "\n" + msg::kDetailsNotWritten + EngineReason(e)
                   : std::string(failure));
        return false;
    }
}

const char* CBookDetailsStore::Problem(BookDetails& details) {
    if (!details.isbn.empty()) {
        const IsbnCheck check = CheckIsbn(details.isbn);
        if (check.problem == IsbnProblem::WrongCheckDigit) {
            return msg::kIsbnCheckDigit;
        }
        if (check.problem == IsbnProblem::NotAnIsbn) {
            return msg::kIsbnNotValid;
        }
        details.isbn = check.isbn13;
    }
    for (const std::string* text : {&details.locatie, &details.serie, &details.note}) {
        if (!FitsTextColumn(*text)) {
            return msg::kTextTooLong;
        }
    }
    bool cut = false;
    details.sursa = FitOutsideText(details.sursa, cut);
    return nullptr;
}

std::optional<BookDetails> CBookDetailsStore::Read(std::int32_t id) {
    std::optional<BookDetails> details;
    Guarded(msg::kDetailsUnusable, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        details = BookDetails{};
        if (*hasTable) {
            CEngineRecordset set(m_engine);
            set.Open(FormatStatement("SELECT * FROM book_details WHERE id = %d", id));
            if (set.GetRecordCount() > 0) {
                set.MoveFirst();
                details = ReadDetails(set, SourceField(set));
            }
        }
        return true;
    });
    return details;
}

std::optional<std::map<std::int32_t, BookDetails>> CBookDetailsStore::ReadAll() {
    std::optional<std::map<std::int32_t, BookDetails>> all;
    Guarded(msg::kDetailsUnusable, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        all.emplace();
        if (*hasTable) {
            CEngineRecordset set(m_engine);
            set.Open("SELECT * FROM book_details");
            const int source = SourceField(set);
            for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
                all->emplace(set.GetLong("id"), ReadDetails(set, source));
            }
        }
        return true;
    });
    return all;
}

bool CBookDetailsStore::ReadIsbnsAndLocations(
    const std::function<void(std::int32_t, std::string_view, std::string_view)>& each) {
    return Guarded(msg::kDetailsUnusable, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        if (*hasTable) {
            CEngineRecordset set(m_engine);
            set.Open("SELECT id, isbn, locatie FROM book_details", RecordReading::Forward);
            for (; !set.IsEOF(); set.MoveNext()) {
                each(static_cast<std::int32_t>(set.GetInteger(0)), set.GetTextView(1),
                     set.GetTextView(2));
            }
        }
        return true;
    });
}

void CBookDetailsStore::Store(std::int32_t id, const BookDetails& details, bool hasTable) {
    if (details.IsEmpty()) {
        if (hasTable) {
            m_engine.Execute(FormatStatement("DELETE FROM book_details WHERE id = %d", id));
        }
        return;
    }
    PrepareDetailsTable(m_engine);
    const std::string values[] = {TextValue(details.isbn),  TextValue(details.locatie),
                                  TextValue(details.serie), NumberValue(details.numar_serie),
                                  TextValue(details.note),  TextValue(details.adaugata),
                                  TextValue(details.sursa)};
    // The book's own row is changed, or added when it has none. A statement that replaces rows
    // would delete another book's details where an index the user added finds the same value.
    m_engine.Execute("UPDATE book_details SET isbn = " + values[0] + ", locatie = " + values[1] +
                     ", serie = " + values[2] + ", numar_serie = " + values[3] +
                     ", note = " + values[4] + ", adaugata = " + values[5] +
                     ", sursa = " + values[6] + FormatStatement(" WHERE id = %d", id));
    m_engine.Execute(
        FormatStatement("INSERT INTO book_details(%s) SELECT %d, ", kDetailsColumns, id) +
        values[0] + "," + values[1] + "," + values[2] + "," + values[3] + "," + values[4] + "," +
        values[5] + "," + values[6] +
        FormatStatement(" WHERE NOT EXISTS (SELECT 1 FROM book_details WHERE id = %d)", id));
}

bool CBookDetailsStore::Write(std::int32_t id, const BookDetails& given) {
    BookDetails details = given;
    if (const char* problem = Problem(details)) {
        Report(problem);
        return false;
    }
    return Transaction(msg::kCannotUpdate, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        Store(id, details, *hasTable);
        return true;
    });
}

std::optional<std::int32_t> CBookDetailsStore::AddBook(const BookRecord& book,
                                                       const BookDetails& given) {
    BookDetails details = given;
    if (const char* problem = Problem(details)) {
        Report(problem);
        return std::nullopt;
    }
    std::optional<std::int32_t> added;
    const bool stored = Transaction(msg::kCannotInsert, [&] {
        const std::optional<bool> hasTable =
            details.IsEmpty() ? std::optional<bool>(false) : HasTable();
        if (!hasTable) {
            Report(msg::kCannotInsert); // after why, so no one looks for a book not there
            return false;
        }
        // The catalogue tells its own refusal of the book.
        if (!m_db.InsertBook(book.titlu, book.autor, book.editura, StoredLookupValue(book.tip),
                             book.pagini, book.capitole, book.volume, book.publicare,
                             book.publicare_volum, book.citita, book.calificativ,
                             StoredLookupValue(book.stare))) {
            return false;
        }
        added = m_db.GetLastInsertedId();
        if (!details.IsEmpty()) {
            Store(*added, details, *hasTable);
        }
        return true;
    });
    return stored ? added : std::nullopt;
}

bool CBookDetailsStore::WriteWithin(std::int32_t id, const BookDetails& given) {
    BookDetails details = given;
    if (const char* problem = Problem(details)) {
        Report(problem);
        return false;
    }
    const std::optional<bool> hasTable = HasTable();
    if (!hasTable) {
        return false;
    }
    Store(id, details, *hasTable);
    return true;
}

std::optional<std::vector<std::int32_t>>
CBookDetailsStore::BooksWithIsbn(const std::string& isbn13) {
    std::optional<std::vector<std::int32_t>> ids;
    Guarded(msg::kDetailsUnusable, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        ids.emplace();
        if (*hasTable) {
            CEngineRecordset set(m_engine);
            set.Open(FormatStatement("SELECT id FROM book_details WHERE isbn = '%s' ORDER BY id",
                                     isbn13));
            for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
                ids->push_back(set.GetLong("id"));
            }
        }
        return true;
    });
    return ids;
}

std::optional<std::vector<std::string>> CBookDetailsStore::Names(const char* column) {
    std::optional<std::vector<std::string>> names;
    Guarded(msg::kDetailsUnusable, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        names.emplace();
        if (*hasTable) {
            const std::string name = column;
            CEngineRecordset set(m_engine);
            set.Open("SELECT DISTINCT " + name + " AS name FROM book_details WHERE " + name +
                     " IS NOT NULL ORDER BY name");
            for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
                names->push_back(set.GetText("name"));
            }
        }
        return true;
    });
    return names;
}

std::optional<std::vector<std::string>> CBookDetailsStore::Locations() {
    return Names("locatie");
}

std::optional<std::vector<std::string>> CBookDetailsStore::Series() {
    return Names("serie");
}
