#pragma once

#include "stats/GeneralStatistics.h"

#include <QDialog>

// Shows the 24 figures of the general statistics in four groups.
class CGeneralStatsDlg : public QDialog {
    Q_OBJECT
public:
    CGeneralStatsDlg(const GeneralStatistics& statistics, QWidget* parent = nullptr);
};
