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
#include <set>

namespace {

void TellSkipped(const std::vector<std::string>& titles, QWidget* parent) {
    if (!titles.empty()) {
        ShowMessage(CountedNoun(static_cast<long long>(titles.size()), "carte", "carti") +
                        " au fost schimbate intre timp de alt program si au ramas cum erau:" +
                        NamedLines(titles),
                    parent);
    }
}

// The titles of the books with these identifiers, in the books' order.
std::vector<std::string> TitlesOf(const std::vector<StoredBook>& books,
                                  const std::vector<std::int32_t>& ids) {
    std::vector<std::string> titles;
    for (const StoredBook& book : books) {
        if (std::ranges::find(ids, StoredId(book)) != ids.end()) {
            titles.push_back(StoredText(book, "titlu"));
        }
    }
    return titles;
}

// The books as stored now and the moment they were read at; false, told, when they cannot be.
bool ReadBooks(CBookDatabase& db, const std::vector<std::int32_t>& ids, CatalogueMoment& moment,
               std::vector<StoredBook>& books, QWidget* parent) {
    try {
        moment = ReadCatalogueMoment(db.Engine());
        books = ReadStoredBooks(db, ids);
        return true;
    } catch (const CEngineException&) {
        ShowMessage(msg::kCannotSelect, parent);
        return false;
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
    if (!ReadBooks(*db, ids, moment, books, m_pView)) {
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
    // An ISBN names one edition: given to books of different titles it is likely a slip.
    const bool givesIsbn = std::ranges::any_of(dlg.m_fields, [](const BulkField& f) {
        return f.column == "isbn" && !std::holds_alternative<std::monostate>(f.value);
    });
    std::set<std::string> titles;
    for (const StoredBook& book : books) {
        titles.insert(StoredText(book, "titlu"));
    }
    if (givesIsbn && titles.size() > 1 &&
        !AskYesNo("Acelasi ISBN se da la " +
                      CountedNoun(static_cast<long long>(books.size()), "carte", "carti") + " cu " +
                      std::to_string(titles.size()) +
                      " titluri diferite, desi un ISBN numeste o singura editie. Continuati?",
                  m_pView, true)) {
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
    TellSkipped(TitlesOf(books, outcome->skipped), m_pView);
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
    if (const auto lent = OpenLoansOf(*db, ids); lent.size() == 1) {
        CLoanRegister loans(*db, {});
        const auto open = loans.OpenLoan(lent.front().first);
        const auto at = std::ranges::find(ids, lent.front().first) - ids.begin();
        question += "\n\"" + m_pView->SelectedRows()[static_cast<std::size_t>(at)][1] +
                    "\" este imprumutata" + (open ? " lui " + open->borrower : std::string()) +
                    "; imprumutul se inchide azi, odata cu stergerea.";
    } else if (lent.size() > 1) {
        question += "\n" + CountedNoun(static_cast<long long>(lent.size()), "carte", "carti") +
                    " dintre ele sunt imprumutate; imprumuturile lor se inchid azi, odata cu "
                    "stergerea.";
    }
    if (!AskYesNo(question, m_pView, true)) {
        return;
    }
    CatalogueMoment moment;
    std::vector<StoredBook> books;
    if (!ReadBooks(*db, ids, moment, books, m_pView)) {
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
    TellSkipped(TitlesOf(books, outcome->skipped), m_pView);
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
    std::vector<std::string> outNames;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (!out.contains(ids[i])) {
            free.push_back(ids[i]);
        } else if (const auto open = loans.OpenLoan(ids[i])) {
            outNames.push_back(rows[i][1] + " (la " + open->borrower + ")");
        }
    }
    if (free.empty()) {
        ShowMessage("Toate cartile selectate sunt imprumutate deja:" + NamedLines(outNames),
                    m_pView);
        return;
    }
    CLendDlg dlg(m_pView);
    dlg.m_strTitleLabel = QStringLiteral("Cartile:");
    dlg.m_strTitle = CountedNoun(static_cast<long long>(free.size()), "carte", "carti");
    if (!outNames.empty()) {
        dlg.m_strTitle +=
            " (din " + CountedNoun(static_cast<long long>(ids.size()), "carte", "carti") +
            " selectate; " +
            (outNames.size() == 1 ? std::string("una este imprumutata")
                                  : std::to_string(outNames.size()) + " sunt imprumutate") +
            " deja)";
    }
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
        told += "\nImprumutate deja, lasate asa:" + NamedLines(outNames);
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
