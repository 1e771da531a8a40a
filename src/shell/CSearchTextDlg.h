#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QLabel;

// The one-line text prompt with a caller-set label; refuses an empty text.
class CSearchTextDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSearchTextDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    std::string m_strValue;
    std::string m_strLabel;

private:
    QLineEdit* m_pEdit;
    QLabel* m_pLabel;
};
