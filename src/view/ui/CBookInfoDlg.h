#pragma once

#include "store/BookRecord.h"
#include "store/LookupList.h"

#include <QDialog>
#include <QList>
#include <functional>
#include <string>

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
    // Set for a new book: whether the catalogue already holds one with this title and author,
    // which the user is asked about before the book is stored.
    std::function<bool(const std::string& titlu, const std::string& autor)> m_holdsBook;

private:
    QLineEdit* AddEdit(const char* name);
    // A field of a stored book that was unknown (empty) when the dialog opened may stay so.
    bool MayStayUnknown(QLineEdit* edit) const;
    bool ExchangeNumber(QLineEdit* edit, int& value) const;
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
    QList<QLineEdit*> m_unknownAtOpen;
};
