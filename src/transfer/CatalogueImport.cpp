#include "transfer/CatalogueImport.h"

#include "store/BookFieldChecks.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CEngineStatement.h"
#include "store/FixedNames.h"
#include "store/LookupList.h"
#include "store/TransactionGuard.h"
#include "transfer/Csv.h"
#include "view/QuickFilter.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>
#include <unordered_set>
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

// Each known header and the field it gives, in the order they are listed to the user.
constexpr std::pair<const char*, Field> kHeaders[] = {
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

// Columns left out on purpose: the identifier of the program's own export, and the line and
// reason of a rejects file.
constexpr const char* kLeftOut[] = {"ID", "Linie", "Motiv"};

std::optional<Field> KnownField(const std::string& header) {
    for (const auto& [name, field] : kHeaders) {
        if (header == name) {
            return field;
        }
    }
    return std::nullopt;
}

std::string KnownHeaders() {
    std::string list;
    for (const auto& [name, field] : kHeaders) {
        list += (list.empty() ? "\"" : ", \"") + std::string(name) + "\"";
    }
    return list;
}

// A failure of one row: the reason, reported with the row's line.
struct RowError {
    std::string reason;
};

// A whole number, also when written with a zero fraction ("2008.0", "320.00"), as spreadsheets
// and reading sites write them.
int Integer(const std::string& text, const char* header, int fallback) {
    if (text.empty()) {
        return fallback;
    }
    std::string_view whole = text;
    const std::size_t point = whole.find('.');
    if (point != std::string_view::npos && point + 1 < whole.size() &&
        whole.find_first_not_of('0', point + 1) == std::string_view::npos) {
        whole = whole.substr(0, point);
    }
    long long v = 0;
    const auto r = std::from_chars(whole.data(), whole.data() + whole.size(), v);
    if (whole.empty() || r.ec != std::errc() || r.ptr != whole.data() + whole.size()) {
        throw RowError{std::string(header) + " is not an integer: \"" + text + "\""};
    }
    if (v < kSmallestNumber || v > kLargestNumber) {
        throw RowError{std::string(header) + " is out of range (" +
                       std::to_string(kSmallestNumber) + " to " + std::to_string(kLargestNumber) +
                       "): " + text};
    }
    return static_cast<int>(v);
}

std::string Text(const std::string& text, const char* header) {
    if (!FitsTextColumn(text)) {
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
    const int n = Integer(stars, "My Rating", 0);
    if (n < 0 || n > 5) {
        throw RowError{"My Rating is out of range (0 to 5): " + stars};
    }
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
        const std::optional<Field> field = KnownField(h);
        columns.fields.push_back(field);
        if (!field) {
            if (std::find(std::begin(kLeftOut), std::end(kLeftOut), h) == std::end(kLeftOut)) {
                columns.ignored.push_back(h);
            }
            continue;
        }
        const auto [earlier, first] = seen.emplace(*field, h);
        if (!first) {
            throw RowError{"the header names one column twice: \"" + earlier->second + "\" and \"" +
                           h + "\""};
        }
    }
    if (seen.empty()) {
        throw RowError{"no known column in the header; the known columns are " + KnownHeaders()};
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
    b.fields.pagini = Integer(get(Field::Pagini), "Pagini", 1);
    b.fields.capitole = Integer(get(Field::Capitole), "Capitole", 1);
    b.fields.volume = Integer(get(Field::Volume), "Volume", 1);
    b.publicare = Integer(get(Field::Publicare), "An aparitie", 1);
    b.fields.publicareVolum = Integer(get(Field::PublicareVolum), "An publicare volum", 1);
    const std::string& type = get(Field::Tip);
    const std::string& state = get(Field::Stare);
    b.type = Text(type.empty() ? "Alte" : type, "Tip");
    b.state = Text(state.empty() ? "Nedetinuta" : state, "Stare");
    if (const char* refused = FirstFailedFieldCheck(b.fields)) {
        throw RowError{refused};
    }
    return b;
}

// Title and author as the quick filter compares them: case and accents do not matter.
std::string DuplicateKey(const std::string& titlu, const std::string& autor) {
    return FoldForFilter(titlu) + '\x1f' + FoldForFilter(autor);
}

std::unordered_set<std::string> StoredBookKeys(CBookDatabase& db) {
    CEngineRecordset set(db.Engine());
    set.Open("SELECT titlu, autor FROM books");
    std::unordered_set<std::string> keys;
    keys.reserve(static_cast<std::size_t>(set.GetRecordCount()));
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        keys.insert(DuplicateKey(set.GetText(0), set.GetText(1)));
    }
    return keys;
}

// One import: the prepared statements and lookups live as long as its transaction.
class Importer {
public:
    Importer(CBookDatabase& db, const Columns& columns, const ImportOptions& options,
             ImportResult& result)
        : m_columns(columns), m_options(options), m_result(result), m_types(db, LookupKind::Types),
          m_states(db, LookupKind::States),
          m_insert(db.Engine(), "INSERT INTO books(titlu,autor,editura,tip,pagini,capitole,volume,"
                                "publicare,publicare_volum,citita,calificativ,stare) "
                                "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
          m_stored(StoredBookKeys(db)) {}

    // Stores the row, or sets it aside with the reason; a RowError when the import must stop.
    // A duplicate skipped is set aside whatever the options, since it is no fault of the row.
    void Take(CsvReader::Record& record) {
        try {
            if (!Store(record.fields)) {
                SetAside(record, kAlreadyInCatalogue);
            }
        } catch (const RowError& e) {
            if (!m_options.setAsideRejects) {
                throw;
            }
            SetAside(record, e.reason);
        }
    }

private:
    void SetAside(CsvReader::Record& record, std::string reason) {
        m_result.rejects.push_back({record.line, std::move(reason), std::move(record.fields)});
    }

    // False for a duplicate skipped.
    bool Store(std::vector<std::string>& cells) {
        if (cells.size() != m_columns.fields.size()) {
            const std::size_t n = cells.size();
            throw RowError{"the row has " + std::to_string(n) + (n == 1 ? " cell" : " cells") +
                           ", the header " + std::to_string(m_columns.fields.size())};
        }
        std::vector<const std::string*> value(static_cast<std::size_t>(Field::Count), nullptr);
        for (std::size_t i = 0; i < m_columns.fields.size(); ++i) {
            if (m_columns.fields[i]) {
                value[static_cast<std::size_t>(*m_columns.fields[i])] = &cells[i];
            }
        }
        const Book book = ReadBook(value);
        if (!m_stored.empty() &&
            m_stored.count(DuplicateKey(book.fields.titlu, book.fields.autor))) {
            ++m_result.duplicates;
            if (m_options.skipDuplicates) {
                return false;
            }
        }
        const int type = m_types.IdOf(book.type, m_result.types);
        const int state = m_states.IdOf(book.state, m_result.states);
        if (state > 256) {
            throw RowError{"a book can carry only the first 256 states"};
        }
        m_insert.Bind(1, book.fields.titlu);
        m_insert.Bind(2, book.fields.autor);
        m_insert.Bind(3, book.fields.editura);
        m_insert.Bind(4, type - 1);
        m_insert.Bind(5, book.fields.pagini);
        m_insert.Bind(6, book.fields.capitole);
        m_insert.Bind(7, book.fields.volume);
        m_insert.Bind(8, book.publicare);
        m_insert.Bind(9, book.fields.publicareVolum);
        m_insert.Bind(10, book.read ? 1 : 0);
        m_insert.Bind(11, book.rating);
        m_insert.Bind(12, state - 1);
        RunForRow(m_insert, "the catalogue refused the book");
        ++m_result.books;
        return true;
    }

    const Columns& m_columns;
    const ImportOptions& m_options;
    ImportResult& m_result;
    LookupIds m_types;
    LookupIds m_states;
    // Prepared once: a hundred thousand rows are not parsed a hundred thousand times.
    CEngineStatement m_insert;
    const std::unordered_set<std::string> m_stored;
};

// How often the progress is told, in rows.
constexpr std::size_t kProgressRows = 256;

// Nothing is kept of a failed or cancelled import.
ImportResult Abandoned(ImportResult result) {
    result.ok = false;
    result.books = result.types = result.states = result.duplicates = 0;
    result.rejects.clear();
    return result;
}

} // namespace

ImportResult ImportCsv(std::string_view csv, CBookDatabase& db, const ImportOptions& options) {
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
    result.header = header->fields;
    std::size_t line = header->line;
    try {
        // Taken at once, so that another writer is met before any row is read.
        TransactionGuard transaction(db.Engine(), "BEGIN IMMEDIATE");
        Importer importer(db, columns, options, result);
        std::size_t rows = 0;
        while (auto record = reader.Next()) {
            line = record->line;
            if (options.progress && ++rows % kProgressRows == 0 &&
                !options.progress(reader.Position(), csv.size())) {
                result.cancelled = true;
                return Abandoned(std::move(result));
            }
            importer.Take(*record);
        }
        if (!reader.Error().empty()) {
            line = reader.ErrorLine();
            throw RowError{reader.Error()};
        }
        transaction.Commit();
    } catch (const RowError& e) {
        result.error = e.reason;
        result.errorLine = line;
        return Abandoned(std::move(result));
    } catch (const CEngineException& e) {
        result.error = e.Reason();
        result.errorLine = 0;
        result.catalogueFailed = true;
        return Abandoned(std::move(result));
    }
    result.ok = true;
    result.ignoredColumns = std::move(columns.ignored);
    return result;
}

std::string RejectsCsv(const ImportResult& result) {
    // A record of the rejects file; the line and reason of an earlier rejects file give way to
    // the new ones.
    auto record = [&](std::string line, std::string reason, const std::vector<std::string>& cells) {
        std::vector<std::string> fields{std::move(line), std::move(reason)};
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i >= result.header.size() ||
                (result.header[i] != kLeftOut[1] && result.header[i] != kLeftOut[2])) {
                fields.push_back(cells[i]);
            }
        }
        return CsvRecord(fields);
    };
    std::string csv = record(kLeftOut[1], kLeftOut[2], result.header);
    for (const RejectedRow& row : result.rejects) {
        csv += record(std::to_string(row.line), row.reason, row.cells);
    }
    return csv;
}
