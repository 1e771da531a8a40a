#pragma once

#include "store/BookRecord.h"
#include "store/LookupList.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

// Enters a new book or changes one: edits the record the caller points it at, and closes with
// OK only when every field check passes.
class CBookInfoDlg : public QDialog {
    Q_OBJECT
public:
    explicit CBookInfoDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    int FindTypeIndex(std::int32_t id) const { return m_aTypes.FindIndexById(id); }
    int FindStateIndex(std::int32_t id) const { return m_aStates.FindIndexById(id); }

    BookRecord* m_pRecord = nullptr;
    LookupList m_aTypes;
    LookupList m_aStates;

private:
    QLineEdit* AddEdit(const char* name);
    QComboBox* AddCombo(const char* name);

    QLineEdit* m_pTitlu;
    QLineEdit* m_pAutor;
    QLineEdit* m_pEditura;
    QComboBox* m_pTip;
    QLineEdit* m_pPagini;
    QLineEdit* m_pCapitole;
    QLineEdit* m_pVolume;
    QLineEdit* m_pPublicare;
    QLineEdit* m_pPublicareVolum;
    QComboBox* m_pCitita;
    QComboBox* m_pCalificativ;
    QComboBox* m_pStare;
};
