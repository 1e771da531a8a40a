#include "view/ui/CRecordCommands.h"

#include "isbn/CBookCoverStore.h"
#include "isbn/CBookDetailsStore.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CatalogueMessages.h"
#include "store/StarterLookups.h"
#include "view/BookRowTexts.h"
#include "view/SameBook.h"
#include "view/ui/CBookInfoDlg.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CLookupEditDlg.h"
#include "view/ui/CShelfwardenView.h"
#include "view/ui/CStarterSetDlg.h"

#include <QClipboard>
#include <QDate>
#include <QGuiApplication>

namespace {

// One step of the history: the change is made already when the step is pushed, so the first
// redo does nothing; a step the catalogue refuses is dropped from the history.
class BookStep : public QUndoCommand {
public:
    BookStep(const QString& text, std::vector<BookChange> changes, CShelfwardenView* view)
        : QUndoCommand(text), m_changes(std::move(changes)), m_pView(view) {}

    void undo() override { Apply(UndoBookChanges); }
    void redo() override {
        if (m_bMade) {
            Apply(RedoBookChanges);
        }
        m_bMade = true;
    }

private:
    using Move = bool (*)(CBookDatabase&, const std::vector<BookChange>&, const MessageSink&);
    void Apply(Move move) {
        if (!move(*m_pView->Database(), m_changes, UserMessageSink())) {
            setObsolete(true);
        }
        m_pView->Relist();
    }

    std::vector<BookChange> m_changes;
    CShelfwardenView* m_pView;
    bool m_bMade = false;
};

} // namespace

CRecordCommands::CRecordCommands(CShelfwardenView* view) : QObject(view), m_pView(view) {
    connect(view, &QAbstractItemView::doubleClicked, this, &CRecordCommands::OnDoubleClick);
    connect(view, &CShelfwardenView::OpenRequested, this, &CRecordCommands::OnDoubleClick);
    // The keys of a catalogue open for reading only change nothing, as its disabled commands.
    connect(view, &CShelfwardenView::DeleteRequested, this, [this] {
        if (!m_pView->IsReadOnly()) {
            OnRecordsDelete();
        }
    });
}

std::optional<StoredBook> CRecordCommands::ReadBook(std::int32_t id) {
    try {
        return ReadStoredBook(*m_pView->Database(), id);
    } catch (const CEngineException&) {
        ShowMessage(msg::kCannotSelect, m_pView);
        return std::nullopt;
    }
}

void CRecordCommands::Remember(const char* text, BookChange change) {
    RememberStep(QString::fromUtf8(text), {std::move(change)});
}

void CRecordCommands::RememberStep(const QString& text, std::vector<BookChange> changes) {
    m_history.push(new BookStep(text, std::move(changes), m_pView));
}

void CRecordCommands::OnEditUndo() {
    m_history.undo();
}

void CRecordCommands::OnEditRedo() {
    m_history.redo();
}

void CRecordCommands::ClearHistory() {
    m_history.clear();
}

void CRecordCommands::OnEditCopy() {
    const std::vector<RowTexts> rows = m_pView->SelectedRows();
    if (!rows.empty()) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(TabSeparatedRows(rows)));
    }
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

void CRecordCommands::OfferDetails(CBookDetailsStore& store, CBookInfoDlg& dlg,
                                   BookDetails& details) {
    auto locations = store.Locations();
    auto series = locations ? store.Series() : std::nullopt;
    if (!series) {
        return;
    }
    dlg.m_aLocations = std::move(*locations);
    dlg.m_aSeries = std::move(*series);
    dlg.m_pDetails = &details;
}

void CRecordCommands::OnRecordsAdd() {
    BookRecord rec;
    rec.tip = 1;
    rec.stare = 1;
    AddBook(rec, {});
}

void CRecordCommands::OfferStarterSet() {
    CBookDatabase* db = m_pView->Database();
    const bool noTypes = m_pView->Types().GetSize() == 0;
    const bool noStates = m_pView->States().GetSize() == 0;
    if (!db->IsOpen() || m_pView->IsReadOnly() || (!noTypes && !noStates) ||
        !m_starterOffered.insert(db->GetPath()).second) {
        return;
    }
    CStarterSetDlg dlg(noTypes, noStates, m_pView);
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    // A refusal has been told; the lists then stay empty and the caller says so.
    AddStarterLookups(*db, dlg.Types(), dlg.States());
    m_pView->ReloadLookups();
    m_pView->RefreshCurrentQuery();
}

CBookDatabase* CRecordCommands::DatabaseForAdding() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return nullptr;
    }
    OfferStarterSet();
    if (m_pView->Types().GetSize() == 0) {
        ShowMessage(msg::kNoTypeDefined, m_pView);
        return nullptr;
    }
    if (m_pView->States().GetSize() == 0) {
        ShowMessage(msg::kNoStateDefined, m_pView);
        return nullptr;
    }
    return db;
}

