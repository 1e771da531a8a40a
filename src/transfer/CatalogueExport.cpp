#include "transfer/CatalogueExport.h"

#include "isbn/CBookDetailsStore.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CatalogueMessages.h"
#include "store/LookupList.h"
#include "transfer/Csv.h"
#include "view/BookRowTable.h"

#include <algorithm>

namespace {

constexpr int kProgressRows = 4096;

// The details' columns, as the import reads them back.
constexpr const char* kDetailsHeaders[] = {"ISBN", "Locatie", "Serie", "Numar in serie", "Note"};

// A whole number, perhaps negative: no spreadsheet runs it.
bool IsPlainNumber(const std::string& cell) {
    const std::size_t digits = cell.rfind('-', 0) == 0 ? 1 : 0;
    return cell.size() > digits &&
           cell.find_first_not_of("0123456789", digits) == std::string::npos;
}

bool ReadEveryBook(CBookDatabase& db, std::string& csv, const ExportOptions& options) {
    LookupList types;
    LookupList states;
    if (!ReloadLookupList(db, LookupKind::Types, kReloadTypesStatement, types) ||
        !ReloadLookupList(db, LookupKind::States, kReloadStatesStatement, states)) {
        return false;
    }
    auto set = db.SelectAllBooks();
    if (!set) {
        return false;
    }
    // Details, when the catalogue keeps any, follow the list's columns; without them the file is
    // what it always was.
    const auto details = CBookDetailsStore(db, db.Sink()).ReadAll();
    if (!details) {
        return false;
    }
    std::vector<std::string> fields;
    for (const BookListColumn& c : BookListColumns()) {
        fields.emplace_back(c.header);
    }
    if (!details->empty()) {
        fields.insert(fields.end(), std::begin(kDetailsHeaders), std::end(kDetailsHeaders));
    }
    csv = CsvRecord(fields);
    try {
        const BookRowTable rows = BookRowTable::FromRecordset(*set, types, states);
        const auto total = static_cast<std::size_t>(rows.RowCount());
        for (int r = 0; r < rows.RowCount(); ++r) {
            if (options.progress && r % kProgressRows == 0 &&
                !options.progress(static_cast<std::size_t>(r), total)) {
                return false;
            }
            const auto id = static_cast<std::int32_t>(LeadingInteger(rows.Text(r, 0)));
            if (!options.onlyBooks.empty() && !std::ranges::binary_search(options.onlyBooks, id)) {
                continue;
            }
            if (!details->empty()) {
                const auto found = details->find(id);
                const BookDetails& d = found == details->end() ? BookDetails() : found->second;
                const std::string cells[] = {d.isbn, d.locatie, d.serie, NumberText(d.numar_serie),
                                             d.note};
                std::copy(std::begin(cells), std::end(cells), fields.begin() + kBookColumnCount);
            }
            for (std::size_t c = 0; c < fields.size(); ++c) {
                const bool listed = c < static_cast<std::size_t>(kBookColumnCount);
                std::string cell =
                    listed ? std::string(rows.Text(r, static_cast<int>(c))) : std::move(fields[c]);
                fields[c] = options.safeCells ? SafeCell(std::move(cell)) : std::move(cell);
            }
            csv += CsvRecord(fields);
        }
    } catch (const CEngineException&) {
        return false; // the books table lacks the book columns
    }
    return true;
}

} // namespace

std::string SafeCell(std::string cell) {
    if (cell.empty() || cell == "-" || cell.find_first_of("=+-@") != 0 || IsPlainNumber(cell)) {
        return cell;
    }
    return "'" + cell;
}

bool ExportCsv(CBookDatabase& db, std::string& csv, const ExportOptions& options) {
    // One read transaction: types, states and books are read as one moment of the catalogue,
    // however another program writes it meanwhile.
    if (!db.ExecuteStatement("BEGIN", msg::kCannotSelect)) {
        return false;
    }
    const bool read = ReadEveryBook(db, csv, options);
    return db.ExecuteStatement("COMMIT", msg::kCannotSelect) && read;
}
