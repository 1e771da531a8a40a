#include "transfer/CatalogueImport.h"

#include "isbn/CBookDetailsStore.h"
#include "isbn/IsbnCode.h"
#include "store/BookFieldChecks.h"
#include "store/BookRecord.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CEngineStatement.h"
#include "store/CountedNoun.h"
#include "store/FixedNames.h"
#include "store/LookupList.h"
#include "store/TransactionGuard.h"
#include "transfer/Csv.h"
#include "transfer/ImportColumns.h"
#include "transfer/TextEncoding.h"
#include "view/SameBook.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <map>
#include <optional>
#include <stdexcept>
#include <unordered_set>
#include <vector>

namespace {

using Field = ImportField;

// The columns listed to the user when a header names none: one name each, in the offered order.
std::string KnownHeaders() {
    std::string list;
    for (const ImportField field : ImportFieldChoices()) {
        if (field != ImportField::None) {
            list += (list.empty() ? "\"" : ", \"") + ImportFieldName(field) + "\"";
        }
    }
    return list;
}

// A failure of one row: the reason, reported with the row's line.
struct RowError {
    std::string reason;
};

// A whole number, also when written with a zero fraction ("2008.0", "320.00"), as spreadsheets
// and reading sites write them; an empty cell is a number the file does not know.
int Integer(const std::string& text, const char* header) {
    if (text.empty()) {
        return kUnknownNumber;
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
        throw RowError{std::string(header) + " nu este un numar intreg: \"" + text + "\""};
    }
    if (v < kSmallestNumber || v > kLargestNumber) {
        throw RowError{std::string(header) + " este in afara intervalului " +
                       std::to_string(kSmallestNumber) + " .. " + std::to_string(kLargestNumber) +
                       ": " + text};
    }
    return static_cast<int>(v);
}

// A count of pages, chapters or volumes, or the year of a volume: none is ever 0, so a 0 is a
// number the file does not know, as reading sites write it.
int Count(const std::string& text, const char* header) {
    const int n = Integer(text, header);
    return n == 0 ? kUnknownNumber : n;
}

// A year, also the year of a date ("9/16/2006", "16.09.2006", "2006-09-16") as sites and
// spreadsheets write an edition's date.
int Year(const std::string& text, const char* header) {
    const auto dots = std::count(text.begin(), text.end(), '.');
    if (text.find('/') != std::string::npos || dots == 2) {
        return Integer(text.substr(text.find_last_of("/.") + 1), header);
    }
    if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
        return Integer(text.substr(0, 4), header);
    }
    return Integer(text, header);
}

// The day a book was added, as the catalogue keeps it ("2024-03-15"): written as an ISO date, as
// a reading site writes it ("2024/03/15") or as a Romanian spreadsheet does ("15.03.2024").
std::string AddedDate(const std::string& text) {
    const std::size_t first = text.find_first_of("-/.");
    const std::size_t second =
        first == std::string::npos ? first : text.find(text[first], first + 1);
    auto part = [&](std::size_t from, std::size_t to) {
        const std::string_view digits = std::string_view(text).substr(from, to - from);
        unsigned n = 0;
        const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        return r.ec == std::errc() && r.ptr == digits.data() + digits.size() && digits.size() <= 4
                   ? n
                   : 0u;
    };
    unsigned parts[3] = {};
    if (second != std::string::npos) {
        parts[0] = part(0, first);
        parts[1] = part(first + 1, second);
        parts[2] = part(second + 1, text.size());
        if (text[first] == '.') {
            std::swap(parts[0], parts[2]);
        }
    }
    using namespace std::chrono;
    const year_month_day date{year(static_cast<int>(parts[0])), month(parts[1]), day(parts[2])};
    if (parts[0] < 1000 || !date.ok()) {
        throw RowError{"Adaugata nu este o data: \"" + text + "\""};
    }
    char iso[40]; // room for any three numbers, though a real date takes ten
    std::snprintf(iso, sizeof iso, "%04u-%02u-%02u", parts[0], parts[1], parts[2]);
    return iso;
}

// The local day of the import, on which every book it stores without a date of its own is added.
std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char iso[16];
    std::strftime(iso, sizeof iso, "%Y-%m-%d", &local);
    return iso;
}

const std::string& Text(const std::string& text, const char* header) {
    if (!FitsTextColumn(text)) {
        throw RowError{std::string(header) + " are mai mult de 255 de caractere"};
    }
    return text;
}

