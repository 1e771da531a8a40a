#pragma once

#include <optional>
#include <string>

struct LoanCounts;
struct LoanRow;

// What the loan commands tell the user, shown exactly as written.
namespace msg {
inline constexpr const char* kNoBorrower = "Trebuie specificat cui se imprumuta cartea!";
inline constexpr const char* kNotLent = "Cartea nu este imprumutata!";
inline constexpr const char* kNoBookSelected = "Selectati o carte din lista!";
inline constexpr const char* kNoSuchBook = "Cartea nu mai exista in baza de date!";
inline constexpr const char* kNotADate = "Data trebuie scrisa AAAA-LL-ZZ!";
inline constexpr const char* kBeforeLent = "Data nu poate fi inaintea imprumutului!";
inline constexpr const char* kLoansUnusable =
    "Imprumuturile nu pot fi folosite: tabela loans este deteriorata sau are alta forma!";
inline constexpr const char* kBookNotListed = "Cartea nu apare in lista!";
} // namespace msg

// "imprumutata lui Ana din 2026-11-02"
std::string OpenLoanText(const LoanRow& open);
// "Cartea este deja imprumutata lui Ana din 2026-11-02!"
std::string AlreadyLentMessage(const LoanRow& open);

// "Cartea este imprumutata lui Ana din 2026-11-02. O stergeti oricum?"
std::string DeleteLentBookQuestion(const LoanRow& open);

// The status bar's count: "3 carti imprumutate, 1 intarziata"; nothing known about a loans
// table the program cannot use.
std::string LoanCountsText(const std::optional<LoanCounts>& counts);
