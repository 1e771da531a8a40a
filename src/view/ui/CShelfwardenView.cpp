#include "view/ui/CShelfwardenView.h"

#include "isbn/CBookDetailsStore.h"
#include "shell/AppSettings.h"
#include "shell/CShelfwardenDoc.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "store/CatalogueMessages.h"
#include "store/StatementFormat.h"
#include "view/ListingQuery.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/ListLayoutSettings.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <unordered_map>

namespace {
// A moment after the last change of the header, so that a drag writes the settings once.
constexpr int kLayoutSaveDelayMs = 500;
constexpr std::size_t kStateColumn = 12;

// The columns in their order on screen, those hidden left out: a row is read as it is seen.
std::vector<int> ShownColumns(const QTableView& view) {
    const QHeaderView* header = view.horizontalHeader();
    std::vector<int> shown;
    for (int visual = 0; visual < header->count(); ++visual) {
        if (const int column = header->logicalIndex(visual); !view.isColumnHidden(column)) {
            shown.push_back(column);
        }
    }
    return shown;
}
} // namespace

CShelfwardenView::CShelfwardenView(CShelfwardenDoc* doc, QWidget* parent)
    : QTableView(parent), m_pDocument(doc), m_pModel(new CBookListModel(this)) {
    setModel(m_pModel);
    setObjectName(QStringLiteral("bookList"));
    // No label stands beside the list; a screen reader gets what a sighted person sees in it.
    setAccessibleName(QStringLiteral("Lista cartilor"));
    m_saveLayout.setSingleShot(true);
    m_saveLayout.setInterval(kLayoutSaveDelayMs);
    connect(&m_saveLayout, &QTimer::timeout, this, &CShelfwardenView::SaveLayout);
}

CShelfwardenView::~CShelfwardenView() {
    if (m_saveLayout.isActive()) {
        SaveLayout();
    }
}

CBookDatabase* CShelfwardenView::Database() const {
    return m_pDocument->GetDatabase();
}

bool CShelfwardenView::IsReadOnly() const {
    return m_pDocument->IsReadOnly();
}

CBookDatabase* CShelfwardenView::OpenDatabaseOrComplain() const {
    CBookDatabase* db = Database();
    if (!db->IsOpen()) {
        ShowMessage(msg::kNoDatabaseOpen);
        return nullptr;
    }
    return db;
}

void CShelfwardenView::MakeColumns() {
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A list of rows: Tab moves on to the next control instead of walking the cells.
    setTabKeyNavigation(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setSortingEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FitRowsToFont();
    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    m_layout = LoadListLayout();
    // The state a lent book usually has is read whole at the starting width, whatever the font.
    auto& state = m_layout.widths[kStateColumn];
    if (state == BookListColumns()[kStateColumn].width) {
        state = std::max(state, fontMetrics().horizontalAdvance(QStringLiteral("Imprumutata")) +
                                    2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12);
    }
    for (int c = 0; c < kBookColumnCount; ++c) {
        setColumnWidth(c, m_layout.widths[static_cast<std::size_t>(c)]);
    }
    for (int visual = 0; visual < kBookColumnCount; ++visual) {
        header->moveSection(header->visualIndex(m_layout.order[static_cast<std::size_t>(visual)]),
                            visual);
    }
    MakeDetailColumns();
    connect(header, &QHeaderView::sectionClicked, this, &CShelfwardenView::OnColumnClick);
    connect(header, &QHeaderView::sectionResized, this, &CShelfwardenView::LayoutChanged);
    connect(header, &QHeaderView::sectionMoved, this, &CShelfwardenView::LayoutChanged);
    m_pModel->SetReadingOrder(ShownColumns(*this));
}

void CShelfwardenView::MakeDetailColumns() {
    QHeaderView* header = horizontalHeader();
    header->setContextMenuPolicy(Qt::ActionsContextMenu);
    const DetailColumns shown = LoadDetailColumns();
    for (const int column : {kIsbnColumn, kLocationColumn}) {
        const bool isbn = column == kIsbnColumn;
        setColumnWidth(column, isbn ? shown.isbnWidth : shown.locationWidth);
        setColumnHidden(column, !(isbn ? shown.isbn : shown.location));
        auto* action = new QAction(QString::fromUtf8(ListedDetailHeader(column)), header);
        action->setCheckable(true);
        action->setChecked(!isColumnHidden(column));
        connect(action, &QAction::toggled, this, [this, column](bool on) {
            setColumnHidden(column, !on);
            FitColumns();
            LayoutChanged();
        });
        header->addAction(action);
    }
}

// Home and End go to the first and the last book, as in every list of rows.
QModelIndex CShelfwardenView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const int rows = m_pModel->rowCount();
    if ((action == MoveHome || action == MoveEnd) && rows > 0) {
        const int column = std::max(currentIndex().column(), 0);
        return m_pModel->index(action == MoveHome ? 0 : rows - 1, column);
    }
    return QTableView::moveCursor(action, modifiers);
}