// Stars of a reading site: 5 is the best name, 1 the fifth; a read book not rated takes the
// middle one.
int RatingOfStars(const std::string& stars, bool read) {
    if (!read) {
        return kRatingToRead;
    }
    const int n = stars.empty() ? 0 : Integer(stars, "My Rating");
    if (n < 0 || n > 5) {
        throw RowError{"My Rating este in afara intervalului 0 .. 5: " + stars};
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
        RunForRow(m_insert, "numele \"" + name + "\" nu poate fi pastrat");
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
    std::vector<ImportField> fields;
    std::vector<std::string> ignored;
};

Columns ReadHeader(const std::vector<std::string>& header, const ImportOptions& options) {
    Columns columns;
    columns.fields = options.columns.empty() ? GuessImportColumns(header) : options.columns;
    if (columns.fields.size() != header.size()) {
        throw RowError{"antetul are " +
                       CountedNoun(static_cast<long long>(header.size()), "coloana", "coloane") +
                       ", alegerea " + std::to_string(columns.fields.size())};
    }
    std::map<Field, std::string> seen;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const ImportField field = columns.fields[i];
        if (field == ImportField::None) {
            if (!IsLeftOutColumn(header[i])) {
                columns.ignored.push_back(header[i]);
            }
            continue;
        }
        const auto [earlier, first] = seen.emplace(field, header[i]);
        if (!first) {
            throw RowError{"antetul numeste o coloana de doua ori: \"" + earlier->second +
                           "\" si \"" + header[i] + "\""};
        }
    }
    if (seen.empty()) {
        throw RowError{"nicio coloana cunoscuta in antet; coloanele cunoscute sunt " +
                       KnownHeaders()};
    }
    return columns;
}

// An ISBN cell's text: reading sites write it as a formula, `="0451450523"`, so that a
// spreadsheet keeps it as text, and an empty one as `=""`.
std::string IsbnCellText(const std::string& cell) {
    if (cell.rfind("=\"", 0) == 0 && cell.size() >= 3 && cell.back() == '"') {
        return cell.substr(2, cell.size() - 3);
    }
    return cell;
}

// An ISBN cell as reading sites and spreadsheets write it (see IsbnCellText), or a number that
// lost its leading zeros. Empty when it is no ISBN.
std::string IsbnOfCell(const std::string& written) {
    std::string cell = IsbnCellText(written);
    if (!cell.empty() && cell.size() < 10 &&
        cell.find_first_not_of("0123456789") == std::string::npos) {
        cell.insert(0, 10 - cell.size(), '0');
    }
    const IsbnCheck check = CheckIsbn(cell);
    return check.problem == IsbnProblem::None ? check.isbn13 : std::string();
}

// One row's values as they go into the catalogue, read and checked as the book dialog does.
struct Book {
    BookFieldValues fields;
    int publicare = kUnknownNumber;
    bool read = false;
    int rating = kRatingToRead;
    std::string type;
    std::string state;
    BookDetails details;
    // An ISBN was given but none of its cells is one (a number a spreadsheet rounded).
    bool isbnLeftOut = false;
};

