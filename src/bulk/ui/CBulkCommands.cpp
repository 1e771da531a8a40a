#include "bulk/ui/CBulkCommands.h"

#include "bulk/BulkChange.h"
#include "bulk/BulkEditFields.h"
#include "bulk/CopiesApart.h"
#include "bulk/DoubleBooks.h"
#include "bulk/ui/CBulkEditDlg.h"
#include "bulk/ui/CDoublesDlg.h"
#include "isbn/CBookDetailsStore.h"
#include "loans/CLoanRegister.h"
#include "loans/ui/CLendDlg.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CatalogueMessages.h"
#include "store/CountedNoun.h"
#include "view/ui/CRecordCommands.h"
#include "view/ui/CShelfwardenView.h"

#include <algorithm>
#include <map>

namespace {

// The titles of the books a change left as they were, one a line.
std::string NamedBooks(const std::vector<StoredBook>& books, const std::vector<std::int32_t>& ids) {
    std::string names;
    for (const StoredBook& book : books) {
        if (std::ranges::find(ids, StoredId(book)) != ids.end()) {
            names += "\n" + StoredText(book, "titlu");
        }
    }
    return names;
}

void TellSkipped(const std::vector<StoredBook>& books, const std::vector<std::int32_t>& skipped,
                 QWidget* parent) {
    if (!skipped.empty()) {
        ShowMessage(CountedNoun(static_cast<long long>(skipped.size()), "carte", "carti") +
                        " au fost schimbate intre timp de alt program si au ramas cum erau:" +
                        NamedBooks(books, skipped),
                    parent);
    }
}

} // namespace

CBulkCommands::CBulkCommands(CShelfwardenView* view, CRecordCommands* records)
    : QObject(view), m_pView(view), m_pRecords(records) {}

void CBulkCommands::OnModifySelection() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    const std::vector<std::int32_t> ids = m_pView->SelectedBookIds();
    if (!db || ids.empty()) {
        return;
    }
    CatalogueMoment moment;
    std::vector<StoredBook> books;
    try {
        moment = ReadCatalogueMoment(db->Engine());
        books = ReadStoredBooks(*db, ids);
    } catch (const CEngineException&) {
        ShowMessage(msg::kCannotSelect, m_pView);
        return;
    }
    CBookDetailsStore store(*db, {});
    CBulkEditDlg dlg(books.size(), m_pView);
    dlg.m_aTypes = m_pView->Types();
    dlg.m_aStates = m_pView->States();
    const auto locations = store.Locations();
    const auto series = store.Series();
    dlg.m_bDetailsUsable = locations && series;
    dlg.m_aLocations = locations.value_or(std::vector<std::string>{});
    dlg.m_aSeries = series.value_or(std::vector<std::string>{});
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    auto outcome = ChangeBooks(*db, books, moment, dlg.m_fields, UserMessageSink());
    if (!outcome) {
        return;
    }
    std::vector<std::int32_t> changed;
    for (const BookChange& change : outcome->changes) {
        changed.push_back(change.id);
    }
    m_pView->RefreshBooks(changed);
    if (const std::size_t books = outcome->changes.size(); books > 0) {
        m_pRecords->RememberStep(FromUtf8(BulkStepText("modificarea", books)),
                                 std::move(outcome->changes));
    }
    TellSkipped(books, outcome->skipped, m_pView);
}