QAction* CShelfwardenView::SortByColumnAction() {
    auto* columns = new QMenu(this);
    connect(columns, &QMenu::aboutToShow, this, [this, columns] {
        columns->clear();
        QHeaderView* header = horizontalHeader();
        for (int visual = 0; visual < header->count(); ++visual) {
            const int column = header->logicalIndex(visual);
            if (column < kBookColumnCount && !isColumnHidden(column)) {
                columns->addAction(m_pModel->headerData(column, Qt::Horizontal).toString(), this,
                                   [this, column] { OnColumnClick(column); });
            }
        }
    });
    QAction* sort = columns->menuAction();
    sort->setText(QStringLiteral("&Ordoneaza dupa"));
    sort->setObjectName(QStringLiteral("viewSortBy"));
    return sort;
}

int CShelfwardenView::DetailColumnsWidth() const {
    int width = 0;
    for (const int column : {kIsbnColumn, kLocationColumn}) {
        if (!isColumnHidden(column)) {
            width += columnWidth(column);
        }
    }
    return width;
}

void CShelfwardenView::OnInitialUpdate() {
    if (!m_bColumnsMade) {
        m_bColumnsMade = true;
        MakeColumns();
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

void CShelfwardenView::LayoutChanged() {
    m_pModel->SetReadingOrder(ShownColumns(*this));
    m_saveLayout.start();
}

void CShelfwardenView::SaveLayout() {
    m_saveLayout.stop();
    const QHeaderView* header = horizontalHeader();
    std::size_t shown = 0;
    for (int visual = 0; visual < kListedColumnCount; ++visual) {
        if (const int c = header->logicalIndex(visual); c < kBookColumnCount) {
            m_layout.widths[static_cast<std::size_t>(c)] = header->sectionSize(c);
            m_layout.order[shown++] = c;
        }
    }
    SaveListLayout(m_layout);
    // A hidden column has no width of its own: the one it had is kept for when it comes back.
    DetailColumns details = LoadDetailColumns();
    details.isbn = !isColumnHidden(kIsbnColumn);
    details.location = !isColumnHidden(kLocationColumn);
    details.isbnWidth = details.isbn ? columnWidth(kIsbnColumn) : details.isbnWidth;
    details.locationWidth = details.location ? columnWidth(kLocationColumn) : details.locationWidth;
    SaveDetailColumns(details);
}

void CShelfwardenView::FitRowsToFont() {
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6); // list-control rows
}

// A larger or smaller font chosen on the desktop while the program runs makes the rows fit it.
void CShelfwardenView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        FitRowsToFont();
    }
}

void CShelfwardenView::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    if (m_bColumnsMade) {
        FitColumns();
    }
}

void CShelfwardenView::FitColumns() {
    ColumnNumbers widths{};
    for (int c = 0; c < kBookColumnCount; ++c) {
        widths[static_cast<std::size_t>(c)] = columnWidth(c);
    }
    const ColumnNumbers fitted =
        FitColumnWidths(widths, viewport()->width() - DetailColumnsWidth());
    for (int c = 0; c < kBookColumnCount; ++c) {
        if (fitted[static_cast<std::size_t>(c)] != widths[static_cast<std::size_t>(c)]) {
            setColumnWidth(c, fitted[static_cast<std::size_t>(c)]);
        }
    }
}

