#pragma once

#include "loans/LoanListing.h"

#include <QDialog>

class CLoanListModel;
class CLoanRegister;
class QCheckBox;
class QComboBox;
class QTableView;

// The loans window: the open loans, overdue first and marked, sortable by any column by
// clicking its header, narrowed to one borrower, the returned ones too on request. "Returnata"
// closes the selected loan today; "Arata cartea" closes the window and names the book to show.
class CLoansDlg : public QDialog {
    Q_OBJECT
public:
    explicit CLoansDlg(QWidget* parent = nullptr);

    // Lists the loans; false when they cannot be read (the user has been told).
    bool Load();

    CLoanRegister* m_pLoans = nullptr;
    std::string m_strToday;
    bool m_bReadOnly = false; // the catalogue is a copy open for reading: nothing is returned
    int m_nShowBook = -1;     // the book to show in the main list, when asked for

signals:
    // A loan was returned here: the main window's counts change at once, not at closing.
    void LoanReturned();

private:
    bool Reload();
    void OnHeaderClicked(int column);
    void OnReturn();
    void OnShowBook();
    const LoanRow* SelectedLoan() const;

    LoanQuery m_query;
    CLoanListModel* m_model;
    QTableView* m_list;
    QComboBox* m_borrower;
    QCheckBox* m_withReturned;
};
