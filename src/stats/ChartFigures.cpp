#include "stats/ChartFigures.h"

#include "store/BookRecord.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/DetailsSchema.h"
#include "store/LoanSchema.h"
#include "store/LookupList.h"
#include "store/StatementFormat.h"

#include <array>
#include <cstdio>

namespace {

constexpr const char* kAllBooks = "SELECT * FROM books";
// A bar's books are the listing's narrowed by a condition, so that a header click still sorts
// them as any listing.
constexpr const char* kNarrowedPrefix = "SELECT * FROM (";
constexpr int kTopNames = 20;
// The most months without books drawn between two with books.
constexpr int kLongestGap = 120;

std::string Narrowed(const std::string& listing, const std::string& condition) {
    return kNarrowedPrefix + listing + ") WHERE " + condition;
}

// `column = value`, or IS NULL for a missing one: the bar's books are exactly the group's.
std::string Equals(const char* column, const CEngineRecordset& set, int field) {
    if (set.IsNull(field)) {
        return std::string(column) + " IS NULL";
    }
    if (set.HoldsInteger(field)) {
        return std::string(column) + FormatStatement(" = %d", set.GetInteger(field));
    }
    return std::string(column) + FormatStatement(" = '%s'", set.GetText(field));
}

using Rows = std::vector<ChartBar>;

// Runs a grouped statement whose rows are a group (field 0) and its count "n".
template <class Each> bool Grouped(CBookDatabase& db, const std::string& statement, Each each) {
    auto set = db.OpenQuery(statement);
    if (!set) {
        return false;
    }
    const int n = set->FieldIndex("n");
    for (set->MoveFirst(); !set->IsEOF(); set->MoveNext()) {
        each(*set, set->GetInteger(n));
    }
    return true;
}

std::optional<std::int64_t> Count(CBookDatabase& db, const std::string& statement) {
    auto set = db.OpenQuery(statement);
    if (!set || set->GetRecordCount() <= 0) {
        return std::nullopt;
    }
    set->MoveFirst();
    return set->GetInteger(0);
}

std::optional<Rows> Decades(CBookDatabase& db, const std::string& listing) {
    Rows rows;
    // A decade of a year before Christ begins below it too: -505 is in -510 to -501.
    const std::string statement = "SELECT publicare - ((publicare % 10 + 10) % 10) AS decada, "
                                  "count(*) AS n FROM (" +
                                  listing +
                                  ") WHERE publicare IS NOT NULL GROUP BY decada ORDER BY decada";
    const bool read = Grouped(db, statement, [&](const CEngineRecordset& set, std::int64_t n) {
        const std::int64_t decade = set.GetInteger(0);
        rows.push_back({std::to_string(decade), n,
                        Narrowed(listing, FormatStatement("publicare BETWEEN %d AND %d", decade,
                                                          decade + 9))});
    });
    const auto unknown =
        read ? Count(db, "SELECT count(*) FROM (" + listing + ") WHERE publicare IS NULL")
             : std::nullopt;
    if (!unknown) {
        return std::nullopt;
    }
    if (*unknown > 0) {
        rows.push_back({"An necunoscut", *unknown, Narrowed(listing, "publicare IS NULL"), true});
    }
    return rows;
}

// The books per type or state, most first; a value no entry has is named as the list names it.
std::optional<Rows> PerLookup(CBookDatabase& db, const std::string& listing, const char* column,
                              const LookupList& names, const std::string& undefined) {
    Rows rows;
    const std::string statement = std::string("SELECT ") + column + ", count(*) AS n FROM (" +
                                  listing + ") GROUP BY " + column + " ORDER BY n DESC, " + column;
    const bool read = Grouped(db, statement, [&](const CEngineRecordset& set, std::int64_t n) {
        const std::string label =
            set.IsNull(0)
                ? undefined
                : names.NameOfId(static_cast<std::int32_t>(LookupIdOfStored(set.GetInteger(0))),
                                 undefined);
        rows.push_back({label, n, Narrowed(listing, Equals(column, set, 0))});
    });
    return read ? std::optional<Rows>(std::move(rows)) : std::nullopt;
}

std::optional<Rows> ReadAndUnread(CBookDatabase& db, const std::string& listing) {
    Rows rows;
    const std::array<std::pair<const char*, const char*>, 2> groups = {
        {{"Citite", "citita = -1"}, {"Necitite", "citita IS NOT -1"}}};
    for (const auto& [label, condition] : groups) {
        const auto n =
            Count(db, "SELECT count(*) FROM (" + listing + ") WHERE " + std::string(condition));
        if (!n) {
            return std::nullopt;
        }
        if (*n > 0) {
            rows.push_back({label, *n, Narrowed(listing, condition)});
        }
    }
    return rows;
}

// The names with most books, ties in the order of the names.
std::optional<Rows> TopNames(CBookDatabase& db, const std::string& listing, const char* column,
                             const char* nameless) {
    Rows rows;
    const std::string statement = std::string("SELECT ") + column + ", count(*) AS n FROM (" +
                                  listing + ") GROUP BY " + column + " ORDER BY n DESC, " + column +
                                  " LIMIT " + std::to_string(kTopNames);
    const bool read = Grouped(db, statement, [&](const CEngineRecordset& set, std::int64_t n) {
        const std::string name = set.GetText(0);
        rows.push_back(
            {name.empty() ? nameless : name, n, Narrowed(listing, Equals(column, set, 0))});
    });
    return read ? std::optional<Rows>(std::move(rows)) : std::nullopt;
}

// "2026-03" as a person reads it: "mar 2026".
std::string MonthLabel(int year, int month) {
    static const std::array<const char*, 12> names = {"ian", "feb", "mar", "apr", "mai", "iun",
                                                      "iul", "aug", "sep", "oct", "noi", "dec"};
    return std::string(names[static_cast<std::size_t>(month - 1)]) + " " + std::to_string(year);
}

std::string MonthKey(int year, int month) {
    char key[32];
    std::snprintf(key, sizeof key, "%04d-%02d", year, month);
    return key;
}

// Rows of a month ("YYYY-MM", ascending) and its count become one bar a month from the first to
// the last, those between without rows counting 0. `books` lists the books of a month.
template <class Books>
std::optional<Rows> PerMonth(CBookDatabase& db, const std::string& statement, Books books) {
    std::vector<std::pair<std::string, std::int64_t>> months;
    const bool read = Grouped(db, statement, [&](const CEngineRecordset& set, std::int64_t n) {
        months.emplace_back(set.GetText(0), n);
    });
    if (!read) {
        return std::nullopt;
    }
    Rows rows;
    int year = 0;
    int month = 0;
    for (const auto& [key, n] : months) {
        int y = 0;
        int m = 0;
        if (std::sscanf(key.c_str(), "%d-%d", &y, &m) != 2 || m < 1 || m > 12) {
            continue;
        }
        // A gap of many years (a date mistyped centuries off) is left a gap, not drawn empty.
        const bool filled = (y * 12 + m) - (year * 12 + month) <= kLongestGap;
        while (!rows.empty() && filled && (year < y || (year == y && month < m))) {
            rows.push_back({MonthLabel(year, month), 0, books(MonthKey(year, month))});
            month = month == 12 ? 1 : month + 1;
            year += month == 1 ? 1 : 0;
        }
        rows.push_back({MonthLabel(y, m), n, books(key)});
        year = m == 12 ? y + 1 : y;
        month = m == 12 ? 1 : m + 1;
    }
    return rows;
}

std::optional<Rows> Added(CBookDatabase& db, const std::string& listing) {
    const OwnTableState table = InspectDetailsTable(db.Engine());
    Rows rows;
    std::string undated = listing;
    if (table == OwnTableState::Ours) {
        auto months = PerMonth(
            db,
            "SELECT substr(d.adaugata, 1, 7) AS luna, count(*) AS n FROM (" + listing +
                ") AS b JOIN book_details AS d ON d.id = b.id WHERE d.adaugata IS NOT NULL "
                "GROUP BY luna ORDER BY luna",
            [&listing](const std::string& month) {
                return Narrowed(listing, FormatStatement("id IN (SELECT id FROM book_details "
                                                         "WHERE substr(adaugata, 1, 7) = '%s')",
                                                         month));
            });
        if (!months) {
            return std::nullopt;
        }
        rows = std::move(*months);
        undated = Narrowed(listing, "id NOT IN (SELECT id FROM book_details WHERE adaugata IS "
                                    "NOT NULL)");
    }
    const auto unknown = Count(db, "SELECT count(*) FROM (" + undated + ")");
    if (!unknown) {
        return std::nullopt;
    }
    if (*unknown > 0) {
        rows.push_back({"Data necunoscuta", *unknown, undated, true});
    }
    return rows;
}

std::optional<Rows> Loans(CBookDatabase& db, const std::string& listing) {
    if (InspectLoanTable(db.Engine()) != OwnTableState::Ours) {
        return Rows{};
    }
    return PerMonth(db,
                    "SELECT substr(lent, 1, 7) AS luna, count(*) AS n FROM loans WHERE book IN "
                    "(SELECT id FROM (" +
                        listing + ")) GROUP BY luna ORDER BY luna",
                    [&listing](const std::string& month) {
                        return Narrowed(listing,
                                        FormatStatement("id IN (SELECT book FROM loans WHERE "
                                                        "substr(lent, 1, 7) = '%s')",
                                                        month));
                    });
}

std::optional<Rows> Borrowers(CBookDatabase& db, const std::string& listing) {
    if (InspectLoanTable(db.Engine()) != OwnTableState::Ours) {
        return Rows{};
    }
    Rows rows;
    const std::string statement =
        "SELECT borrower, count(*) AS n FROM loans WHERE returned IS NULL AND book IN (SELECT id "
        "FROM (" +
        listing + ")) GROUP BY borrower ORDER BY n DESC, borrower LIMIT " +
        std::to_string(kTopNames);
    const bool read = Grouped(db, statement, [&](const CEngineRecordset& set, std::int64_t n) {
        const std::string borrower = set.GetText(0);
        rows.push_back({borrower, n,
                        Narrowed(listing, FormatStatement("id IN (SELECT book FROM loans WHERE "
                                                          "returned IS NULL AND borrower = '%s')",
                                                          borrower))});
    });
    return read ? std::optional<Rows>(std::move(rows)) : std::nullopt;
}

const std::string& ListingOrAll(const std::string& listing) {
    static const std::string all = kAllBooks;
    return listing.empty() ? all : listing;
}

} // namespace

