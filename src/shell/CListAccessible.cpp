#include "shell/CListAccessible.h"

#include "shell/CListCellAccessible.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

namespace {
QAccessibleInterface* ListFactory(const QString&, QObject* object) {
    auto* view = qobject_cast<QTableView*>(object);
    return view ? new CListAccessible(view) : nullptr;
}
} // namespace

void CListAccessible::Install() {
    QAccessible::installFactory(&ListFactory);
}

CListAccessible::CListAccessible(QTableView* view) : QAccessibleWidget(view, QAccessible::Table) {}

CListAccessible::~CListAccessible() {
    Forget();
    if (m_outside) {
        QAccessible::deleteAccessibleInterface(m_outside);
    }
}

QTableView* CListAccessible::View() const {
    return static_cast<QTableView*>(widget());
}

bool CListAccessible::HasModel() const {
    return View()->model() != nullptr;
}

int CListAccessible::RowWidth() const {
    return columnCount() + 1;
}

int CListAccessible::columnCount() const {
    return HasModel() ? View()->model()->columnCount(View()->rootIndex()) : 0;
}

int CListAccessible::rowCount() const {
    return HasModel() ? View()->model()->rowCount(View()->rootIndex()) : 0;
}

int CListAccessible::childCount() const {
    return HasModel() ? (rowCount() + 1) * RowWidth() : 0;
}

QAccessibleInterface* CListAccessible::child(int index) const {
    if (index < 0 || index >= childCount()) {
        return nullptr;
    }
    const int row = index / RowWidth() - 1;
    const int column = index % RowWidth() - 1;
    if (const auto known = m_children.constFind(index); known != m_children.constEnd()) {
        auto* cell = static_cast<CListCellAccessible*>(QAccessible::accessibleInterface(*known));
        if (cell && cell->isValid() && cell->Row() == row && cell->Column() == column) {
            return cell;
        }
        // Its row moved or went since it was handed out.
        QAccessible::deleteAccessibleInterface(*known);
        m_children.erase(known);
    }
    QTableView* view = View();
    CListCellAccessible* cell = nullptr;
    if (row < 0 && column < 0) {
        cell = new CListCellAccessible(view, CListCellAccessible::Kind::Corner, -1);
    } else if (row < 0) {
        cell = new CListCellAccessible(view, CListCellAccessible::Kind::ColumnHeader, column);
    } else if (column < 0) {
        cell = new CListCellAccessible(view, CListCellAccessible::Kind::RowHeader, row);
    } else {
        cell = new CListCellAccessible(view, view->model()->index(row, column, view->rootIndex()));
    }
    m_children.insert(index, QAccessible::registerAccessibleInterface(cell));
    return cell;
}

int CListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* cell = dynamic_cast<const CListCellAccessible*>(child);
    if (!cell || !cell->isValid() || cell->parent() != this) {
        return -1;
    }
    return (cell->Row() + 1) * RowWidth() + cell->Column() + 1;
}

QAccessibleInterface* CListAccessible::cellAt(int row, int column) const {
    if (row >= 0 && row < rowCount() && column >= 0 && column < columnCount()) {
        return child((row + 1) * RowWidth() + column + 1);
    }
    if (!m_outside) {
        m_outside = QAccessible::registerAccessibleInterface(
            new CListCellAccessible(View(), QModelIndex()));
    }
    return QAccessible::accessibleInterface(m_outside);
}

QAccessibleInterface* CListAccessible::childAt(int x, int y) const {
    QTableView* view = View();
    const QPoint inList = view->viewport()->mapFromGlobal(QPoint(x, y));
    if (view->viewport()->rect().contains(inList)) {
        const QModelIndex index = view->indexAt(inList);
        return index.isValid() ? cellAt(index.row(), index.column()) : nullptr;
    }
    const QHeaderView* header = view->horizontalHeader();
    const QPoint inHeader = header->mapFromGlobal(QPoint(x, y));
    if (header->isVisible() && header->rect().contains(inHeader)) {
        const int column = header->logicalIndexAt(inHeader);
        return column >= 0 ? child(column + 1) : nullptr;
    }
    return nullptr;
}

