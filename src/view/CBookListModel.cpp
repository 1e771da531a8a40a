#include "CBookListModel.h"

int CBookListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows.RowCount();
}

int CBookListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kBookColumnCount;
}

QString CBookListModel::Text(int row, int column) const {
    const std::string_view t = m_rows.Text(row, column);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

QVariant CBookListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    return Text(index.row(), index.column());
}

QVariant CBookListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kBookColumnCount) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return QString::fromUtf8(BookListColumns()[static_cast<std::size_t>(section)].header);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

void CBookListModel::ResetRows(BookRowTable rows) {
    beginResetModel();
    m_rows.Swap(rows);
    endResetModel();
}

void CBookListModel::Clear() {
    if (m_rows.RowCount() == 0) {
        return;
    }
    beginResetModel();
    m_rows.Clear();
    endResetModel();
}

void CBookListModel::AppendRow(const RowTexts& texts) {
    const int row = m_rows.RowCount();
    beginInsertRows({}, row, row);
    m_rows.AppendRow(texts);
    endInsertRows();
}

void CBookListModel::SetRowTexts(int row, const RowTexts& texts) {
    if (row < 0 || row >= m_rows.RowCount()) {
        return;
    }
    m_rows.SetRowTexts(row, texts);
    emit dataChanged(index(row, 1), index(row, kBookColumnCount - 1));
}
