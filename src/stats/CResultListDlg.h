#pragma once

#include "NameStatistics.h"

#include <QDialog>

class CBookDatabase;
class QTableWidget;

// One row per author (mode 0) or publisher (mode 1): books, read books, and what was read.
class CResultListDlg : public QDialog {
    Q_OBJECT
public:
    explicit CResultListDlg(QWidget* parent = nullptr);

    int exec() override;

    CBookDatabase* m_pDatabase = nullptr;
    int m_nMode = 0;

private:
    QTableWidget* m_list;
};
