#include "shell/CSearchTextDlg.h"

#include "shell/DialogParts.h"
#include "shell/Prompts.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

CSearchTextDlg::CSearchTextDlg(QWidget* parent)
    : QDialog(parent), m_pEdit(MakeEdit("value", this)), m_pLabel(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Shelfwarden"));
    m_pLabel->setObjectName(QStringLiteral("label"));
    m_pLabel->setBuddy(m_pEdit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pLabel);
    layout->addWidget(m_pEdit);
    layout->addWidget(MakeDialogButtons(this));
    setMinimumWidth(320);
}

int CSearchTextDlg::exec() {
    m_pEdit->setText(FromUtf8(m_strValue));
    m_pLabel->setText(FromUtf8(m_strLabel));
    m_pEdit->setFocus();
    return QDialog::exec();
}

void CSearchTextDlg::accept() {
    const std::string value = ToUtf8(m_pEdit->text());
    if (value.empty()) {
        ShowMessage("Trebuie selectat un identificator!", this);
        m_pEdit->setFocus();
        return;
    }
    m_strValue = value;
    QDialog::accept();
}
