#pragma once

#include "complete/CompletionProposal.h"

#include <QDialog>
#include <vector>

class CCompletionModel;
class QComboBox;
class QSortFilterProxyModel;
class QTableView;

// The changes the libraries propose, before anything is written: one row each, sorted by any
// column, narrowed to one field, each with its box; the boxes of the rows shown are checked or
// cleared together. "Aplica" accepts with the rows as the user left them.
class CCompletionReviewDlg : public QDialog {
    Q_OBJECT
public:
    CCompletionReviewDlg(std::vector<CompletionProposal> proposals, QWidget* parent = nullptr);

    const std::vector<CompletionProposal>& Proposals() const;

private:
    void CheckShown(bool checked);

    CCompletionModel* m_pModel;
    QSortFilterProxyModel* m_pShown;
    QTableView* m_pList;
    QComboBox* m_pField;
};