Book ReadBook(const std::vector<const std::string*>& value, const ImportOptions& options) {
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
            throw RowError{"Citita trebuie sa fie \"Da\" sau \"Nu\": \"" + get(Field::Citita) +
                           "\""};
        }
        b.read = index == 1;
    } else if (has(Field::Shelf)) {
        b.read = get(Field::Shelf) == "read";
    }
    b.rating = b.read ? 0 : kRatingToRead;
    if (has(Field::Calificativ)) {
        b.rating = FindRatingIndex(get(Field::Calificativ));
        if (b.rating < 0) {
            throw RowError{"Calificativ necunoscut: \"" + get(Field::Calificativ) + "\""};
        }
    } else if (has(Field::Stars) || has(Field::Shelf)) {
        b.rating = RatingOfStars(get(Field::Stars), b.read);
    }
    if (const char* contradiction = CheckRatingAgainstRead(
            g_readNames[b.read ? 1 : 0], g_ratingNames[static_cast<std::size_t>(b.rating)])) {
        throw RowError{contradiction};
    }
    // Nothing is invented: a text the file lacks stays empty (a title is required), a number
    // unknown.
    b.fields.titlu = Text(get(Field::Titlu), "Titlu");
    b.fields.autor = Text(get(Field::Autor), "Autor");
    b.fields.editura = Text(get(Field::Editura), "Editura");
    b.fields.autorMayBeEmpty = b.fields.edituraMayBeEmpty = true;
    b.fields.pagini = Count(get(Field::Pagini), "Pagini");
    b.fields.capitole = Count(get(Field::Capitole), "Capitole");
    b.fields.volume = Count(get(Field::Volume), "Volume");
    b.publicare = Year(get(Field::Publicare), "An aparitie");
    const int volumeYear = Year(get(Field::PublicareVolum), "An publicare volum");
    b.fields.publicareVolum = volumeYear == 0 ? kUnknownNumber : volumeYear;
    // The ISBN-13 where it is one, else the other ISBN column.
    for (const Field f : {Field::Isbn13, Field::Isbn}) {
        if (b.details.isbn.empty()) {
            b.details.isbn = IsbnOfCell(get(f));
        }
    }
    b.isbnLeftOut = b.details.isbn.empty() && (!IsbnCellText(get(Field::Isbn13)).empty() ||
                                               !IsbnCellText(get(Field::Isbn)).empty());
    b.details.locatie = Text(get(Field::Locatie), "Locatie");
    b.details.serie = Text(get(Field::Serie), "Serie");
    b.details.numar_serie = Integer(get(Field::NumarSerie), "Numar in serie");
    b.details.note = Text(get(Field::Note), "Note");
    if (const std::string& added = get(Field::Adaugata); !added.empty()) {
        b.details.adaugata = AddedDate(added);
    }
    const std::string& type = get(Field::Tip);
    const std::string& state = get(Field::Stare);
    b.type = Text(type.empty() ? options.defaultType : type, "Tip");
    if (b.type.empty()) {
        throw RowError{"cartea nu are tip, iar pentru cartile fara tip nu s-a ales unul"};
    }
    b.state = Text(state.empty() ? options.defaultState : state, "Stare");
    if (const char* refused = FirstFailedFieldCheck(b.fields)) {
        throw RowError{refused};
    }
    return b;
}

// One import: the prepared statements and lookups live as long as its transaction.
class Importer {
public:
    Importer(CBookDatabase& db, const Columns& columns, const ImportOptions& options,
             ImportResult& result)
        : m_db(db), m_columns(columns), m_options(options), m_result(result),
          m_details(db, [this](const std::string& refusal) { m_detailsRefusal = refusal; }),
          m_types(db, LookupKind::Types), m_states(db, LookupKind::States),
          m_insert(db.Engine(), "INSERT INTO books(titlu,autor,editura,tip,pagini,capitole,volume,"
                                "publicare,publicare_volum,citita,calificativ,stare) "
                                "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
          m_stored(StoredBookKeys(db)) {}

    // Stores the row, or sets it aside with the reason; a RowError when the import must stop.
    // A duplicate skipped is set aside whatever the options, since it is no fault of the row.
    void Take(CsvReader::Record& record) {
        // A blank line, or a row of empty cells as spreadsheets leave below a table, holds no book.
        if (std::all_of(record.fields.begin(), record.fields.end(),
                        [](const std::string& cell) { return cell.empty(); })) {
            return;
        }
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
            throw RowError{"randul are " +
                           CountedNoun(static_cast<long long>(n), "celula", "celule") +
                           ", antetul " + std::to_string(m_columns.fields.size())};
        }
        std::vector<const std::string*> value(ImportFieldChoices().size() + 1, nullptr);
        for (std::size_t i = 0; i < m_columns.fields.size(); ++i) {
            if (m_columns.fields[i] != ImportField::None) {
                value[static_cast<std::size_t>(m_columns.fields[i])] = &cells[i];
            }
        }
        Book book = ReadBook(value, m_options);
        if (!m_stored.empty() &&
            m_stored.count(SameBookKey(book.fields.titlu, book.fields.autor))) {
            ++m_result.duplicates;
            if (m_options.skipDuplicates) {
                return false;
            }
        }
        const int type = m_types.IdOf(book.type, m_result.types);
        const int state = m_states.IdOf(book.state, m_result.states);
        if (state > 256) {
            throw RowError{"o carte poate avea doar una din primele 256 de stari"};
        }
        m_insert.Bind(1, book.fields.titlu);
        m_insert.Bind(2, book.fields.autor);
        m_insert.Bind(3, book.fields.editura);
        m_insert.Bind(4, type - 1);
        m_insert.BindNumber(5, book.fields.pagini);
        m_insert.BindNumber(6, book.fields.capitole);
        m_insert.BindNumber(7, book.fields.volume);
        m_insert.BindNumber(8, book.publicare);
        m_insert.BindNumber(9, book.fields.publicareVolum);
        m_insert.Bind(10, book.read ? 1 : 0);
        m_insert.Bind(11, book.rating);
        m_insert.Bind(12, state - 1);
        RunForRow(m_insert, "catalogul a refuzat cartea");
        // As for a book added by hand, the date is kept with the details (the import's day
        // unless the file says when the book was added): a book without details has none.
        if (!book.details.IsEmpty()) {
            if (book.details.adaugata.empty()) {
                book.details.adaugata = m_today;
            }
            if (!m_details.WriteWithin(m_db.GetLastInsertedId(), book.details)) {
                throw RowError{m_detailsRefusal};
            }
        }
        m_result.isbnsLeftOut += book.isbnLeftOut ? 1 : 0;
        ++m_result.books;
        return true;
    }

