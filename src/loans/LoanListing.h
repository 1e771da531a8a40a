#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

// One loan as the loans window lists it. Title and author are the book's own while it exists;
// after it is deleted the title kept with the loan stands in and the author is empty.
struct LoanRow {
    std::int64_t id = 0;
    std::int32_t book = 0;
    std::string title;
    std::string author;
    std::string borrower;
    std::string lent;
    std::string due;      // empty when no due date was set
    std::string returned; // empty while the book is out
    int overdueDays = 0;  // days an open loan is past its due date, 0 otherwise

    bool IsOpen() const { return returned.empty(); }
    bool IsOverdue() const { return overdueDays > 0; }
};

// The listing's columns, in the order the loans window shows them.
enum class LoanColumn { Title, Author, Borrower, Lent, Due, OverdueDays, Returned };
inline constexpr int kLoanColumnCount = 7;

struct LoanQuery {
    std::string today;         // the ISO date overdue days are counted to
    bool withReturned = false; // returned loans too: the history
    std::string borrower;      // only this borrower's loans; everyone's when empty
    // Sorted by one column; without one, overdue loans first (the longest overdue on top),
    // then by due date, loans without one last.
    std::optional<LoanColumn> sortBy;
    bool descending = false;
};

// The one statement that lists loans, for the program and for its benchmark reference alike.
std::string LoanListStatement(const LoanQuery& query);

const std::array<const char*, kLoanColumnCount>& LoanColumnTitles();
std::string LoanCellText(const LoanRow& row, LoanColumn column);
