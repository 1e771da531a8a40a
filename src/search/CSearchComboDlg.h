#pragma once

#include "LookupList.h"

#include <QDialog>

class QComboBox;

// Chooses one entry from a drop-down: the catalogue's types (kind 0), the ratings (1) or the
// catalogue's states (2).
class CSearchComboDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSearchComboDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    int m_nListKind = 0;
    LookupList m_aTypes;
    LookupList m_aStates;
    int m_nSelection = -1;

private:
    QComboBox* m_pCombo;
};
