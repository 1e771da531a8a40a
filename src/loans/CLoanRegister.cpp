#include "loans/CLoanRegister.h"

#include "loans/LoanDates.h"
#include "loans/LoanTexts.h"
#include "store/BookFieldChecks.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/LoanSchema.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"

namespace {

std::string Trimmed(const std::string& text) {
    const char* blank = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blank);
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(blank) - first + 1);
}

// The first thing wrong with a loan about to be recorded, or null.
const char* LoanProblem(const std::string& borrower, const std::string& lent,
                        const std::string& due) {
    if (borrower.empty()) {
        return msg::kNoBorrower;
    }
    if (!FitsTextColumn(borrower)) {
        return msg::kTextTooLong;
    }
    if (!IsIsoDate(lent) || (!due.empty() && !IsIsoDate(due))) {
        return msg::kNotADate;
    }
    if (!due.empty() && due < lent) {
        return msg::kBeforeLent;
    }
    return nullptr;
}

std::vector<LoanRow> ReadLoans(CEngineRecordset& set) {
    std::vector<LoanRow> rows;
    rows.reserve(static_cast<std::size_t>(set.GetRecordCount()));
    const int id = set.FieldIndex("id");
    const int book = set.FieldIndex("book");
    const int title = set.FieldIndex("title");
    const int author = set.FieldIndex("author");
    const int borrower = set.FieldIndex("borrower");
    const int lent = set.FieldIndex("lent");
    const int due = set.FieldIndex("due");
    const int returned = set.FieldIndex("returned");
    const int overdue = set.FieldIndex("overdue");
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        rows.push_back({set.GetInteger(id), static_cast<std::int32_t>(set.GetInteger(book)),
                        set.GetText(title), set.GetText(author), set.GetText(borrower),
                        set.GetText(lent), set.GetText(due), set.GetText(returned),
                        static_cast<int>(set.GetInteger(overdue))});
    }
    return rows;
}

} // namespace

CLoanRegister::CLoanRegister(CBookDatabase& db, MessageSink sink)
    : OwnTableKeeper(db.Engine(), std::move(sink), InspectLoanTable, msg::kLoansUnusable) {}

std::optional<LoanRow> CLoanRegister::FindOpenLoan(int book) {
    CEngineRecordset set(m_engine);
    set.Open(FormatStatement(
        "SELECT id, borrower, lent FROM loans WHERE book = %d AND returned IS NULL", book));
    if (set.GetRecordCount() == 0) {
        return std::nullopt;
    }
    set.MoveFirst();
    LoanRow open;
    open.id = set.GetInteger(set.FieldIndex("id"));
    open.book = book;
    open.borrower = set.GetText("borrower");
    open.lent = set.GetText("lent");
    return open;
}

bool CLoanRegister::Lend(int book, const std::string& borrower, const std::string& lent,
                         const std::string& due) {
    const std::string name = Trimmed(borrower);
    if (const char* problem = LoanProblem(name, lent, due)) {
        Report(problem);
        return false;
    }
    return Guarded(msg::kCannotInsert, [&] {
        TransactionGuard transaction(m_engine, "BEGIN IMMEDIATE");
        if (!MayLend(book) || !Record(book, name, lent, due)) {
            return false;
        }
        transaction.Commit();
        return true;
    });
}

bool CLoanRegister::Record(int book, const std::string& borrower, const std::string& lent,
                           const std::string& due) {
    CEngineRecordset title(m_engine);
    title.Open(FormatStatement("SELECT titlu FROM books WHERE id = %d", book));
    if (title.GetRecordCount() == 0) {
        Report(msg::kNoSuchBook);
        return false;
    }
    title.MoveFirst();
    if (InspectLoanTable(m_engine) == LoanTableState::Absent) {
        CreateLoanTable(m_engine);
    }
    m_engine.Execute(FormatStatement("INSERT INTO loans(book, title, borrower, lent, due) "
                                     "VALUES(%d, '%s', '%s', '%s', nullif('%s', ''))",
                                     book, title.GetText("titlu"), borrower, lent, due));
    return true;
}

