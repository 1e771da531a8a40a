#include "transfer/CatalogueImport.h"

#include "store/BookFieldChecks.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineStatement.h"
#include "store/FixedNames.h"
#include "store/LookupList.h"
#include "transfer/Csv.h"

#include <charconv>
#include <map>
#include <optional>
#include <vector>

namespace {

enum class Field {
    Titlu,
    Autor,
    Editura,
    Tip,
    Pagini,
    Capitole,
    Volume,
    Publicare,
    PublicareVolum,
    Citita,
    Calificativ,
    Stare,
    Shelf,
    Stars,
    Count
};

const std::map<std::string, Field>& HeaderFields() {
    static const std::map<std::string, Field> headers = {
        {"Titlu", Field::Titlu},
        {"Autor", Field::Autor},
        {"Editura", Field::Editura},
        {"Tip", Field::Tip},
        {"Pagini", Field::Pagini},
        {"Capitole", Field::Capitole},
        {"Volume", Field::Volume},
        {"An aparitie", Field::Publicare},
        {"An publicare volum", Field::PublicareVolum},
        {"Citita", Field::Citita},
        {"Calificativ", Field::Calificativ},
        {"Stare", Field::Stare},
        {"Title", Field::Titlu},
        {"Author", Field::Autor},
        {"Publisher", Field::Editura},
        {"Number of Pages", Field::Pagini},
        {"Original Publication Year", Field::Publicare},
        {"Year Published", Field::PublicareVolum},
        {"Exclusive Shelf", Field::Shelf},
        {"My Rating", Field::Stars},
    };
    return headers;
}

// A failure of one row: the reason, reported with the row's line.
struct RowError {
    std::string reason;
};

std::size_t Characters(const std::string& utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) {
        n += (c & 0xC0) != 0x80;
    }
    return n;
}

int Integer(const std::string& text, const char* header, int low, int high, int fallback) {
    if (text.empty()) {
        return fallback;
    }
    long long v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) {
        throw RowError{std::string(header) + " is not an integer: \"" + text + "\""};
    }
    if (v < low || v > high) {
        throw RowError{std::string(header) + " is out of range (" + std::to_string(low) + " to " +
                       std::to_string(high) + "): " + text};
    }
    return static_cast<int>(v);
}

std::string Text(const std::string& text, const char* header) {
    if (Characters(text) > 255) {
        throw RowError{std::string(header) + " is longer than 255 characters"};
    }
    return text.empty() ? "-" : text;
}

// Stars of a reading site: 5 is the best name, 1 the fifth; a read book not rated takes the
// middle one.
int RatingOfStars(const std::string& stars, bool read) {
    if (!read) {
        return kRatingToRead;
    }
    const int n = Integer(stars, "My Rating", 0, 5, 0);
    return n == 0 ? 3 : 5 - n;
}

// Runs a statement for the current row: a value the table's rules refuse is the row's fault;
// any other failure (busy, read-only, disk full) is the catalogue's and goes on as it is.
void RunForRow(CEngineStatement& statement, const std::string& refusal) {
    try {
        statement.Run();
    } catch (const CEngineException& e) {
        if (e.Failure() != EngineFailure::Refused) {
            throw;
        }
        throw RowError{refusal};
    }
}

class LookupIds {
public:
    LookupIds(CBookDatabase& db, LookupKind kind)
        : m_db(db), m_insert(db.Engine(), kind == LookupKind::Types
                                              ? "INSERT INTO types(tip) VALUES (?)"
                                              : "INSERT INTO states(stare) VALUES (?)") {
        ReloadLookupList(db, kind,
                         kind == LookupKind::Types ? kReloadTypesStatement : kReloadStatesStatement,
                         m_list);
    }
    int IdOf(const std::string& name, int& added) {
        const std::int32_t id = m_list.FindIdByName(name);
        if (id != -1) {
            return id;
        }
        m_insert.Bind(1, name);
        RunForRow(m_insert, "the name \"" + name + "\" cannot be stored");
        const std::int32_t newId = m_db.GetLastInsertedId();
        m_list.Add(LookupEntry(newId, name));
        ++added;
        return newId;
    }

private:
    CBookDatabase& m_db;
    CEngineStatement m_insert;
    LookupList m_list;
};

