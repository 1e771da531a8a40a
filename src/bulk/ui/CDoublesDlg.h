#pragma once

#include "bulk/CopiesApart.h"
#include "bulk/DoubleBooks.h"
#include "store/BookHistory.h"
#include "store/LookupList.h"

#include <QDialog>
#include <functional>
#include <vector>

class CBookDatabase;
class QComboBox;
class QListWidget;
class QPushButton;
class QTableWidget;

// Lists the groups of likely doubles and shows the books of the one chosen side by side, every
// field, the fields they disagree on marked. A group is merged into the book chosen to keep, as
// one step ("&Uneste"), or marked as real copies ("Copii &diferite"), remembered so that it is
// not offered again. Either takes the group off the list. "Uneste &toate" merges every group
// still listed into its first book, as one step.
class CDoublesDlg : public QDialog {
    Q_OBJECT
public:
    // `apart`: the books marked as copies of each other, which a merge leaves as they are.
    CDoublesDlg(CBookDatabase& db, const LookupList& types, const LookupList& states,
                std::vector<DoubleGroup> groups, CopyPairs apart, QWidget* parent = nullptr);

    // Told each merge made, with its changes, for the history.
    std::function<void(std::vector<BookChange>)> m_onMerged;

private:
    void ShowGroup(int group);
    void OnMerge();
    void OnCopies();
    void OnMergeAll();
    // The group done with leaves the list.
    void DropCurrent();

    CBookDatabase& m_db;
    LookupList m_types;
    LookupList m_states;
    std::vector<DoubleGroup> m_groups;
    CopyPairs m_apart;
    QListWidget* m_pGroups;
    QTableWidget* m_pBooks;
    QComboBox* m_pKeep;
    QPushButton* m_pMerge;
    QPushButton* m_pCopies;
    QPushButton* m_pMergeAll;
};