std::optional<std::vector<int>> CLoanRegister::LendMany(const std::vector<int>& books,
                                                        const std::string& borrower,
                                                        const std::string& lent,
                                                        const std::string& due) {
    const std::string name = Trimmed(borrower);
    if (const char* problem = LoanProblem(name, lent, due)) {
        Report(problem);
        return std::nullopt;
    }
    std::vector<int> lentBooks;
    const bool done = Guarded(msg::kCannotInsert, [&] {
        TransactionGuard transaction(m_engine, "BEGIN IMMEDIATE");
        const std::optional<bool> has = HasTable();
        if (!has) {
            return false;
        }
        for (const int book : books) {
            if (*has && FindOpenLoan(book)) {
                continue;
            }
            if (!Record(book, name, lent, due)) {
                return false;
            }
            lentBooks.push_back(book);
        }
        transaction.Commit();
        return true;
    });
    if (!done) {
        return std::nullopt;
    }
    return lentBooks;
}

bool CLoanRegister::Return(int book, const std::string& date) {
    if (!IsIsoDate(date)) {
        Report(msg::kNotADate);
        return false;
    }
    return Guarded(msg::kCannotUpdate, [&] {
        TransactionGuard transaction(m_engine, "BEGIN IMMEDIATE");
        const auto open = OpenLoanOrComplain(book);
        if (!open) {
            return false;
        }
        if (date < open->lent) {
            Report(msg::kBeforeLent);
            return false;
        }
        m_engine.Execute(FormatStatement(
            "UPDATE loans SET returned = '%s' WHERE book = %d AND returned IS NULL", date, book));
        transaction.Commit();
        return true;
    });
}

std::optional<LoanRow> CLoanRegister::OpenLoan(int book) {
    try {
        if (InspectLoanTable(m_engine) == LoanTableState::Ours) {
            return FindOpenLoan(book);
        }
    } catch (const CEngineException&) {
        // The loans cannot be read: as far as the caller can act on them, there are none.
    }
    return std::nullopt;
}

bool CLoanRegister::MayLend(int book) {
    return Guarded(msg::kLoansUnusable, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        if (const auto open = *hasTable ? FindOpenLoan(book) : std::nullopt) {
            Report(AlreadyLentMessage(*open));
            return false;
        }
        return true;
    });
}

std::optional<LoanRow> CLoanRegister::OpenLoanOrComplain(int book) {
    std::optional<LoanRow> open;
    Guarded(msg::kLoansUnusable, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        open = *hasTable ? FindOpenLoan(book) : std::nullopt;
        if (!open) {
            Report(msg::kNotLent);
        }
        return open.has_value();
    });
    return open;
}

std::optional<std::vector<LoanRow>> CLoanRegister::List(const LoanQuery& query) {
    std::optional<std::vector<LoanRow>> rows;
    Guarded(msg::kLoansUnusable, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        std::vector<LoanRow> read;
        if (*hasTable) {
            CEngineRecordset set(m_engine);
            set.Open(LoanListStatement(query));
            read = ReadLoans(set);
        }
        rows = std::move(read);
        return true;
    });
    return rows;
}

std::optional<std::vector<std::string>> CLoanRegister::Borrowers() {
    std::optional<std::vector<std::string>> names;
    Guarded(msg::kLoansUnusable, [&] {
        const std::optional<bool> hasTable = HasTable();
        if (!hasTable) {
            return false;
        }
        std::vector<std::string> read;
        if (*hasTable) {
            CEngineRecordset set(m_engine);
            set.Open("SELECT DISTINCT borrower FROM loans ORDER BY borrower");
            for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
                read.push_back(set.GetText("borrower"));
            }
        }
        names = std::move(read);
        return true;
    });
    return names;
}

std::optional<LoanCounts> CLoanRegister::Counts(const std::string& today) {
    try {
        switch (InspectLoanTable(m_engine)) {
        case LoanTableState::Absent:
            return LoanCounts{};
        case LoanTableState::Foreign:
            return std::nullopt;
        case LoanTableState::Ours:
            break;
        }
        CEngineRecordset set(m_engine);
        set.Open(FormatStatement("SELECT count(*) AS n_out, coalesce(sum(due < '%s'), 0) AS "
                                 "n_late FROM loans WHERE returned IS NULL",
                                 today));
        set.MoveFirst();
        return LoanCounts{set.GetLong("n_out"), set.GetLong("n_late")};
    } catch (const CEngineException&) {
        return std::nullopt;
    }
}
