#include "loans/LoanTexts.h"

#include "loans/CLoanRegister.h"

namespace {

// Romanian counts: "1 carte", "3 carti", "20 de carti", "101 carti".
std::string Quantity(int n, const char* one, const char* many) {
    if (n == 1) {
        return "1 " + std::string(one);
    }
    const int rest = n % 100;
    const bool withDe = n != 0 && (rest == 0 || rest >= 20);
    return std::to_string(n) + (withDe ? " de " : " ") + many;
}

} // namespace

std::string OpenLoanText(const LoanRow& open) {
    return "imprumutata lui " + open.borrower + " din " + open.lent;
}

std::string AlreadyLentMessage(const LoanRow& open) {
    return "Cartea este deja " + OpenLoanText(open) + "!";
}

std::string LoanCountsText(const std::optional<LoanCounts>& counts) {
    if (!counts) {
        return "imprumuturi indisponibile";
    }
    return Quantity(counts->out, "carte imprumutata", "carti imprumutate") + ", " +
           Quantity(counts->overdue, "intarziata", "intarziate");
}
