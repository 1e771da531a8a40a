#pragma once

#include "BookRowTable.h"

#include <QAbstractTableModel>

// The list's rows: thirteen texts each and nothing else. Whole listings arrive at once, with one
// reset and no per-row signals.
class CBookListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    void ResetRows(BookRowTable rows);
    void Clear();
    void AppendRow(const RowTexts& texts);
    void SetRowTexts(int row, const RowTexts& texts);
    RowTexts Row(int row) const { return m_rows.Row(row); }
    QString Text(int row, int column) const;

private:
    BookRowTable m_rows;
};
