#include "loans/LoanTexts.h"

#include "loans/CLoanRegister.h"
#include "store/CountedNoun.h"

std::string OpenLoanText(const LoanRow& open) {
    return "imprumutata lui " + open.borrower + " din " + open.lent;
}

std::string AlreadyLentMessage(const LoanRow& open) {
    return "Cartea este deja " + OpenLoanText(open) + "!";
}

std::string DeleteLentBookQuestion(const LoanRow& open) {
    return "Cartea este " + OpenLoanText(open) + ". O stergeti oricum?";
}

std::string LoanCountsText(const std::optional<LoanCounts>& counts) {
    if (!counts) {
        return "imprumuturi indisponibile";
    }
    return CountedNoun(counts->out, "carte imprumutata", "carti imprumutate") + ", " +
           CountedNoun(counts->overdue, "intarziata", "intarziate");
}
