#include "CShelfwardenView.h"

#include "AppSettings.h"
#include "CBookDatabase.h"
#include "CBookInfoDlg.h"
#include "CBookListModel.h"
#include "CCompositeSearchDlg.h"
#include "CGeneralStatsDlg.h"
#include "CLookupEditDlg.h"
#include "CNumericSearchDlg.h"
#include "COptionsSheet.h"
#include "CResultListDlg.h"
#include "CSearchComboDlg.h"
#include "CSearchTextDlg.h"
#include "CShelfwardenDoc.h"
#include "CatalogueMessages.h"
#include "DialogParts.h"
#include "Prompts.h"
#include "StatementFormat.h"

#include <QFileInfo>
#include <QHeaderView>

CShelfwardenView::CShelfwardenView(CShelfwardenDoc* doc, QWidget* parent)
    : QTableView(parent), m_pDocument(doc), m_pModel(new CBookListModel(this)) {
    setModel(m_pModel);
    setObjectName(QStringLiteral("bookList"));
}

CShelfwardenView::~CShelfwardenView() = default;

CBookDatabase* CShelfwardenView::Database() const {
    return m_pDocument->GetDatabase();
}

CBookDatabase* CShelfwardenView::OpenDatabaseOrComplain() const {
    CBookDatabase* db = Database();
    if (!db->IsOpen()) {
        ShowMessage(msg::kNoDatabaseOpen);
        return nullptr;
    }
    return db;
}

void CShelfwardenView::OnInitialUpdate() {
    if (!m_bColumnsMade) {
        m_bColumnsMade = true;
        setShowGrid(true);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setWordWrap(false);
        setSortingEnabled(false);
        verticalHeader()->hide();
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6); // list-control rows
        horizontalHeader()->setSectionsMovable(true);
        horizontalHeader()->setSectionsClickable(true);
        horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        horizontalHeader()->setHighlightSections(false);
        for (int c = 0; c < kBookColumnCount; ++c) {
            setColumnWidth(c, BookListColumns()[static_cast<std::size_t>(c)].width);
        }
        connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
                &CShelfwardenView::OnColumnClick);
        connect(this, &QAbstractItemView::doubleClicked, this, &CShelfwardenView::OnDoubleClick);
    }
    ApplyColors();
    ClearList();
    m_types.RemoveAll();
    m_states.RemoveAll();
    CBookDatabase* db = Database();
    const bool openedByFramework = db->IsOpen();
    if (Settings().defaultOpen != 0 && !openedByFramework) {
        db->Open(Settings().dbPath.toStdString());
    }
    if (Settings().defaultOpen != 0 || openedByFramework) {
        ReloadLookups();
        ListAllBooks();
    }
}

void CShelfwardenView::ApplyColors() {
    const QColor background = Settings().Background();
    const QColor text = Settings().Foreground();
    QPalette p = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Base, background);
        p.setColor(group, QPalette::AlternateBase, background);
        p.setColor(group, QPalette::Text, text);
    }
    setPalette(p);
    viewport()->update();
}

void CShelfwardenView::FillList(CEngineRecordset& set) {
    if (set.GetRecordCount() <= 0) {
        return;
    }
    if (auto rows = ReadBookRows(set, m_types, m_states, UserMessageSink())) {
        m_pModel->ResetRows(std::move(*rows));
    }
}

void CShelfwardenView::SetRowTexts(const BookRecord& rec, int row) {
    m_pModel->SetRowTexts(row, RowTextsFromRecord(rec, m_types, m_states));
}

void CShelfwardenView::ReadRow(BookRecord& rec, int row) const {
    rec = RecordFromRowTexts(m_pModel->Row(row), m_types, m_states);
}

void CShelfwardenView::ClearList() {
    m_pModel->Clear();
    m_strCurrentQuery.clear();
}

void CShelfwardenView::ListSelection(std::unique_ptr<CEngineRecordset> set,
                                     const char* currentQuery) {
    m_pModel->Clear();
    if (set) {
        m_strCurrentQuery = currentQuery;
        FillList(*set);
    }
}

void CShelfwardenView::OnViewAllBooks() {
    ListSelection(Database()->SelectAllBooks(), "SELECT * FROM books");
}