// The header's columns: which field each gives, and the names of those it ignores.
struct Columns {
    std::vector<std::optional<Field>> fields;
    std::vector<std::string> ignored;
};

Columns ReadHeader(const std::vector<std::string>& header) {
    Columns columns;
    std::map<Field, std::string> seen;
    for (const std::string& h : header) {
        const auto it = HeaderFields().find(h);
        if (it == HeaderFields().end()) {
            columns.fields.push_back(std::nullopt);
            // The identifier of the program's own export is left out on purpose.
            if (h != "ID") {
                columns.ignored.push_back(h);
            }
            continue;
        }
        const auto [earlier, first] = seen.emplace(it->second, h);
        if (!first) {
            throw RowError{"the header names one column twice: \"" + earlier->second + "\" and \"" +
                           h + "\""};
        }
        columns.fields.push_back(it->second);
    }
    if (seen.empty()) {
        throw RowError{"no known column in the header"};
    }
    return columns;
}

// One row's values as they go into the catalogue, read and checked as the book dialog does.
struct Book {
    BookFieldValues fields;
    int publicare = 1;
    bool read = false;
    int rating = kRatingToRead;
    std::string type;
    std::string state;
};

Book ReadBook(const std::vector<const std::string*>& value) {
    static const std::string empty;
    auto has = [&](Field f) { return value[static_cast<std::size_t>(f)] != nullptr; };
    auto get = [&](Field f) -> const std::string& {
        const std::string* v = value[static_cast<std::size_t>(f)];
        return v ? *v : empty;
    };
    Book b;
    if (has(Field::Citita)) {
        const int index = FindReadIndex(get(Field::Citita));
        if (index < 0) {
            throw RowError{"Citita must be \"Da\" or \"Nu\": \"" + get(Field::Citita) + "\""};
        }
        b.read = index == 1;
    } else if (has(Field::Shelf)) {
        b.read = get(Field::Shelf) == "read";
    }
    b.rating = b.read ? 0 : kRatingToRead;
    if (has(Field::Calificativ)) {
        b.rating = FindRatingIndex(get(Field::Calificativ));
        if (b.rating < 0) {
            throw RowError{"unknown Calificativ: \"" + get(Field::Calificativ) + "\""};
        }
    } else if (has(Field::Stars) || has(Field::Shelf)) {
        b.rating = RatingOfStars(get(Field::Stars), b.read);
    }
    if (const char* contradiction = CheckRatingAgainstRead(
            g_readNames[b.read ? 1 : 0], g_ratingNames[static_cast<std::size_t>(b.rating)])) {
        throw RowError{contradiction};
    }
    // The title stays as given, so that an empty one is refused; the others default to "-".
    b.fields.titlu = get(Field::Titlu);
    Text(b.fields.titlu, "Titlu");
    b.fields.autor = Text(get(Field::Autor), "Autor");
    b.fields.editura = Text(get(Field::Editura), "Editura");
    b.fields.pagini = Integer(get(Field::Pagini), "Pagini", -32768, 32767, 1);
    b.fields.capitole = Integer(get(Field::Capitole), "Capitole", -32768, 32767, 1);
    b.fields.volume = Integer(get(Field::Volume), "Volume", -32768, 32767, 1);
    b.publicare = Integer(get(Field::Publicare), "An aparitie", -32768, 32767, 1);
    b.fields.publicareVolum =
        Integer(get(Field::PublicareVolum), "An publicare volum", -32768, 32767, 1);
    const std::string& type = get(Field::Tip);
    const std::string& state = get(Field::Stare);
    b.type = Text(type.empty() ? "Alte" : type, "Tip");
    b.state = Text(state.empty() ? "Nedetinuta" : state, "Stare");
    if (const char* refused = FirstFailedFieldCheck(b.fields)) {
        throw RowError{refused};
    }
    return b;
}

