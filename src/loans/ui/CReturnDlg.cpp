#include "loans/ui/CReturnDlg.h"

#include "shell/DialogParts.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

CReturnDlg::CReturnDlg(QWidget* parent)
    : QDialog(parent), m_loan(new QLabel(this)), m_returned(MakeDateEdit("returned", this)) {
    setWindowTitle(QStringLiteral("Returnata"));
    m_loan->setObjectName(QStringLiteral("loan"));
    m_loan->setTextFormat(Qt::PlainText);
    auto* form = new QFormLayout(this);
    form->addRow(m_loan);
    form->addRow(QStringLiteral("Returnata la:"), m_returned);
    form->addRow(MakeDialogButtons(this, CancelButton::Renunta));
}

int CReturnDlg::exec() {
    m_loan->setText(FromUtf8(m_strLoan));
    m_returned->setDate(m_today);
    return QDialog::exec();
}

void CReturnDlg::accept() {
    if (m_submit(IsoText(m_returned->date()))) {
        QDialog::accept();
    }
}
