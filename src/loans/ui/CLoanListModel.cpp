#include "loans/ui/CLoanListModel.h"

#include <QBrush>
#include <QFont>

int CLoanListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CLoanListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kLoanColumnCount;
}

QVariant CLoanListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const LoanRow& row = Row(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(LoanCellText(row, static_cast<LoanColumn>(index.column())));
    case Qt::ForegroundRole:
        return row.IsOverdue() ? QVariant(QBrush(Qt::red)) : QVariant();
    case Qt::FontRole:
        if (row.IsOverdue()) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant CLoanListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kLoanColumnCount) {
        return {};
    }
    return QString::fromUtf8(LoanColumnTitles()[static_cast<std::size_t>(section)]);
}

void CLoanListModel::ResetRows(std::vector<LoanRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}
