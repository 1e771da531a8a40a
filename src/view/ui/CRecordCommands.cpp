#include "view/ui/CRecordCommands.h"

#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "store/CatalogueMessages.h"
#include "view/BookRowTexts.h"
#include "view/ui/CBookInfoDlg.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CLookupEditDlg.h"
#include "view/ui/CShelfwardenView.h"

CRecordCommands::CRecordCommands(CShelfwardenView* view) : QObject(view), m_pView(view) {
    connect(view, &QAbstractItemView::doubleClicked, this, &CRecordCommands::OnDoubleClick);
}

void CRecordCommands::EditLookups(const char* kind) {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    CLookupEditDlg dlg(m_pView);
    dlg.m_pDatabase = db;
    dlg.m_strKind = kind;
    dlg.exec();
    // Every change went to the catalogue at once, so it counts however the editor was closed.
    if (dlg.m_bChanged) {
        m_pView->ReloadLookups();
        m_pView->RefreshCurrentQuery();
    }
}

void CRecordCommands::OnEditTypes() {
    EditLookups("Tip");
}
void CRecordCommands::OnEditStates() {
    EditLookups("Stare");
}

void CRecordCommands::OnRecordsAdd() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    if (m_pView->Types().GetSize() == 0) {
        ShowMessage(msg::kNoTypeDefined, m_pView);
        return;
    }
    if (m_pView->States().GetSize() == 0) {
        ShowMessage(msg::kNoStateDefined, m_pView);
        return;
    }
    BookRecord rec;
    rec.tip = 1;
    rec.stare = 1;
    CBookInfoDlg dlg(m_pView);
    dlg.m_aTypes = m_pView->Types();
    dlg.m_aStates = m_pView->States();
    dlg.m_pRecord = &rec;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    if (!db->InsertBook(rec.titlu, rec.autor, rec.editura, StoredLookupValue(rec.tip), rec.pagini,
                        rec.capitole, rec.volume, rec.publicare, rec.publicare_volum, rec.citita,
                        rec.calificativ, StoredLookupValue(rec.stare))) {
        return;
    }
    // The row carries the identifier the catalogue gave this very row: a title may be shared.
    RowTexts texts = RowTextsFromRecord(rec, m_pView->Types(), m_pView->States());
    texts[0] = FormatBookId(db->GetLastInsertedId());
    m_pView->Model()->AppendRow(texts);
}

void CRecordCommands::OnRecordsDelete() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    const int row = m_pView->FirstSelectedRow();
    if (row < 0) {
        return;
    }
    BookRecord rec;
    m_pView->ReadRow(rec, row);
    db->DeleteBook(rec.id);
    m_pView->ClearList();
    m_pView->ListAllBooks();
}

void CRecordCommands::OnRecordsModify() {
    if (m_pView->OpenDatabaseOrComplain()) {
        EditSelectedBook();
    }
}

void CRecordCommands::OnDoubleClick() {
    EditSelectedBook();
}

void CRecordCommands::EditSelectedBook() {
    const int row = m_pView->FirstSelectedRow();
    if (row < 0) {
        return;
    }
    BookRecord edited;
    m_pView->ReadRow(edited, row);
    CBookInfoDlg dlg(m_pView);
    dlg.m_aTypes = m_pView->Types();
    dlg.m_aStates = m_pView->States();
    dlg.m_pRecord = &edited;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    BookRecord before;
    m_pView->ReadRow(before, row);
    if (SameUserFields(edited, before)) {
        return;
    }
    const BookRecord& a = edited;
    if (m_pView->Database()->UpdateBook(a.id, a.titlu, a.autor, a.editura, StoredLookupValue(a.tip),
                                        a.pagini, a.capitole, a.volume, a.publicare,
                                        a.publicare_volum, a.citita, a.calificativ,
                                        StoredLookupValue(a.stare))) {
        m_pView->SetRowTexts(a, row);
    }
}
