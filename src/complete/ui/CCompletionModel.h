#pragma once

#include "complete/CompletionProposal.h"

#include <QAbstractTableModel>
#include <vector>

// The review table's rows: one proposed change each, its box the user's choice.
class CCompletionModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Choice, Book, Field, Now, Proposed, Source, ColumnCount };

    explicit CCompletionModel(std::vector<CompletionProposal> proposals, QObject* parent = nullptr);

    const std::vector<CompletionProposal>& Proposals() const { return m_proposals; }
    void SetChecked(int row, bool checked);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<CompletionProposal> m_proposals;
};
