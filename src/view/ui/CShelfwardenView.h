#pragma once

#include "isbn/BookDetails.h"
#include "store/BookRecord.h"
#include "store/LookupList.h"
#include "view/BookRowTexts.h"
#include "view/ListLayout.h"

#include <QTableView>
#include <QTimer>
#include <memory>
#include <string>

class CBookDatabase;
class CBookListModel;
class ListingQuery;
class CShelfwardenDoc;

// The one view of the main frame: the list of books, its lookup lists and its current statement.
// The commands that change books, search or count live with their subsystems and list their
// results here.
class CShelfwardenView : public QTableView {
    Q_OBJECT
public:
    explicit CShelfwardenView(CShelfwardenDoc* doc, QWidget* parent = nullptr);
    ~CShelfwardenView() override;

    CBookListModel* Model() const { return m_pModel; }
    const std::string& CurrentQuery() const { return m_strCurrentQuery; }
    // A new listing, not ordered by a header click.
    void SetCurrentQuery(const std::string& statement);
    const LookupList& Types() const { return m_types; }
    const LookupList& States() const { return m_states; }

    CBookDatabase* Database() const;
    // True while the open catalogue may be read but not changed.
    bool IsReadOnly() const;
    // The database when a catalogue is open; otherwise tells the user and gives null.
    CBookDatabase* OpenDatabaseOrComplain() const;
    // The first selected row in list order, or -1.
    int FirstSelectedRow() const;

    void OnInitialUpdate();
    void FillList(ListingQuery& listing);
    void SetRowTexts(const BookRecord& rec, int row, const BookDetails& details);
    void ReadRow(BookRecord& rec, int row) const;
    void ApplyColors();
    void ReloadLookups();
    void RefreshCurrentQuery();
    // After the document changed catalogue: its lookups and all its books, or nothing.
    void ShowCatalogue();
    // Lists the current listing again in its current order, after its books changed.
    void Relist();
    // The rows selected, in list order.
    std::vector<RowTexts> SelectedRows() const;
    // The books of the selected rows, in list order.
    std::vector<std::int32_t> SelectedBookIds() const;
    // Shows these books as they are stored now, each in its row: the order, the selection and
    // the scroll position stay.
    void RefreshBooks(const std::vector<std::int32_t>& books);
    // Selects the book and brings it into sight, listing all books when the current listing
    // lacks it; false when it is not listed even then.
    bool ShowBook(std::int32_t book);
    // "Ordoneaza dupa" and the list's columns in their order on screen: a header click for the
    // keyboard, for the list's context menu.
    QAction* SortByColumnAction();

signals:
    // Enter on a selected row, and the Delete key.
    void OpenRequested();
    void DeleteRequested();

public slots:
    void ClearList();
    void ListAllBooks();
    // Every listed row selected, for the commands on many books; Ctrl+A stays Adauga.
    void OnSelectAll();
    void OnViewAllBooks();
    void OnViewReadBooks();
    void OnViewUnreadBooks();
    void OnColumnClick(int column);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    // Runs a listing statement; the rows are replaced only when it yields records. False when
    // the statement failed.
    bool ListQuery(const std::string& statement);
    void SortBy(int column, bool descending);
    // A listing not ordered by a header click: no arrow.
    void ForgetSort();
    void MakeColumns();
    void FitRowsToFont();
    // The header's context menu: the ISBN and location columns, shown or hidden.
    void MakeDetailColumns();
    // The width the user gave the columns shown after the book's own.
    int DetailColumnsWidth() const;
    // Titlu, Autor and Editura take the room the other columns leave.
    void FitColumns();
    // Keeps the widths and order in the settings store a moment after the user changed them.
    void LayoutChanged();
    void SaveLayout();
    // Lists the books of a statement by title; it becomes the current listing when it opens.
    void ListSelection(const char* currentQuery);

    std::string m_strCurrentQuery;
    LookupList m_types;
    LookupList m_states;
    CShelfwardenDoc* m_pDocument;
    CBookListModel* m_pModel;
    bool m_bColumnsMade = false;
    ListLayout m_layout;
    // The header click the list shows now (-1: none).
    int m_sortColumn = -1;
    bool m_sortDescending = false;
    QTimer m_saveLayout;
};
