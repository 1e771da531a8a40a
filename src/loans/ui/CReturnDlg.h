#pragma once

#include <QDate>
#include <QDialog>
#include <functional>
#include <string>

class QDateEdit;
class QLabel;

// Closes one loan: the date the book came back, today unless changed. OK hands it to
// `m_submit`; the dialog closes only when it was accepted.
class CReturnDlg : public QDialog {
    Q_OBJECT
public:
    explicit CReturnDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    std::string m_strLoan; // the book and to whom it went
    QDate m_today;
    std::function<bool(const std::string& date)> m_submit;

private:
    QLabel* m_loan;
    QDateEdit* m_returned;
};