bool CRecordCommands::AddBook(const BookRecord& start, const BookDetails& known,
                              const QImage& cover, const QString& note, bool copyConfirmed) {
    CBookDatabase* db = DatabaseForAdding();
    if (!db) {
        return false;
    }
    BookRecord rec = start;
    BookDetails details = known;
    CBookDetailsStore store(*db, UserMessageSink());
    CBookInfoDlg dlg(m_pView);
    dlg.m_aTypes = m_pView->Types();
    dlg.m_aStates = m_pView->States();
    dlg.m_pRecord = &rec;
    if (!copyConfirmed) {
        dlg.m_holdsBook = [db](const std::string& titlu, const std::string& autor) {
            try {
                return CatalogueHoldsBook(*db, titlu, autor);
            } catch (const CEngineException&) {
                return false; // the insert that follows meets the same fault and reports it
            }
        };
    }
    dlg.m_cover = cover;
    CBookCoverStore covers(*db, UserMessageSink());
    dlg.m_bCoversUsable = covers.IsUsable();
    dlg.m_note = note;
    dlg.m_bKeepUnknownNumbers = true; // Adauga starts from numbers, a look-up may know none
    OfferDetails(store, dlg, details);
    if (dlg.exec() != QDialog::Accepted) {
        return false;
    }
    if (dlg.m_pDetails && !details.IsEmpty()) {
        details.adaugata = IsoText(QDate::currentDate());
    } else {
        details = {};
    }
    // The book and its details go in together or not at all.
    const std::optional<std::int32_t> id = store.AddBook(rec, details);
    if (!id) {
        return false;
    }
    // The row carries the identifier the catalogue gave this very row: a title may be shared.
    // A cover that cannot be kept has been told; the book stays without it.
    if (!dlg.m_chosenCover.isEmpty()) {
        covers.Write(*id, dlg.m_chosenCover.toStdString());
    }
    RowTexts texts = RowTextsFromRecord(rec, m_pView->Types(), m_pView->States());
    texts[0] = FormatBookId(*id);
    m_pView->Model()->AppendRow(texts, details);
    if (auto added = ReadBook(*id)) {
        Remember("Adauga", {*id, std::nullopt, std::move(added), std::nullopt, {}});
    }
    return true;
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
    std::optional<LoanClosing> closing;
    if (m_deleteCheck && !m_deleteCheck(rec.id, closing)) {
        return;
    }
    std::optional<StoredBook> before = ReadBook(rec.id);
    if (closing && before) {
        // The book and its loan go together, and come back together on undo.
        BookChange change{rec.id, std::move(before), std::nullopt, std::move(closing), {}};
        if (RedoBookChange(*db, change, UserMessageSink())) {
            Remember("Sterge", std::move(change));
        }
    } else if (db->DeleteBook(rec.id) && before) {
        Remember("Sterge", {rec.id, std::move(before), std::nullopt, std::nullopt, {}});
    }
    m_pView->ClearList();
    m_pView->ListAllBooks();
}

void CRecordCommands::OnRecordsModify() {
    if (m_pView->OpenDatabaseOrComplain()) {
        EditSelectedBook();
    }
}

void CRecordCommands::OnDoubleClick() {
    if (!m_pView->IsReadOnly()) {
        EditSelectedBook();
    }
}

void CRecordCommands::EditSelectedBook() {
    const int row = m_pView->FirstSelectedRow();
    if (row < 0) {
        return;
    }
    BookRecord edited;
    m_pView->ReadRow(edited, row);
    CBookDetailsStore store(*m_pView->Database(), UserMessageSink());
    const std::optional<BookDetails> stored = store.Read(edited.id);
    BookDetails details = stored.value_or(BookDetails{});
    CBookInfoDlg dlg(m_pView);
    dlg.m_aTypes = m_pView->Types();
    dlg.m_aStates = m_pView->States();
    dlg.m_pRecord = &edited;
    if (stored) {
        OfferDetails(store, dlg, details);
    }
    if (m_coverOf && !details.isbn.empty()) {
        dlg.m_cover = m_coverOf(details.isbn);
    }
    CBookCoverStore covers(*m_pView->Database(), UserMessageSink());
    const std::optional<std::string> storedCover = covers.Read(edited.id);
    dlg.m_bCoversUsable = storedCover.has_value();
    dlg.m_chosenCover = QByteArray::fromStdString(storedCover.value_or(std::string()));
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    BookRecord before;
    m_pView->ReadRow(before, row);
    const bool bookChanged = !SameUserFields(edited, before);
    const bool detailsChanged = dlg.m_pDetails && details != *stored;
    const std::string chosenCover = dlg.m_chosenCover.toStdString();
    const bool coverChanged = storedCover && chosenCover != *storedCover;
    if (!bookChanged && !detailsChanged && !coverChanged) {
        return;
    }
    const BookRecord& a = edited;
    std::optional<StoredBook> storedBook = ReadBook(a.id);
    if (bookChanged && !m_pView->Database()->UpdateBook(
                           a.id, a.titlu, a.autor, a.editura, StoredLookupValue(a.tip), a.pagini,
                           a.capitole, a.volume, a.publicare, a.publicare_volum, a.citita,
                           a.calificativ, StoredLookupValue(a.stare))) {
        return;
    }
    const bool detailsKept = !detailsChanged || store.Write(a.id, details);
    const bool coverKept = coverChanged && covers.Write(a.id, chosenCover);
    if (!detailsKept && !bookChanged && !coverKept) {
        return;
    }
    m_pView->SetRowTexts(a, row, detailsKept ? details : stored.value_or(BookDetails{}));
    if (auto after = ReadBook(a.id); storedBook && after) {
        Remember("Modifica", {a.id, std::move(storedBook), std::move(after), std::nullopt, {}});
    }
}