// A failure of the catalogue itself (busy, read-only, disk full): no line is to blame.
ImportResult CatalogueFailure(const CEngineException& e) {
    ImportResult result;
    result.error = e.Reason();
    result.catalogueFailed = true;
    return result;
}

} // namespace

ImportResult ImportCsv(std::string_view csv, CBookDatabase& db) {
    ImportResult result;
    CsvReader reader(csv);
    const auto header = reader.Next();
    if (!header) {
        result.error = reader.Error().empty() ? "the file is empty" : reader.Error();
        result.errorLine = reader.ErrorLine();
        return result;
    }
    Columns columns;
    try {
        columns = ReadHeader(header->fields);
    } catch (const RowError& e) {
        result.error = e.reason;
        result.errorLine = header->line;
        return result;
    }
    try {
        // Taken at once, so that another writer is met before any row is read.
        db.Engine().Execute("BEGIN IMMEDIATE");
    } catch (const CEngineException& e) {
        return CatalogueFailure(e);
    }
    std::size_t line = header->line;
    try {
        LookupIds types(db, LookupKind::Types);
        LookupIds states(db, LookupKind::States);
        // Prepared once: a hundred thousand rows are not parsed a hundred thousand times.
        CEngineStatement insert(db.Engine(),
                                "INSERT INTO books(titlu,autor,editura,tip,pagini,capitole,volume,"
                                "publicare,publicare_volum,citita,calificativ,stare) "
                                "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
        while (auto record = reader.Next()) {
            line = record->line;
            if (record->fields.size() != columns.fields.size()) {
                const std::size_t n = record->fields.size();
                throw RowError{"the row has " + std::to_string(n) + (n == 1 ? " cell" : " cells") +
                               ", the header " + std::to_string(columns.fields.size())};
            }
            std::vector<const std::string*> value(static_cast<std::size_t>(Field::Count), nullptr);
            for (std::size_t i = 0; i < columns.fields.size(); ++i) {
                if (columns.fields[i]) {
                    value[static_cast<std::size_t>(*columns.fields[i])] = &record->fields[i];
                }
            }
            const Book book = ReadBook(value);
            const int type = types.IdOf(book.type, result.types);
            const int state = states.IdOf(book.state, result.states);
            if (state > 256) {
                throw RowError{"a book can carry only the first 256 states"};
            }
            insert.Bind(1, book.fields.titlu);
            insert.Bind(2, book.fields.autor);
            insert.Bind(3, book.fields.editura);
            insert.Bind(4, type - 1);
            insert.Bind(5, book.fields.pagini);
            insert.Bind(6, book.fields.capitole);
            insert.Bind(7, book.fields.volume);
            insert.Bind(8, book.publicare);
            insert.Bind(9, book.fields.publicareVolum);
            insert.Bind(10, book.read ? 1 : 0);
            insert.Bind(11, book.rating);
            insert.Bind(12, state - 1);
            RunForRow(insert, "the catalogue refused the book");
            ++result.books;
        }
        if (!reader.Error().empty()) {
            line = reader.ErrorLine();
            throw RowError{reader.Error()};
        }
        db.Engine().Execute("COMMIT");
    } catch (const RowError& e) {
        result.error = e.reason;
        result.errorLine = line;
    } catch (const CEngineException& e) {
        result = CatalogueFailure(e);
    }
    if (!result.error.empty()) {
        try {
            db.Engine().Execute("ROLLBACK");
        } catch (const CEngineException&) {
            // Nothing was begun or it has ended already.
        }
        result.books = result.types = result.states = 0;
        return result;
    }
    result.ok = true;
    result.ignoredColumns = std::move(columns.ignored);
    return result;
}
