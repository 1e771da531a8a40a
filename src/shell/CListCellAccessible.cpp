#include "shell/CListCellAccessible.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QWindow>

CListCellAccessible::CListCellAccessible(QTableView* view, const QModelIndex& index)
    : m_view(view), m_index(index), m_kind(Kind::Cell) {}

CListCellAccessible::CListCellAccessible(QTableView* view, Kind kind, int section)
    : m_view(view), m_kind(kind), m_section(section) {}

bool CListCellAccessible::IsCellOfTheList() const {
    return m_view && m_view->model() && m_index.isValid() && m_index.model() == m_view->model();
}

int CListCellAccessible::Row() const {
    switch (m_kind) {
    case Kind::Cell:
        return IsCellOfTheList() ? m_index.row() : -1;
    case Kind::RowHeader:
        return m_section;
    default:
        return -1;
    }
}

int CListCellAccessible::Column() const {
    switch (m_kind) {
    case Kind::Cell:
        return IsCellOfTheList() ? m_index.column() : -1;
    case Kind::ColumnHeader:
        return m_section;
    default:
        return -1;
    }
}

bool CListCellAccessible::isValid() const {
    if (!m_view || !m_view->model()) {
        return false;
    }
    const QAbstractItemModel* model = m_view->model();
    switch (m_kind) {
    case Kind::Cell:
        return IsCellOfTheList();
    case Kind::ColumnHeader:
        return m_section >= 0 && m_section < model->columnCount(m_view->rootIndex());
    case Kind::RowHeader:
        return m_section >= 0 && m_section < model->rowCount(m_view->rootIndex());
    case Kind::Corner:
        return true;
    }
    return false;
}

QObject* CListCellAccessible::object() const {
    return nullptr;
}

QWindow* CListCellAccessible::window() const {
    return m_view ? m_view->window()->windowHandle() : nullptr;
}

QAccessibleInterface* CListCellAccessible::parent() const {
    return m_view ? QAccessible::queryAccessibleInterface(m_view.data()) : nullptr;
}

QAccessibleInterface* CListCellAccessible::table() const {
    return parent();
}

QAccessibleInterface* CListCellAccessible::child(int) const {
    return nullptr;
}

int CListCellAccessible::childCount() const {
    return 0;
}

int CListCellAccessible::indexOfChild(const QAccessibleInterface*) const {
    return -1;
}

QAccessibleInterface* CListCellAccessible::childAt(int, int) const {
    return nullptr;
}

QString CListCellAccessible::text(QAccessible::Text t) const {
    if (!isValid()) {
        return {};
    }
    const QAbstractItemModel* model = m_view->model();
    if (m_kind == Kind::Cell) {
        if (t == QAccessible::Name) {
            const QString spoken = model->data(m_index, Qt::AccessibleTextRole).toString();
            return spoken.isEmpty() ? model->data(m_index, Qt::DisplayRole).toString() : spoken;
        }
        return t == QAccessible::Description
                   ? model->data(m_index, Qt::AccessibleDescriptionRole).toString()
                   : QString();
    }
    if (m_kind == Kind::Corner || t != QAccessible::Name) {
        return {};
    }
    const Qt::Orientation orientation =
        m_kind == Kind::ColumnHeader ? Qt::Horizontal : Qt::Vertical;
    const QString spoken =
        model->headerData(m_section, orientation, Qt::AccessibleTextRole).toString();
    return spoken.isEmpty() ? model->headerData(m_section, orientation).toString() : spoken;
}

void CListCellAccessible::setText(QAccessible::Text, const QString&) {}

QRect CListCellAccessible::LocalRect() const {
    const QHeaderView* columns = m_view->horizontalHeader();
    const QHeaderView* rows = m_view->verticalHeader();
    switch (m_kind) {
    case Kind::Cell: {
        const QRect r = m_view->visualRect(m_index);
        return r.isEmpty() ? QRect() : r.translated(m_view->viewport()->mapTo(m_view, QPoint()));
    }
    case Kind::ColumnHeader:
        return columns->isHidden() ? QRect()
                                   : QRect(columns->sectionViewportPosition(m_section), 0,
                                           columns->sectionSize(m_section), columns->height())
                                         .translated(columns->mapTo(m_view, QPoint()));
    case Kind::RowHeader:
        return rows->isHidden() ? QRect()
                                : QRect(0, rows->sectionViewportPosition(m_section), rows->width(),
                                        rows->sectionSize(m_section))
                                      .translated(rows->mapTo(m_view, QPoint()));
    case Kind::Corner:
        return columns->isHidden() || rows->isHidden()
                   ? QRect()
                   : QRect(rows->mapTo(m_view, QPoint()).x(), columns->mapTo(m_view, QPoint()).y(),
                           rows->width(), columns->height());
    }
    return {};
}