void CShelfwardenView::keyPressEvent(QKeyEvent* event) {
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        FirstSelectedRow() >= 0) {
        emit OpenRequested();
        return;
    }
    if (plain && event->key() == Qt::Key_Delete) {
        emit DeleteRequested();
        return;
    }
    // After a new listing nothing is chosen: the first arrow chooses the row the list stands on
    // (the first), so that a listing of one book can be chosen from the keyboard too.
    const bool moving = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down ||
                        event->key() == Qt::Key_PageUp || event->key() == Qt::Key_PageDown;
    if (plain && moving && m_pModel->rowCount() > 0 && !selectionModel()->hasSelection()) {
        const QModelIndex at = currentIndex().isValid() ? currentIndex() : m_pModel->index(0, 0);
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
        return;
    }
    // The menu key and Shift+F10 open the row's menu beside the current row.
    if ((plain && event->key() == Qt::Key_Menu) ||
        (event->modifiers() == Qt::ShiftModifier && event->key() == Qt::Key_F10)) {
        const QRect cell = visualRect(currentIndex());
        const QPoint at = viewport()->mapTo(this, cell.isValid() ? cell.center() : QPoint());
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, mapToGlobal(at));
        QFrame::event(&menu);
        return;
    }
    QTableView::keyPressEvent(event);
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

void CShelfwardenView::FillList(ListingQuery& listing) {
    if (listing.IsEmpty()) {
        return;
    }
    if (auto rows = listing.Read(m_types, m_states, UserMessageSink())) {
        m_pModel->ResetRows(std::move(*rows), ReadListedDetails(*Database()));
    }
}

void CShelfwardenView::SetRowTexts(const BookRecord& rec, int row, const BookDetails& details) {
    m_pModel->SetRowTexts(row, RowTextsFromRecord(rec, m_types, m_states), details);
}

void CShelfwardenView::ReadRow(BookRecord& rec, int row) const {
    rec = RecordFromRowTexts(m_pModel->Row(row), m_types, m_states);
}

void CShelfwardenView::ClearList() {
    m_pModel->Clear();
    m_strCurrentQuery.clear();
    ForgetSort();
}

void CShelfwardenView::SetCurrentQuery(const std::string& statement) {
    m_strCurrentQuery = statement;
    ForgetSort();
}

void CShelfwardenView::ForgetSort() {
    m_sortColumn = -1;
    m_sortDescending = false;
    if (m_bColumnsMade) {
        horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    }
}

void CShelfwardenView::ListSelection(const char* currentQuery) {
    m_pModel->Clear();
    ForgetSort();
    if (ListQuery(std::string(currentQuery) + " ORDER BY titlu")) {
        m_strCurrentQuery = currentQuery;
    }
}

void CShelfwardenView::OnViewAllBooks() {
    ListSelection("SELECT * FROM books");
}

void CShelfwardenView::OnViewReadBooks() {
    ListSelection("SELECT * FROM books WHERE citita = -1");
}

void CShelfwardenView::OnViewUnreadBooks() {
    ListSelection("SELECT * FROM books WHERE citita = 0");
}

void CShelfwardenView::ListAllBooks() {
    if (ListQuery("SELECT * FROM books ORDER BY titlu")) {
        m_strCurrentQuery = "SELECT * FROM books";
        ForgetSort();
    }
}

bool CShelfwardenView::ListQuery(const std::string& statement) {
    auto listing = ListingQuery::Open(*Database(), statement);
    if (listing) {
        FillList(*listing);
    }
    return listing != nullptr;
}

