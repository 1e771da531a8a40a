#pragma once

#include "loans/LoanListing.h"
#include "store/MessageSink.h"
#include "store/OwnTable.h"

#include <optional>
#include <string>
#include <vector>

class CBookDatabase;

struct LoanCounts {
    int out = 0;
    int overdue = 0;
};

// The loans of one open catalogue: lending, returning, listing. Every date comes from the caller
// (ISO text), so "today" is whatever the caller's clock says. Each operation reports its own
// failure once through the sink and returns its failure value. A loans table of another shape,
// or one the engine cannot read, refuses every loan operation with one message; the books are
// not concerned. A loan that cannot be written (a read-only file, a full disk) is reported as
// any record that cannot be added or changed.
class CLoanRegister : private OwnTableKeeper {
public:
    CLoanRegister(CBookDatabase& db, MessageSink sink);

    // Records that `book` went to `borrower` on `lent`, due back on `due` (none when empty).
    // Refused when the book is out already (naming to whom), the borrower is empty or too long,
    // a date is no date or the due date comes before the loan. The first loan makes the table.
    bool Lend(int book, const std::string& borrower, const std::string& lent,
              const std::string& due);
    // Lends every book of `books` not out already as Lend does, in one transaction; the books out
    // are left as they are. The books lent, or nothing after telling why not.
    std::optional<std::vector<int>> LendMany(const std::vector<int>& books,
                                             const std::string& borrower, const std::string& lent,
                                             const std::string& due);
    // Closes the open loan of `book` on `date`.
    bool Return(int book, const std::string& date);

    // True when `book` may be lent; otherwise false, and the user is told to whom it is out or
    // why the loans cannot be read.
    bool MayLend(int book);
    // The open loan of `book`; told to the user and nothing when there is none.
    std::optional<LoanRow> OpenLoanOrComplain(int book);

    // The open loan of `book`, quietly: nothing when there is none or the loans cannot be read.
    std::optional<LoanRow> OpenLoan(int book);

    std::optional<std::vector<LoanRow>> List(const LoanQuery& query);
    // Everyone who ever borrowed a book, in the program's text order.
    std::optional<std::vector<std::string>> Borrowers();
    // Books out and overdue on `today`, quietly: nothing when the loans cannot be read.
    std::optional<LoanCounts> Counts(const std::string& today);

private:
    std::optional<LoanRow> FindOpenLoan(int book);
    // Records the loan of a book not out, inside the caller's transaction; false, told, when
    // there is no such book.
    bool Record(int book, const std::string& borrower, const std::string& lent,
                const std::string& due);
};
