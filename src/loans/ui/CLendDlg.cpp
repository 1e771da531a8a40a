#include "loans/ui/CLendDlg.h"

#include "loans/LoanDates.h"
#include "shell/DialogParts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>

CLendDlg::CLendDlg(QWidget* parent)
    : QDialog(parent), m_title(new QLabel(this)), m_borrower(new QComboBox(this)),
      m_lent(MakeDateEdit("lent", this)), m_hasDue(new QCheckBox(QStringLiteral("Termen:"), this)),
      m_due(MakeDateEdit("due", this)) {
    setWindowTitle(QStringLiteral("Imprumuta"));
    m_borrower->setObjectName(QStringLiteral("borrower"));
    m_borrower->setEditable(true);
    m_borrower->setInsertPolicy(QComboBox::NoInsert);
    KeepNameChooserNarrow(m_borrower);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setTextFormat(Qt::PlainText);
    m_hasDue->setObjectName(QStringLiteral("hasDue"));
    m_hasDue->setChecked(true);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Cartea:"), m_title);
    form->addRow(QStringLiteral("Imprumutata lui:"), m_borrower);
    form->addRow(QStringLiteral("Din:"), m_lent);
    form->addRow(m_hasDue, m_due);
    NameForScreenReaders(m_borrower, QStringLiteral("Imprumutata lui:"));
    NameForScreenReaders(m_due, QStringLiteral("Termen:"));
    form->addRow(MakeDialogButtons(this, CancelButton::Renunta));
    MendTabChain(this);
    connect(m_hasDue, &QCheckBox::toggled, m_due, &QWidget::setEnabled);
    connect(m_lent, &QDateEdit::dateChanged, this, [this](const QDate& lent) {
        m_due->setDate(FromIsoText(DefaultDueDate(IsoText(lent))));
    });
}

int CLendDlg::exec() {
    if (auto* label =
            qobject_cast<QLabel*>(static_cast<QFormLayout*>(layout())->labelForField(m_title))) {
        label->setText(m_strTitleLabel);
    }
    // A long title is shortened in its middle, not the dialog widened past the screen; the
    // whole of it is the label's tool tip.
    constexpr int kTitleWidth = 480;
    const QString title = FromUtf8(m_strTitle);
    m_title->setText(m_title->fontMetrics().elidedText(title, Qt::ElideMiddle, kTitleWidth));
    m_title->setToolTip(PlainToolTip(title));
    for (const std::string& name : m_aBorrowers) {
        m_borrower->addItem(FromUtf8(name));
    }
    m_borrower->setCurrentText(QString());
    m_lent->setDate(m_today);
    m_due->setDate(FromIsoText(DefaultDueDate(IsoText(m_today))));
    m_borrower->setFocus();
    return QDialog::exec();
}

void CLendDlg::accept() {
    const std::string due = m_hasDue->isChecked() ? IsoText(m_due->date()) : std::string();
    if (m_submit(ToUtf8(m_borrower->currentText()), IsoText(m_lent->date()), due)) {
        QDialog::accept();
    }
}
