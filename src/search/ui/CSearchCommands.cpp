#include "search/ui/CSearchCommands.h"

#include "search/ui/CCompositeSearchDlg.h"
#include "search/ui/CNumericSearchDlg.h"
#include "search/ui/CSearchComboDlg.h"
#include "shell/CSearchTextDlg.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "store/StatementFormat.h"
#include "view/ListingQuery.h"
#include "view/ui/CShelfwardenView.h"

CSearchCommands::CSearchCommands(CShelfwardenView* view) : QObject(view), m_pView(view) {}

void CSearchCommands::RunSearch(const std::string& base, const char* nothingFound, Replace when) {
    if (when == Replace::BeforeRunning) {
        m_pView->SetCurrentQuery(base);
    }
    auto listing = ListingQuery::Open(*m_pView->Database(), ListingStatement(base));
    if (!listing) {
        return;
    }
    m_pView->SetCurrentQuery(base);
    if (!listing->IsEmpty()) {
        m_pView->FillList(*listing);
    } else {
        ShowMessage(nothingFound, m_pView);
    }
}

void CSearchCommands::SearchText(const FieldSearch& search) {
    if (!m_pView->OpenDatabaseOrComplain()) {
        return;
    }
    CSearchTextDlg dlg(m_pView);
    dlg.m_strLabel = "Search for";
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    RunSearch(FormatStatement(search.baseStatement, dlg.m_strValue), search.nothingFound,
              Replace::OnceRun);
}

void CSearchCommands::SearchChoice(int listKind, const FieldSearch& search) {
    if (!m_pView->OpenDatabaseOrComplain()) {
        return;
    }
    CSearchComboDlg dlg(m_pView);
    dlg.m_nListKind = listKind;
    dlg.m_aTypes = m_pView->Types();
    dlg.m_aStates = m_pView->States();
    if (dlg.exec() != QDialog::Accepted || dlg.m_nSelection < 0) {
        return; // an empty list offers nothing to search for
    }
    int value = dlg.m_nSelection;
    if (listKind == kChooseType) {
        value = StoredLookupValue(m_pView->Types().At(dlg.m_nSelection).GetId());
    } else if (listKind == kChooseState) {
        value = StoredLookupValue(m_pView->States().At(dlg.m_nSelection).GetId());
    }
    RunSearch(FormatStatement(search.baseStatement, value), search.nothingFound, Replace::OnceRun);
}

void CSearchCommands::OnSearchTitle() {
    SearchText(kSearchTitle);
}
void CSearchCommands::OnSearchAuthor() {
    SearchText(kSearchAuthor);
}
void CSearchCommands::OnSearchPublisher() {
    SearchText(kSearchPublisher);
}
void CSearchCommands::OnSearchType() {
    SearchChoice(kChooseType, kSearchType);
}
void CSearchCommands::OnSearchRating() {
    SearchChoice(kChooseRating, kSearchRating);
}
void CSearchCommands::OnSearchState() {
    SearchChoice(kChooseState, kSearchState);
}

void CSearchCommands::SearchNumber(const NumericSearch& search) {
    if (!m_pView->OpenDatabaseOrComplain()) {
        return;
    }
    CNumericSearchDlg dlg(m_pView);
    dlg.m_nSearchKind = kSingleValue;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    RunSearch(
        NumericSearchStatement(search, dlg.m_nSearchKind, dlg.m_nValue, dlg.m_nMin, dlg.m_nMax),
        search.nothingFound, Replace::BeforeRunning);
}

void CSearchCommands::OnSearchPages() {
    SearchNumber(kSearchPages);
}
void CSearchCommands::OnSearchChapters() {
    SearchNumber(kSearchChapters);
}
void CSearchCommands::OnSearchVolumes() {
    SearchNumber(kSearchVolumes);
}
void CSearchCommands::OnSearchFirstPublished() {
    SearchNumber(kSearchFirstPublished);
}
void CSearchCommands::OnSearchVolumePublished() {
    SearchNumber(kSearchVolumePublished);
}

void CSearchCommands::OnSearchComposite() {
    if (!m_pView->OpenDatabaseOrComplain()) {
        return;
    }
    CCompositeSearchDlg dlg(m_pView);
    dlg.m_aTypes = m_pView->Types();
    dlg.m_aStates = m_pView->States();
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    const std::string statement = CompositeStatement(dlg.Criteria());
    if (statement.empty()) {
        return; // no box checked: no search at all
    }
    RunSearch(statement, kCompositeNothingFound, Replace::BeforeRunning);
}