    CBookDatabase& m_db;
    const Columns& m_columns;
    const ImportOptions& m_options;
    ImportResult& m_result;
    CBookDetailsStore m_details;
    std::string m_detailsRefusal;
    LookupIds m_types;
    LookupIds m_states;
    // Prepared once: a hundred thousand rows are not parsed a hundred thousand times.
    CEngineStatement m_insert;
    const std::unordered_set<std::string> m_stored;
    const std::string m_today = Today();
};

// The columns a rejects file adds before the file's own.
constexpr const char* kLineColumn = "Linie";
constexpr const char* kReasonColumn = "Motiv";

// How often the progress is told, in rows.
constexpr std::size_t kProgressRows = 256;

// A copy of the reader that has read every record after its position: its error is the first
// fault of the rest of the text, if any.
CsvReader ReadThrough(CsvReader reader) {
    while (reader.Next()) {
    }
    return reader;
}

// Nothing is kept of a failed or cancelled import.
ImportResult Abandoned(ImportResult result) {
    result.ok = false;
    result.books = result.types = result.states = result.duplicates = result.isbnsLeftOut = 0;
    result.rejects.clear();
    return result;
}

} // namespace

ImportResult ImportCsv(std::string_view bytes, CBookDatabase& db, const ImportOptions& options) {
    ImportResult result;
    const TextEncoding encoding = EncodingOf(bytes, options.encoding);
    result.encoding = encoding;
    result.byteOrderMark =
        !ByteOrderMark(encoding).empty() && bytes.starts_with(ByteOrderMark(encoding));
    Utf8Text converted;
    try {
        // UTF-8 is read where it lies: a large file is not held twice.
        if (encoding != TextEncoding::Utf8) {
            converted = ToUtf8(bytes, encoding);
        }
    } catch (const std::exception& e) {
        result.error = e.what();
        return result;
    }
    if (!converted.fault.empty()) {
        result.error = converted.fault;
        result.errorLine = converted.faultLine;
        return result;
    }
    const std::string_view csv = encoding == TextEncoding::Utf8 ? bytes : converted.text;
    result.delimiter = options.delimiter != 0 ? options.delimiter : GuessCsvDelimiter(csv);
    CsvReader reader(csv, result.delimiter);
    const auto header = reader.Next();
    if (!header) {
        result.error = reader.Error().empty() ? "fisierul este gol" : reader.Error();
        result.errorLine = reader.ErrorLine();
        return result;
    }
    Columns columns;
    try {
        columns = ReadHeader(header->fields, options);
    } catch (const RowError& e) {
        result.error = e.reason;
        result.errorLine = header->line;
        return result;
    }
    // Text that cannot be read (a broken quote, a cell or a row too large) is refused before the
    // catalogue is touched.
    if (const CsvReader rest = ReadThrough(reader); !rest.Error().empty()) {
        result.error = rest.Error();
        result.errorLine = rest.ErrorLine();
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
                (result.header[i] != kLineColumn && result.header[i] != kReasonColumn)) {
                fields.push_back(cells[i]);
            }
        }
        return CsvRecord(fields, result.delimiter);
    };
    std::string csv = record(kLineColumn, kReasonColumn, result.header);
    for (const RejectedRow& row : result.rejects) {
        csv += record(std::to_string(row.line), row.reason, row.cells);
    }
    try {
        const std::string_view mark = result.byteOrderMark ? ByteOrderMark(result.encoding) : "";
        return std::string(mark) + FromUtf8Text(csv, result.encoding);
    } catch (const std::runtime_error&) {
        return csv; // over a gigabyte, too large to convert: as read, rather than not at all
    }
}
