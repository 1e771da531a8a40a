#include "loans/LoanListing.h"

#include "store/StatementFormat.h"

namespace {

// Result names in the order of LoanColumn. ISO dates sort as bytes: the text order would give
// the same result, slower.
constexpr std::array<const char*, kLoanColumnCount> kSortNames = {"title",
                                                                  "author",
                                                                  "borrower",
                                                                  "lent COLLATE BINARY",
                                                                  "due COLLATE BINARY",
                                                                  "overdue",
                                                                  "returned COLLATE BINARY"};

std::string OrderBy(const LoanQuery& query) {
    const char* direction = query.descending ? " DESC" : "";
    if (!query.sortBy) {
        return "overdue DESC, due IS NULL, due COLLATE BINARY, lent COLLATE BINARY, id";
    }
    return std::string(kSortNames[static_cast<std::size_t>(*query.sortBy)]) + direction + ", id";
}

} // namespace

std::string LoanListStatement(const LoanQuery& query) {
    std::string sql = FormatStatement(
        "SELECT l.id AS id, l.book AS book, coalesce(b.titlu, l.title, '') AS title, "
        "coalesce(b.autor, '') AS author, l.borrower AS borrower, l.lent AS lent, l.due AS due, "
        "l.returned AS returned, CASE WHEN l.returned IS NULL AND l.due < '%s' THEN "
        "CAST(julianday('%s') - julianday(l.due) AS INTEGER) ELSE 0 END AS overdue "
        "FROM loans l LEFT JOIN books b ON b.id = l.book WHERE 1",
        query.today, query.today);
    if (!query.withReturned) {
        sql += " AND l.returned IS NULL";
    }
    if (!query.borrower.empty()) {
        sql += FormatStatement(" AND l.borrower = '%s'", query.borrower);
    }
    return sql + " ORDER BY " + OrderBy(query);
}

const std::array<const char*, kLoanColumnCount>& LoanColumnTitles() {
    static const std::array<const char*, kLoanColumnCount> titles = {
        "Titlu", "Autor", "Imprumutata lui", "Din", "Termen", "Zile intarziere", "Returnata"};
    return titles;
}

std::string LoanCellText(const LoanRow& row, LoanColumn column) {
    switch (column) {
    case LoanColumn::Title:
        return row.title;
    case LoanColumn::Author:
        return row.author;
    case LoanColumn::Borrower:
        return row.borrower;
    case LoanColumn::Lent:
        return row.lent;
    case LoanColumn::Due:
        return row.due;
    case LoanColumn::OverdueDays:
        return row.IsOverdue() ? std::to_string(row.overdueDays) : std::string();
    case LoanColumn::Returned:
        return row.returned;
    }
    return {};
}