std::optional<std::vector<ChartBar>> ComputeChart(CBookDatabase& db, ChartKind kind,
                                                  const std::string& listing,
                                                  const ChartLookups& names) {
    const std::string& books = ListingOrAll(listing);
    try {
        switch (kind) {
        case ChartKind::Decades:
            return Decades(db, books);
        case ChartKind::Types:
            return PerLookup(db, books, "tip", names.types, names.undefinedType);
        case ChartKind::States:
            return PerLookup(db, books, "stare", names.states, names.undefinedState);
        case ChartKind::Read:
            return ReadAndUnread(db, books);
        case ChartKind::Authors:
            return TopNames(db, books, "autor", "(fara autor)");
        case ChartKind::Publishers:
            return TopNames(db, books, "editura", "(fara editura)");
        case ChartKind::Added:
            return Added(db, books);
        case ChartKind::Loans:
            return Loans(db, books);
        case ChartKind::Borrowers:
            return Borrowers(db, books);
        }
    } catch (const CEngineException&) {
        // A table without the columns a chart reads: no chart.
    }
    return std::nullopt;
}

std::optional<std::int64_t> CountListing(CBookDatabase& db, const std::string& listing) {
    try {
        return Count(db, "SELECT count(*) FROM (" + ListingOrAll(listing) + ")");
    } catch (const CEngineException&) {
        return std::nullopt;
    }
}

std::string ListingName(const std::string& listing) {
    if (listing.empty() || listing == kAllBooks) {
        return "toate cartile";
    }
    if (listing == "SELECT * FROM books WHERE citita = -1") {
        return "cartile citite";
    }
    if (listing == "SELECT * FROM books WHERE citita = 0") {
        return "cartile necitite";
    }
    if (listing.starts_with(kNarrowedPrefix)) {
        return "cartile alese dintr-un grafic";
    }
    return "rezultatul cautarii";
}

const char* ChartTitle(ChartKind kind) {
    switch (kind) {
    case ChartKind::Decades:
        return "Pe decenii";
    case ChartKind::Types:
        return "Pe tipuri";
    case ChartKind::States:
        return "Pe stari";
    case ChartKind::Read:
        return "Citite si necitite";
    case ChartKind::Authors:
        return "Autori";
    case ChartKind::Publishers:
        return "Edituri";
    case ChartKind::Added:
        return "Adaugate pe luni";
    case ChartKind::Loans:
        return "Imprumuturi pe luni";
    case ChartKind::Borrowers:
        return "Cine are carti acum";
    }
    return "";
}
