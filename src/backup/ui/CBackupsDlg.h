#pragma once

#include "backup/CatalogueBackups.h"

#include <QDialog>
#include <vector>

class QTableWidget;

// "Copii de siguranta": the copies of the open catalogue, newest first, and what to do with the
// one selected. The dialog only chooses; the caller restores or opens.
class CBackupsDlg : public QDialog {
    Q_OBJECT
public:
    enum class Choice { None, Restore, OpenCopy };

    CBackupsDlg(const std::vector<BackupCopy>& copies, const QString& folder,
                QWidget* parent = nullptr);

    Choice GetChoice() const { return m_choice; }
    // The selected copy's position in the list given; -1 for none.
    int ChosenRow() const;

private:
    void Choose(Choice choice);

    QTableWidget* m_list;
    Choice m_choice = Choice::None;
};
