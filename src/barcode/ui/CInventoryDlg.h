#pragma once

#include "barcode/ShelfCheck.h"

#include <QDialog>

class CBookDatabase;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

// Records > "Inventar...": a location (or "toate") is chosen and the labels of its books are
// scanned into the field; each book scanned is ticked in the list, the same book counted once,
// an unknown code named. The report beside it lists the books missing and those recorded
// elsewhere, and prints. The check is kept in the catalogue as it goes: closing the window, or
// the program, loses nothing, and the next opening goes on with it until it is ended.
class CInventoryDlg : public QDialog {
    Q_OBJECT
public:
    CInventoryDlg(CBookDatabase& db, QWidget* parent = nullptr);

private:
    // The location chosen ("" for every one).
    std::string Shelf() const;
    void OnScan();
    // The list and the report as the catalogue has them now.
    void Refresh();
    void OnPrint();
    void OnFinish();

    CShelfCheck m_check;
    QComboBox* m_pShelf;
    QLineEdit* m_pCode;
    QLabel* m_pLast;
    QListWidget* m_pBooks;
    QPlainTextEdit* m_pReport;
};
