#pragma once

#include <QDate>
#include <QDialog>
#include <QString>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;

// Lends one book: to whom (an earlier borrower or a new name), since when (today unless
// changed) and until when (30 days later unless changed or cleared). OK hands the values to
// `m_submit`; the dialog closes only when it accepted them.
class CLendDlg : public QDialog {
    Q_OBJECT
public:
    using Submit = std::function<bool(const std::string& borrower, const std::string& lent,
                                      const std::string& due)>;

    explicit CLendDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    std::string m_strTitle;
    // What the title names: one book, or several lent together ("Cartile:").
    QString m_strTitleLabel = QStringLiteral("Cartea:");
    std::vector<std::string> m_aBorrowers;
    QDate m_today;
    Submit m_submit;

private:
    QLabel* m_title;
    QComboBox* m_borrower;
    QDateEdit* m_lent;
    QCheckBox* m_hasDue;
    QDateEdit* m_due;
};
