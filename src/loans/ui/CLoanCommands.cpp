#include "loans/ui/CLoanCommands.h"

#include "loans/CLoanRegister.h"
#include "loans/LoanTexts.h"
#include "loans/ui/CLendDlg.h"
#include "loans/ui/CLoansDlg.h"
#include "loans/ui/CReturnDlg.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "view/ui/CShelfwardenView.h"

CLoanCommands::CLoanCommands(CShelfwardenView* view) : QObject(view), m_pView(view) {}

QString CLoanCommands::CountsText() const {
    CBookDatabase* db = m_pView->Database();
    if (!db->IsOpen()) {
        return {};
    }
    CLoanRegister loans(*db, nullptr);
    return FromUtf8(LoanCountsText(loans.Counts(IsoText(m_today()))));
}

bool CLoanCommands::MayDelete(int book, std::optional<LoanClosing>& closing) {
    CLoanRegister loans(*m_pView->Database(), nullptr);
    const std::optional<LoanRow> open = loans.OpenLoan(book);
    if (!open) {
        return true;
    }
    if (!AskYesNo(DeleteLentBookQuestion(*open), m_pView)) {
        return false;
    }
    closing = LoanClosing{open->id, IsoText(m_today())};
    return true;
}

std::optional<CLoanCommands::SelectedBook> CLoanCommands::SelectedBookOrComplain() const {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return std::nullopt;
    }
    const int row = m_pView->FirstSelectedRow();
    if (row < 0) {
        ShowMessage(msg::kNoBookSelected, m_pView);
        return std::nullopt;
    }
    BookRecord book;
    m_pView->ReadRow(book, row);
    return SelectedBook{db, book.id, book.titlu};
}

void CLoanCommands::OnLend() {
    const auto book = SelectedBookOrComplain();
    if (!book) {
        return;
    }
    CLoanRegister loans(*book->db, UserMessageSink());
    if (!loans.MayLend(book->id)) {
        return;
    }
    CLendDlg dlg(m_pView);
    dlg.m_strTitle = book->title;
    dlg.m_aBorrowers = loans.Borrowers().value_or(std::vector<std::string>{});
    dlg.m_today = m_today();
    dlg.m_submit = [&](const std::string& borrower, const std::string& lent,
                       const std::string& due) {
        return loans.Lend(book->id, borrower, lent, due);
    };
    if (dlg.exec() == QDialog::Accepted) {
        emit LoansChanged();
    }
}

void CLoanCommands::OnReturn() {
    const auto book = SelectedBookOrComplain();
    if (!book) {
        return;
    }
    CLoanRegister loans(*book->db, UserMessageSink());
    const auto open = loans.OpenLoanOrComplain(book->id);
    if (!open) {
        return;
    }
    CReturnDlg dlg(m_pView);
    dlg.m_strLoan = book->title + ", " + OpenLoanText(*open);
    dlg.m_today = m_today();
    dlg.m_submit = [&](const std::string& date) { return loans.Return(book->id, date); };
    if (dlg.exec() == QDialog::Accepted) {
        emit LoansChanged();
    }
}

void CLoanCommands::OnLoans() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    CLoanRegister loans(*db, UserMessageSink());
    CLoansDlg dlg(m_pView);
    dlg.m_pLoans = &loans;
    dlg.m_strToday = IsoText(m_today());
    dlg.m_bReadOnly = m_pView->IsReadOnly();
    connect(&dlg, &CLoansDlg::LoanReturned, this, &CLoanCommands::LoansChanged);
    if (!dlg.Load()) {
        return;
    }
    dlg.exec();
    if (dlg.m_nShowBook >= 0) {
        ShowBook(dlg.m_nShowBook);
    }
}

void CLoanCommands::ShowBook(int book) {
    if (!m_pView->ShowBook(book)) {
        ShowMessage(msg::kBookNotListed, m_pView);
    }
}
