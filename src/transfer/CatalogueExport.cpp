#include "transfer/CatalogueExport.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CatalogueMessages.h"
#include "store/LookupList.h"
#include "transfer/Csv.h"
#include "view/BookRowTable.h"

namespace {

bool ReadEveryBook(CBookDatabase& db, std::string& csv) {
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
    std::vector<std::string> fields;
    for (const BookListColumn& c : BookListColumns()) {
        fields.emplace_back(c.header);
    }
    csv = CsvRecord(fields);
    try {
        const BookRowTable rows = BookRowTable::FromRecordset(*set, types, states);
        for (int r = 0; r < rows.RowCount(); ++r) {
            for (int c = 0; c < kBookColumnCount; ++c) {
                fields[static_cast<std::size_t>(c)] = std::string(rows.Text(r, c));
            }
            csv += CsvRecord(fields);
        }
    } catch (const CEngineException&) {
        return false; // the books table lacks the book columns
    }
    return true;
}

} // namespace

bool ExportCsv(CBookDatabase& db, std::string& csv) {
    // One read transaction: types, states and books are read as one moment of the catalogue,
    // however another program writes it meanwhile.
    if (!db.ExecuteStatement("BEGIN", msg::kCannotSelect)) {
        return false;
    }
    const bool read = ReadEveryBook(db, csv);
    return db.ExecuteStatement("COMMIT", msg::kCannotSelect) && read;
}
