#pragma once

#include <QAccessible>
#include <QAccessibleInterface>
#include <QPersistentModelIndex>
#include <QPointer>

class QTableView;

// What a screen reader reads of one place in a list (CListAccessible): a cell, a column's
// header, a row's header or the corner between the headers. A cell holds its book by a
// persistent index, so once its row is gone (a new listing, a filter) it says it is no longer
// valid instead of reading another row. Every question is answered, also for a place outside
// the list: the list's stand-in for such a place is a cell with no index.
class CListCellAccessible : public QAccessibleInterface,
                            public QAccessibleTableCellInterface,
                            public QAccessibleActionInterface {
public:
    enum class Kind { Cell, ColumnHeader, RowHeader, Corner };

    // A cell; an invalid index makes a place outside the list.
    CListCellAccessible(QTableView* view, const QModelIndex& index);
    // A header: `section` is a column for ColumnHeader, a row for RowHeader.
    CListCellAccessible(QTableView* view, Kind kind, int section);

    // The model's row and column of the place; -1 for the header row, the header column, and
    // a cell whose row or column is gone.
    int Row() const;
    int Column() const;

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    bool isSelected() const override;
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override;
    int rowIndex() const override;
    int columnExtent() const override;
    int rowExtent() const override;
    QAccessibleInterface* table() const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    bool IsCellOfTheList() const;
    // The place on screen, in the view's own coordinates.
    QRect LocalRect() const;

    QPointer<QTableView> m_view;
    QPersistentModelIndex m_index;
    Kind m_kind;
    int m_section = -1;
};
