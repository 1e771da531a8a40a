#pragma once

#include "stats/NameStatistics.h"

#include <QDialog>

class CBookDatabase;
class QTableWidget;

// One row per author or publisher: books, read books, and what was read.
class CResultListDlg : public QDialog {
    Q_OBJECT
public:
    explicit CResultListDlg(QWidget* parent = nullptr);

    int exec() override;

    CBookDatabase* m_pDatabase = nullptr;
    NameStatisticsMode m_nMode = NameStatisticsMode::Authors;

private:
    QTableWidget* m_list;
};
