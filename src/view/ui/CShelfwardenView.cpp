#include "view/ui/CShelfwardenView.h"

#include "shell/AppSettings.h"
#include "shell/CShelfwardenDoc.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "store/CatalogueMessages.h"
#include "view/ui/CBookListModel.h"

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
    }
    ApplyColors();
    ClearList();
    m_types.RemoveAll();
    m_states.RemoveAll();
    const bool openedByFramework = Database()->IsOpen();
    if (Settings().defaultOpen != 0 && !openedByFramework) {
        m_pDocument->OnOpenDocument(Settings().dbPath);
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

int CShelfwardenView::FirstSelectedRow() const {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        if (first < 0 || index.row() < first) {
            first = index.row();
        }
    }
    return first;
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