void CShelfwardenView::OnColumnClick(int column) {
    if (m_strCurrentQuery.empty() || column < 0 || column >= kBookColumnCount) {
        // The header turned its arrow on the click; the list did not change.
        horizontalHeader()->setSortIndicator(m_sortColumn, m_sortDescending ? Qt::DescendingOrder
                                                                            : Qt::AscendingOrder);
        return;
    }
    // Ascending unless the user chose to have a second click on the same header reverse it.
    SortBy(column,
           Settings().reverseOnSecondClick != 0 && column == m_sortColumn && !m_sortDescending);
}

void CShelfwardenView::SortBy(int column, bool descending) {
    if (ListQuery(SortStatement(m_strCurrentQuery, column, descending))) {
        m_sortColumn = column;
        m_sortDescending = descending;
    }
    horizontalHeader()->setSortIndicator(m_sortColumn, m_sortDescending ? Qt::DescendingOrder
                                                                        : Qt::AscendingOrder);
    scrollToTop();
}

void CShelfwardenView::RefreshCurrentQuery() {
    if (!m_strCurrentQuery.empty()) {
        ForgetSort();
        ListQuery(m_strCurrentQuery + " ORDER BY titlu");
    }
}

void CShelfwardenView::Relist() {
    if (m_strCurrentQuery.empty()) {
        ListAllBooks();
        return;
    }
    auto listing = ListingQuery::Open(
        *Database(), m_sortColumn >= 0
                         ? SortStatement(m_strCurrentQuery, m_sortColumn, m_sortDescending)
                         : m_strCurrentQuery + " ORDER BY titlu");
    if (listing) {
        m_pModel->Clear();
        FillList(*listing);
    }
}

std::vector<RowTexts> CShelfwardenView::SelectedRows() const {
    QModelIndexList selected = selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end());
    std::vector<RowTexts> rows;
    rows.reserve(static_cast<std::size_t>(selected.size()));
    for (const QModelIndex& index : selected) {
        rows.push_back(m_pModel->Row(index.row()));
    }
    return rows;
}

void CShelfwardenView::OnSelectAll() {
    selectAll();
    setFocus();
}

std::vector<std::int32_t> CShelfwardenView::SelectedBookIds() const {
    QModelIndexList selected = selectionModel()->selectedRows();
    std::sort(selected.begin(), selected.end());
    std::vector<std::int32_t> ids;
    ids.reserve(static_cast<std::size_t>(selected.size()));
    for (const QModelIndex& index : selected) {
        ids.push_back(m_pModel->BookId(index.row()));
    }
    return ids;
}

void CShelfwardenView::RefreshBooks(const std::vector<std::int32_t>& books) {
    if (books.empty()) {
        return;
    }
    auto listing =
        ListingQuery::Open(*Database(), "SELECT * FROM books WHERE id IN (" + IdList(books) + ")");
    if (!listing || listing->IsEmpty()) {
        return;
    }
    const auto rows = listing->Read(m_types, m_states, UserMessageSink());
    if (!rows) {
        return;
    }
    std::unordered_map<std::int32_t, int> fresh;
    for (int i = 0; i < rows->RowCount(); ++i) {
        fresh.emplace(rows->Id(i), i);
    }
    CBookDetailsStore details(*Database(), {});
    for (int row = 0; row < m_pModel->rowCount(); ++row) {
        const std::int32_t id = m_pModel->BookId(row);
        if (const auto at = fresh.find(id); at != fresh.end()) {
            m_pModel->SetRowTexts(row, rows->Row(at->second),
                                  details.Read(id).value_or(BookDetails{}));
        }
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

bool CShelfwardenView::ShowBook(std::int32_t book) {
    const QString id = QString::fromStdString(FormatBookId(book));
    auto find = [this, &id] {
        for (int row = 0; row < m_pModel->rowCount(); ++row) {
            if (m_pModel->Text(row, 0) == id) {
                return row;
            }
        }
        return -1;
    };
    int row = find();
    if (row < 0) {
        ClearList();
        ListAllBooks();
        row = find();
    }
    if (row < 0) {
        return false;
    }
    selectRow(row);
    scrollTo(m_pModel->index(row, 0));
    setFocus();
    return true;
}
