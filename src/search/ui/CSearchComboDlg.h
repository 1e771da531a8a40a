#pragma once

#include "store/LookupList.h"

#include <QDialog>

class QComboBox;

// What the drop-down of CSearchComboDlg offers.
enum ChoiceListKind : int { kChooseType = 0, kChooseRating = 1, kChooseState = 2 };

// Chooses one entry from a drop-down: the catalogue's types, the ratings or the catalogue's
// states.
class CSearchComboDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSearchComboDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    int m_nListKind = kChooseType;
    LookupList m_aTypes;
    LookupList m_aStates;
    int m_nSelection = -1;

private:
    QComboBox* m_pCombo;
};