void CShelfwardenView::OnViewReadBooks() {
    ListSelection(Database()->SelectReadBooks(), "SELECT * FROM books WHERE citita = -1");
}

void CShelfwardenView::OnViewUnreadBooks() {
    ListSelection(Database()->SelectUnreadBooks(), "SELECT * FROM books WHERE citita = 0");
}

void CShelfwardenView::ListAllBooks() {
    auto set = Database()->SelectAllBooks();
    if (set) {
        FillList(*set);
        m_strCurrentQuery = "SELECT * FROM books";
    }
}

void CShelfwardenView::ListQuery(const std::string& statement) {
    auto set = Database()->OpenQuery(statement);
    if (set) {
        FillList(*set);
    }
}

void CShelfwardenView::OnColumnClick(int column) {
    if (m_strCurrentQuery.empty() || column < 0 || column >= kBookColumnCount) {
        return;
    }
    ListQuery(SortStatement(m_strCurrentQuery, column));
}

void CShelfwardenView::RefreshCurrentQuery() {
    if (!m_strCurrentQuery.empty()) {
        ListQuery(m_strCurrentQuery + " ORDER BY titlu");
    }
}

void CShelfwardenView::ReloadLookups() {
    ReloadLookupList(*Database(), LookupKind::Types, kReloadTypesStatement, m_types);
    ReloadLookupList(*Database(), LookupKind::States, kReloadStatesStatement, m_states);
}

std::int32_t CShelfwardenView::FindTypeIdByName(const std::string& text) const {
    return m_types.FindIdByName(text);
}

std::int32_t CShelfwardenView::FindStateIdByName(const std::string& text) const {
    return m_states.FindIdByName(text);
}

int CShelfwardenView::FindTypeIndexById(std::int32_t id) const {
    return m_types.FindIndexById(id);
}

int CShelfwardenView::FindStateIndexById(std::int32_t id) const {
    return m_states.FindIndexById(id);
}

int CShelfwardenView::FirstSelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    return first;
}

void CShelfwardenView::SetFrameTitle(const QString& title) {
    window()->setWindowTitle(title);
}

void CShelfwardenView::ShowCatalogue() {
    ClearList();
    if (Database()->IsOpen()) {
        ReloadLookups();
        ListAllBooks();
    } else {
        m_types.RemoveAll();
        m_states.RemoveAll();
    }
}

void CShelfwardenView::OnFileNew() {
    if (m_pDocument->OnNewDocument()) {
        ShowCatalogue();
    }
    SetFrameTitle(QStringLiteral("Shelf Warden - ") + m_pDocument->GetTitle());
}

void CShelfwardenView::OnFileOpen() {
    const auto path = ChooseCatalogueFile(FileDialogMode::Open, this);
    if (!path) {
        return;
    }
    m_pDocument->OnOpenDocument(*path);
    SetFrameTitle(QStringLiteral("Shelfwarden - ") + QFileInfo(*path).fileName());
    ReloadLookups();
    ClearList();
    ListAllBooks();
    if (Database()->IsOpen()) {
        emit CatalogueNamed(*path);
    }
}

void CShelfwardenView::OnFileSaveAs() {
    const auto path = ChooseCatalogueFile(FileDialogMode::Save, this);
    if (!path || !m_pDocument->OnSaveDocument(*path)) {
        return; // a failed copy has said why and left everything as it was
    }
    SetFrameTitle(QStringLiteral("Shelfwarden - ") + QFileInfo(*path).fileName());
    // From here on every command goes to the copy: show its rows, not the source's.
    const std::string listing = m_strCurrentQuery;
    ReloadLookups();
    ClearList();
    m_strCurrentQuery = listing;
    RefreshCurrentQuery();
    emit CatalogueNamed(*path);
}

void CShelfwardenView::OnFileClose() {
    CBookDatabase* db = Database();
    if (!db->IsOpen()) {
        return;
    }
    db->Close();
    SetFrameTitle(QStringLiteral("Shelfwarden"));
    ShowCatalogue();
}

void CShelfwardenView::RunSearch(const std::string& base, const char* nothingFound, Replace when) {
    if (when == Replace::BeforeRunning) {
        m_strCurrentQuery = base;
    }
    auto set = Database()->OpenQuery(ListingStatement(base));
    if (!set) {
        return;
    }
    m_strCurrentQuery = base;
    if (set->GetRecordCount() > 0) {
        FillList(*set);
    } else {
        ShowMessage(nothingFound, this);
    }
}