void CBulkCommands::OnDeleteSelection() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    const std::vector<std::int32_t> ids = m_pView->SelectedBookIds();
    if (!db || ids.empty()) {
        return;
    }
    std::string question = "Stergeti cele " +
                           CountedNoun(static_cast<long long>(ids.size()), "carte", "carti") +
                           " selectate?";
    if (const std::size_t lent = OpenLoansOf(*db, ids).size(); lent > 0) {
        question +=
            "\n" +
            std::string(lent == 1 ? "Una este imprumutata"
                                  : CountedNoun(static_cast<long long>(lent), "carte", "carti") +
                                        " sunt imprumutate") +
            "; imprumutul se inchide azi, odata cu stergerea.";
    }
    if (!AskYesNo(question, m_pView, true)) {
        return;
    }
    CatalogueMoment moment;
    std::vector<StoredBook> books;
    try {
        moment = ReadCatalogueMoment(db->Engine());
        books = ReadStoredBooks(*db, ids);
    } catch (const CEngineException&) {
        ShowMessage(msg::kCannotSelect, m_pView);
        return;
    }
    auto outcome = DeleteBooks(*db, books, moment, IsoText(m_today()), UserMessageSink());
    if (!outcome) {
        return;
    }
    const bool loansClosed = std::ranges::any_of(
        outcome->changes, [](const BookChange& c) { return c.loan.has_value(); });
    if (const std::size_t books = outcome->changes.size(); books > 0) {
        m_pRecords->RememberStep(FromUtf8(BulkStepText("stergerea", books)),
                                 std::move(outcome->changes));
    }
    m_pView->Relist();
    if (loansClosed) {
        emit LoansChanged();
    }
    TellSkipped(books, outcome->skipped, m_pView);
}

void CBulkCommands::OnLendSelection() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    const std::vector<std::int32_t> ids = m_pView->SelectedBookIds();
    if (!db || ids.empty()) {
        return;
    }
    CLoanRegister loans(*db, UserMessageSink());
    std::map<std::int32_t, std::int64_t> out;
    for (const auto& [book, loan] : OpenLoansOf(*db, ids)) {
        out.emplace(book, loan);
    }
    const std::vector<RowTexts> rows = m_pView->SelectedRows();
    std::vector<int> free;
    std::string outNames;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (!out.contains(ids[i])) {
            free.push_back(ids[i]);
        } else if (const auto open = loans.OpenLoan(ids[i])) {
            outNames += "\n" + rows[i][1] + " (la " + open->borrower + ")";
        }
    }
    if (free.empty()) {
        ShowMessage("Toate cartile selectate sunt imprumutate deja:" + outNames, m_pView);
        return;
    }
    CLendDlg dlg(m_pView);
    dlg.m_strTitle = CountedNoun(static_cast<long long>(free.size()), "carte", "carti");
    dlg.m_aBorrowers = loans.Borrowers().value_or(std::vector<std::string>{});
    dlg.m_today = m_today();
    std::optional<std::vector<int>> lent;
    dlg.m_submit = [&](const std::string& borrower, const std::string& since,
                       const std::string& due) {
        lent = loans.LendMany(free, borrower, since, due);
        return lent.has_value();
    };
    if (dlg.exec() != QDialog::Accepted || !lent) {
        return;
    }
    emit LoansChanged();
    std::string told =
        "Imprumutate: " + CountedNoun(static_cast<long long>(lent->size()), "carte", "carti") + ".";
    if (!outNames.empty()) {
        told += "\nImprumutate deja, lasate asa:" + outNames;
    }
    ShowMessage(told, m_pView);
}

void CBulkCommands::OnDoubles() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    CCopiesApart apart(*db, UserMessageSink());
    const auto pairs = apart.Pairs();
    if (!pairs) {
        return;
    }
    auto groups = FindDoubles(*db, UserMessageSink(), [&pairs](const std::vector<std::int32_t>& g) {
        return CCopiesApart::AllMarked(*pairs, g);
    });
    if (!groups) {
        return;
    }
    if (groups->empty()) {
        ShowMessage("Nu s-au gasit carti duble.", m_pView);
        return;
    }
    CDoublesDlg dlg(*db, m_pView->Types(), m_pView->States(), std::move(*groups), *pairs, m_pView);
    bool merged = false;
    dlg.m_onMerged = [&](std::vector<BookChange> changes) {
        merged = true;
        const std::size_t books = changes.size();
        m_pRecords->RememberStep(FromUtf8(BulkStepText("unirea", books)), std::move(changes));
    };
    dlg.exec();
    if (merged) {
        m_pView->Relist();
        emit LoansChanged();
    }
}
