#include "barcode/ShelfCheck.h"

#include "barcode/BookCode.h"
#include "isbn/CBookDetailsStore.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CountedNoun.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <set>

namespace {

constexpr const char* kUnusable =
    "Tabelul shelf_check din catalog nu este al programului: inventarul nu poate fi facut.";
constexpr const char* kCannotRead = "Inventarul nu poate fi citit din catalog.";
constexpr const char* kCannotWrite = "Inventarul nu poate fi scris in catalog.";

OwnTableState InspectShelfCheckTable(CEngineDatabase& db, const std::string& schema) {
    return InspectOwnTable(db, schema, {"shelf_check", kCreateShelfCheckTable, nullptr, nullptr});
}

std::string Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string Where(const std::string& shelf) {
    return shelf.empty() ? std::string("toate locatiile") : shelf;
}

} // namespace

CShelfCheck::CShelfCheck(CBookDatabase& db, MessageSink sink)
    : OwnTableKeeper(db.Engine(), std::move(sink), InspectShelfCheckTable, kUnusable), m_db(db) {}

std::optional<std::string> CShelfCheck::Current() {
    std::optional<std::string> shelf;
    Guarded(kCannotRead, [&] {
        const std::optional<bool> has = HasTable();
        if (!has || !*has) {
            return false;
        }
        CEngineRecordset set(m_engine);
        set.Open("SELECT shelf FROM shelf_check LIMIT 1");
        if (set.GetRecordCount() > 0) {
            set.MoveFirst();
            shelf = set.GetText("shelf");
        }
        return true;
    });
    return shelf;
}

std::optional<std::vector<ShelfBook>> CShelfCheck::AllBooks() {
    std::map<std::int32_t, std::string> locations;
    CBookDetailsStore details(m_db, [this](const std::string& message) { Report(message); });
    if (!details.ReadIsbnsAndLocations(
            [&](std::int32_t id, std::string_view, std::string_view location) {
                locations[id] = std::string(location);
            })) {
        return std::nullopt;
    }
    std::vector<ShelfBook> books;
    if (!Guarded(kCannotRead, [&] {
            CEngineRecordset set(m_engine);
            set.Open("SELECT id, titlu, autor FROM books ORDER BY titlu, id");
            for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
                const std::int32_t id = set.GetLong("id");
                const auto at = locations.find(id);
                books.push_back({id, set.GetText("titlu"), set.GetText("autor"),
                                 at == locations.end() ? std::string() : at->second});
            }
            return true;
        })) {
        return std::nullopt;
    }
    return books;
}

ShelfScan CShelfCheck::Scan(const std::string& shelf, std::string_view code) {
    ShelfScan scan;
    const auto id = BookIdOfCode(code);
    if (!id) {
        return scan;
    }
    scan.book = *id;
    scan.kind = ShelfScan::Kind::Refused;
    Guarded(kCannotWrite, [&] {
        TransactionGuard transaction(m_engine, "BEGIN IMMEDIATE");
        const std::optional<bool> has = HasTable();
        if (!has) {
            return false;
        }
        scan.kind = ShelfScan::Kind::Unknown;
        CEngineRecordset book(m_engine);
        book.Open(FormatStatement("SELECT titlu FROM books WHERE id = %d", *id));
        if (book.GetRecordCount() == 0) {
            return false;
        }
        book.MoveFirst();
        scan.title = book.GetText("titlu");
        if (!*has) {
            m_engine.Execute(kCreateShelfCheckTable);
        }
        CEngineRecordset seen(m_engine);
        seen.Open(FormatStatement("SELECT book FROM shelf_check WHERE book = %d", *id));
        scan.kind = seen.GetRecordCount() > 0 ? ShelfScan::Kind::Again : ShelfScan::Kind::Ticked;
        if (scan.kind == ShelfScan::Kind::Ticked) {
            m_engine.Execute(FormatStatement(
                "INSERT INTO shelf_check(book, shelf, scanned) VALUES(%d, '%s', '%s')", *id, shelf,
                Now()));
        }
        transaction.Commit();
        return true;
    });
    if (scan.kind == ShelfScan::Kind::Ticked || scan.kind == ShelfScan::Kind::Again) {
        if (const auto details =
                CBookDetailsStore(m_db, [this](const std::string& m) { Report(m); }).Read(*id)) {
            scan.location = details->locatie;
        }
    }
    return scan;
}

std::optional<std::vector<std::int32_t>> CShelfCheck::Scanned() {
    std::vector<std::int32_t> books;
    const bool read = Guarded(kCannotRead, [&] {
        const std::optional<bool> has = HasTable();
        if (!has) {
            return false;
        }
        if (*has) {
            CEngineRecordset set(m_engine);
            set.Open("SELECT book FROM shelf_check ORDER BY book");
            for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
                books.push_back(set.GetLong("book"));
            }
        }
        return true;
    });
    if (!read) {
        return std::nullopt;
    }
    return books;
}

std::optional<std::vector<ShelfBook>> CShelfCheck::BooksOn(const std::string& shelf) {
    auto books = AllBooks();
    if (books && !shelf.empty()) {
        std::erase_if(*books, [&shelf](const ShelfBook& book) { return book.location != shelf; });
    }
    return books;
}

std::optional<ShelfReport> CShelfCheck::Report(const std::string& shelf) {
    const auto scanned = Scanned();
    const auto books = scanned ? AllBooks() : std::nullopt;
    if (!books) {
        return std::nullopt;
    }
    const std::set<std::int32_t> counted(scanned->begin(), scanned->end());
    ShelfReport report;
    report.shelf = shelf;
    for (const ShelfBook& book : *books) {
        const bool seen = counted.contains(book.id);
        report.scanned += seen ? 1 : 0;
        if (!seen && (shelf.empty() || book.location == shelf)) {
            report.missing.push_back(book);
        } else if (seen && !shelf.empty() && book.location != shelf) {
            report.elsewhere.push_back(book);
        }
    }
    return report;
}

bool CShelfCheck::Finish() {
    return Guarded(kCannotWrite, [&] {
        const std::optional<bool> has = HasTable();
        if (has && *has) {
            m_engine.Execute("DELETE FROM shelf_check");
        }
        return has.has_value();
    });
}

std::string ShelfReportText(const ShelfReport& report) {
    std::string text = "Inventar: " + Where(report.shelf) + "\n" +
                       "Scanate: " + CountedNoun(report.scanned, "carte", "carti") +
                       "; lipsa: " + std::to_string(report.missing.size()) +
                       "; in alt loc: " + std::to_string(report.elsewhere.size()) + "\n\n";
    const auto line = [&text](const ShelfBook& book, const std::string& what) {
        text += BookCodeOf(book.id) + "  " + book.title +
                (book.author.empty() ? std::string() : " - " + book.author) + ": " + what + "\n";
    };
    for (const ShelfBook& book : report.missing) {
        line(book, "lipsa");
    }
    for (const ShelfBook& book : report.elsewhere) {
        line(book, "in alt loc: " +
                       (book.location.empty() ? std::string("fara locatie") : book.location));
    }
    return text;
}