QRect CListCellAccessible::rect() const {
    if (!isValid()) {
        return {};
    }
    const QRect local = LocalRect();
    return local.isEmpty() ? QRect() : local.translated(m_view->mapToGlobal(QPoint()));
}

QAccessible::Role CListCellAccessible::role() const {
    switch (m_kind) {
    case Kind::Cell:
        return QAccessible::Cell;
    case Kind::ColumnHeader:
        return QAccessible::ColumnHeader;
    case Kind::RowHeader:
        return QAccessible::RowHeader;
    case Kind::Corner:
        return QAccessible::Pane;
    }
    return QAccessible::NoRole;
}

QAccessible::State CListCellAccessible::state() const {
    QAccessible::State st;
    if (!isValid()) {
        st.invisible = true;
        return st;
    }
    // A place scrolled out of the list's window is there, but not seen.
    const QRect local = LocalRect();
    const QWidget* shown = m_kind == Kind::Cell ? m_view->viewport() : m_view;
    st.invisible =
        local.isEmpty() || !QRect(shown->mapTo(m_view, QPoint()), shown->size()).intersects(local);
    if (m_kind != Kind::Cell) {
        return st;
    }
    const QItemSelectionModel* selection = m_view->selectionModel();
    st.selected = selection && selection->isSelected(m_index);
    st.focused = m_view->currentIndex() == m_index;
    const Qt::ItemFlags flags = m_index.flags();
    if (flags & Qt::ItemIsSelectable) {
        st.selectable = true;
        st.focusable = true;
        st.multiSelectable = m_view->selectionMode() == QAbstractItemView::MultiSelection;
        st.extSelectable = m_view->selectionMode() == QAbstractItemView::ExtendedSelection;
    }
    const QVariant check = m_index.data(Qt::CheckStateRole);
    st.checkable = (flags & Qt::ItemIsUserCheckable) && check.isValid();
    st.checked = check.toInt() == Qt::Checked;
    st.editable = (flags & Qt::ItemIsEditable) != 0;
    return st;
}

void* CListCellAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableCellInterface && m_kind == Kind::Cell) {
        return static_cast<QAccessibleTableCellInterface*>(this);
    }
    if (type == QAccessible::ActionInterface && m_kind == Kind::Cell) {
        return static_cast<QAccessibleActionInterface*>(this);
    }
    return nullptr;
}

bool CListCellAccessible::isSelected() const {
    return IsCellOfTheList() && m_view->selectionModel() &&
           m_view->selectionModel()->isSelected(m_index);
}

QList<QAccessibleInterface*> CListCellAccessible::columnHeaderCells() const {
    QAccessibleInterface* list = table();
    if (!IsCellOfTheList() || !list) {
        return {};
    }
    // The list's first row of children holds the row headers' corner, then the column headers.
    QAccessibleInterface* header = list->child(m_index.column() + 1);
    return header ? QList<QAccessibleInterface*>{header} : QList<QAccessibleInterface*>{};
}

QList<QAccessibleInterface*> CListCellAccessible::rowHeaderCells() const {
    QAccessibleInterface* list = table();
    if (!IsCellOfTheList() || !list || m_view->verticalHeader()->isHidden()) {
        return {};
    }
    const int width = m_view->model()->columnCount(m_view->rootIndex()) + 1;
    QAccessibleInterface* header = list->child((m_index.row() + 1) * width);
    return header ? QList<QAccessibleInterface*>{header} : QList<QAccessibleInterface*>{};
}

int CListCellAccessible::columnIndex() const {
    return Column();
}

int CListCellAccessible::rowIndex() const {
    return Row();
}

int CListCellAccessible::columnExtent() const {
    return 1;
}

int CListCellAccessible::rowExtent() const {
    return 1;
}

QStringList CListCellAccessible::actionNames() const {
    if (!IsCellOfTheList() || !(m_index.flags() & Qt::ItemIsSelectable)) {
        return {};
    }
    return {setFocusAction(), toggleAction()};
}

void CListCellAccessible::doAction(const QString& actionName) {
    if (!IsCellOfTheList()) {
        return;
    }
    if (actionName == setFocusAction()) {
        m_view->setFocus(Qt::OtherFocusReason);
        m_view->setCurrentIndex(m_index);
    } else if (actionName == toggleAction() && m_view->selectionModel()) {
        const auto rows = m_view->selectionBehavior() == QAbstractItemView::SelectRows
                              ? QItemSelectionModel::Rows
                              : QItemSelectionModel::NoUpdate;
        m_view->selectionModel()->select(m_index, QItemSelectionModel::Toggle | rows);
    }
}

QStringList CListCellAccessible::keyBindingsForAction(const QString&) const {
    return {};
}