QAccessibleInterface* CListAccessible::focusChild() const {
    const QModelIndex current = View()->currentIndex();
    return current.isValid() ? cellAt(current.row(), current.column()) : nullptr;
}

void* CListAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface) {
        return static_cast<QAccessibleTableInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(type);
}

QAccessibleInterface* CListAccessible::caption() const {
    return nullptr;
}

QAccessibleInterface* CListAccessible::summary() const {
    return nullptr;
}

QString CListAccessible::columnDescription(int column) const {
    return HasModel() ? View()->model()->headerData(column, Qt::Horizontal).toString() : QString();
}

QString CListAccessible::rowDescription(int row) const {
    return HasModel() ? View()->model()->headerData(row, Qt::Vertical).toString() : QString();
}

int CListAccessible::selectedCellCount() const {
    const QItemSelectionModel* selection = View()->selectionModel();
    return selection ? static_cast<int>(selection->selectedIndexes().size()) : 0;
}

int CListAccessible::selectedColumnCount() const {
    return static_cast<int>(selectedColumns().size());
}

int CListAccessible::selectedRowCount() const {
    return static_cast<int>(selectedRows().size());
}

QList<QAccessibleInterface*> CListAccessible::selectedCells() const {
    QList<QAccessibleInterface*> cells;
    if (const QItemSelectionModel* selection = View()->selectionModel()) {
        for (const QModelIndex& index : selection->selectedIndexes()) {
            cells << cellAt(index.row(), index.column());
        }
    }
    return cells;
}

QList<int> CListAccessible::selectedColumns() const {
    QList<int> columns;
    if (const QItemSelectionModel* selection = View()->selectionModel()) {
        for (const QModelIndex& index : selection->selectedColumns()) {
            columns << index.column();
        }
    }
    return columns;
}

QList<int> CListAccessible::selectedRows() const {
    QList<int> rows;
    if (const QItemSelectionModel* selection = View()->selectionModel()) {
        for (const QModelIndex& index : selection->selectedRows()) {
            rows << index.row();
        }
    }
    return rows;
}

bool CListAccessible::isColumnSelected(int column) const {
    const QItemSelectionModel* selection = View()->selectionModel();
    return selection && selection->isColumnSelected(column, View()->rootIndex());
}

bool CListAccessible::isRowSelected(int row) const {
    const QItemSelectionModel* selection = View()->selectionModel();
    return selection && selection->isRowSelected(row, View()->rootIndex());
}

bool CListAccessible::Select(int row, int column, bool on) {
    QTableView* view = View();
    QItemSelectionModel* selection = view->selectionModel();
    const bool wholeRow = column < 0;
    const QModelIndex index =
        HasModel()
            ? view->model()->index(wholeRow ? row : 0, wholeRow ? 0 : column, view->rootIndex())
            : QModelIndex();
    if (!selection || !index.isValid() || view->selectionMode() == QAbstractItemView::NoSelection ||
        view->selectionBehavior() ==
            (wholeRow ? QAbstractItemView::SelectColumns : QAbstractItemView::SelectRows)) {
        return false;
    }
    QItemSelectionModel::SelectionFlags flags =
        wholeRow ? QItemSelectionModel::Rows : QItemSelectionModel::Columns;
    if (!on) {
        flags |= QItemSelectionModel::Deselect;
    } else if (view->selectionMode() == QAbstractItemView::SingleSelection) {
        flags |= QItemSelectionModel::ClearAndSelect;
    } else {
        flags |= QItemSelectionModel::Select;
    }
    selection->select(index, flags);
    return true;
}

bool CListAccessible::selectRow(int row) {
    return Select(row, -1, true);
}

bool CListAccessible::selectColumn(int column) {
    return Select(-1, column, true);
}

bool CListAccessible::unselectRow(int row) {
    return Select(row, -1, false);
}

bool CListAccessible::unselectColumn(int column) {
    return Select(-1, column, false);
}

void CListAccessible::modelChange(QAccessibleTableModelChangeEvent* event) {
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged) {
        Forget();
    }
}

void CListAccessible::Forget() const {
    for (const QAccessible::Id id : std::as_const(m_children)) {
        QAccessible::deleteAccessibleInterface(id);
    }
    m_children.clear();
}
