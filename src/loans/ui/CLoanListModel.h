#pragma once

#include "loans/LoanListing.h"

#include <QAbstractTableModel>
#include <vector>

// The loans window's rows, each a LoanRow shown through its cell texts; overdue loans in red
// and bold. A listing arrives whole, with one reset.
class CLoanListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void ResetRows(std::vector<LoanRow> rows);
    const LoanRow& Row(int row) const { return m_rows[static_cast<std::size_t>(row)]; }

private:
    std::vector<LoanRow> m_rows;
};