void CShelfwardenView::SearchText(const FieldSearch& search) {
    if (!OpenDatabaseOrComplain()) {
        return;
    }
    CSearchTextDlg dlg(this);
    dlg.m_strLabel = "Search for";
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    RunSearch(FormatStatement(search.baseStatement, dlg.m_strValue), search.nothingFound,
              Replace::OnceRun);
}

void CShelfwardenView::SearchChoice(int listKind, const FieldSearch& search) {
    if (!OpenDatabaseOrComplain()) {
        return;
    }
    CSearchComboDlg dlg(this);
    dlg.m_nListKind = listKind;
    dlg.m_aTypes = m_types;
    dlg.m_aStates = m_states;
    if (dlg.exec() != QDialog::Accepted || dlg.m_nSelection < 0) {
        return; // an empty list offers nothing to search for
    }
    int value = dlg.m_nSelection;
    if (listKind == 0) {
        value = m_types.At(dlg.m_nSelection).GetId() - 1;
    } else if (listKind == 2) {
        value = m_states.At(dlg.m_nSelection).GetId() - 1;
    }
    RunSearch(FormatStatement(search.baseStatement, value), search.nothingFound, Replace::OnceRun);
}

void CShelfwardenView::OnSearchTitle() {
    SearchText(kSearchTitle);
}
void CShelfwardenView::OnSearchAuthor() {
    SearchText(kSearchAuthor);
}
void CShelfwardenView::OnSearchPublisher() {
    SearchText(kSearchPublisher);
}
void CShelfwardenView::OnSearchType() {
    SearchChoice(0, kSearchType);
}
void CShelfwardenView::OnSearchRating() {
    SearchChoice(1, kSearchRating);
}
void CShelfwardenView::OnSearchState() {
    SearchChoice(2, kSearchState);
}

void CShelfwardenView::SearchNumber(const NumericSearch& search) {
    if (!OpenDatabaseOrComplain()) {
        return;
    }
    CNumericSearchDlg dlg(this);
    dlg.m_nSearchKind = 0;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    RunSearch(
        NumericSearchStatement(search, dlg.m_nSearchKind, dlg.m_nValue, dlg.m_nMin, dlg.m_nMax),
        search.nothingFound, Replace::BeforeRunning);
}

void CShelfwardenView::OnSearchPages() {
    SearchNumber(kSearchPages);
}
void CShelfwardenView::OnSearchChapters() {
    SearchNumber(kSearchChapters);
}
void CShelfwardenView::OnSearchVolumes() {
    SearchNumber(kSearchVolumes);
}
void CShelfwardenView::OnSearchFirstPublished() {
    SearchNumber(kSearchFirstPublished);
}
void CShelfwardenView::OnSearchVolumePublished() {
    SearchNumber(kSearchVolumePublished);
}

void CShelfwardenView::OnSearchComposite() {
    if (!OpenDatabaseOrComplain()) {
        return;
    }
    CCompositeSearchDlg dlg(this);
    dlg.m_aTypes = m_types;
    dlg.m_aStates = m_states;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    const std::string statement = CompositeStatement(dlg.Criteria());
    if (statement.empty()) {
        return; // no box checked: no search at all
    }
    RunSearch(statement, kCompositeNothingFound, Replace::BeforeRunning);
}

void CShelfwardenView::EditLookups(const char* kind) {
    CBookDatabase* db = OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    CLookupEditDlg dlg(this);
    dlg.m_pDatabase = db;
    dlg.m_strKind = kind;
    dlg.exec();
    // Every change went to the catalogue at once, so it counts however the editor was closed.
    if (dlg.m_bChanged) {
        ReloadLookups();
        RefreshCurrentQuery();
    }
}

void CShelfwardenView::OnEditTypes() {
    EditLookups("Tip");
}
void CShelfwardenView::OnEditStates() {
    EditLookups("Stare");
}

