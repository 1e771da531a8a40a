#pragma once

#include <QAccessibleWidget>
#include <QHash>

class QTableView;

// What a screen reader reads of a list (a QTableView): its rows and columns, its cells
// (CListCellAccessible) and its selection, numbered as the view numbers them in the events it
// sends: the header row first, and in each row the row's header before the cells.
//
// It stands in for the framework's own, which a screen reader could bring down by asking about
// a place the list no longer has, as it does after a new listing or a filter shortened the list:
// here such a question gets a cell that is no longer there, never nothing. Every cell handed out
// is forgotten when the rows or columns change, so a screen reader asks again.
class CListAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CListAccessible(QTableView* view);
    ~CListAccessible() override;

    // Every list of the program is read through this class from now on.
    static void Install();

    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QAccessibleInterface* caption() const override;
    QAccessibleInterface* summary() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int columnCount() const override;
    int rowCount() const override;
    int selectedCellCount() const override;
    int selectedColumnCount() const override;
    int selectedRowCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QList<int> selectedColumns() const override;
    QList<int> selectedRows() const override;
    bool isColumnSelected(int column) const override;
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int column) override;
    bool unselectRow(int row) override;
    bool unselectColumn(int column) override;
    // A cell of the list, or a place outside it that is no cell, but never null.
    QAccessibleInterface* cellAt(int row, int column) const override;
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    QTableView* View() const;
    bool HasModel() const;
    // Children in each row: the row's header and the columns.
    int RowWidth() const;
    bool Select(int row, int column, bool on);
    void Forget() const;

    mutable QHash<int, QAccessible::Id> m_children;
    mutable QAccessible::Id m_outside = 0;
};