void CShelfwardenView::OnRecordsAdd() {
    CBookDatabase* db = OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    if (m_types.GetSize() == 0) {
        ShowMessage(msg::kNoTypeDefined, this);
        return;
    }
    if (m_states.GetSize() == 0) {
        ShowMessage(msg::kNoStateDefined, this);
        return;
    }
    BookRecord rec;
    rec.tip = 1;
    rec.stare = 1;
    CBookInfoDlg dlg(this);
    dlg.m_aTypes = m_types;
    dlg.m_aStates = m_states;
    dlg.m_pRecord = &rec;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    if (!db->InsertBook(rec.titlu, rec.autor, rec.editura, rec.tip - 1, rec.pagini, rec.capitole,
                        rec.volume, rec.publicare, rec.publicare_volum, rec.citita, rec.calificativ,
                        rec.stare - 1)) {
        return;
    }
    // The row carries the identifier the catalogue gave this very row: a title may be shared.
    RowTexts texts = RowTextsFromRecord(rec, m_types, m_states);
    texts[0] = FormatBookId(db->GetLastInsertedId());
    m_pModel->AppendRow(texts);
}

void CShelfwardenView::OnRecordsDelete() {
    CBookDatabase* db = OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    const int row = FirstSelectedRow();
    if (row < 0) {
        return;
    }
    BookRecord rec;
    ReadRow(rec, row);
    db->DeleteBook(rec.id);
    ClearList();
    ListAllBooks();
}

void CShelfwardenView::OnRecordsModify() {
    if (OpenDatabaseOrComplain()) {
        EditSelectedBook();
    }
}

void CShelfwardenView::OnDoubleClick() {
    EditSelectedBook();
}

void CShelfwardenView::EditSelectedBook() {
    const int row = FirstSelectedRow();
    if (row < 0) {
        return;
    }
    BookRecord edited;
    ReadRow(edited, row);
    CBookInfoDlg dlg(this);
    dlg.m_aTypes = m_types;
    dlg.m_aStates = m_states;
    dlg.m_pRecord = &edited;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    BookRecord before;
    ReadRow(before, row);
    if (SameUserFields(edited, before)) {
        return;
    }
    const BookRecord& a = edited;
    if (Database()->UpdateBook(a.id, a.titlu, a.autor, a.editura, a.tip - 1, a.pagini, a.capitole,
                               a.volume, a.publicare, a.publicare_volum, a.citita, a.calificativ,
                               a.stare - 1)) {
        SetRowTexts(a, row);
    }
}

void CShelfwardenView::OnGeneralStats() {
    CBookDatabase* db = OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    const auto statistics = ComputeGeneralStatistics(*db);
    if (!statistics) {
        return;
    }
    CGeneralStatsDlg dlg(*statistics, this);
    dlg.exec();
}

void CShelfwardenView::ShowNameStatistics(int mode) {
    CBookDatabase* db = OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    CResultListDlg dlg(this);
    dlg.m_pDatabase = db;
    dlg.m_nMode = mode;
    dlg.exec();
}

void CShelfwardenView::OnAuthorStats() {
    ShowNameStatistics(0);
}
void CShelfwardenView::OnPublisherStats() {
    ShowNameStatistics(1);
}

void CShelfwardenView::OnOptions() {
    COptionsSheet sheet(this);
    AppSettings& s = Settings();
    CPropColorsDlg& colors = *sheet.m_pColorsPage;
    colors.m_nBgRed = s.bgRed;
    colors.m_nBgGreen = s.bgGreen;
    colors.m_nBgBlue = s.bgBlue;
    colors.m_nFgRed = s.fgRed;
    colors.m_nFgGreen = s.fgGreen;
    colors.m_nFgBlue = s.fgBlue;
    colors.PaintSwatches();
    CPropOpenDlg& open = *sheet.m_pOpenPage;
    open.m_nOpenAtStart = s.defaultOpen;
    open.m_strPath = s.dbPath;
    open.UpdateControls();
    if (sheet.exec() != QDialog::Accepted) {
        return;
    }
    s.bgRed = colors.m_nBgRed;
    s.bgGreen = colors.m_nBgGreen;
    s.bgBlue = colors.m_nBgBlue;
    s.fgRed = colors.m_nFgRed;
    s.fgGreen = colors.m_nFgGreen;
    s.fgBlue = colors.m_nFgBlue;
    s.defaultOpen = open.m_nOpenAtStart;
    s.dbPath = open.m_strPath;
    SaveSettings();
    ApplyColors();
}
