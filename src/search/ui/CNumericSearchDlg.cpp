#include "search/ui/CNumericSearchDlg.h"

#include "search/SearchStatements.h"
#include "shell/DialogParts.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

CNumericSearchDlg::CNumericSearchDlg(QWidget* parent)
    : QDialog(parent), m_pSingle(new QRadioButton(QStringLiteral("Valoare unica"), this)),
      m_pRange(new QRadioButton(QStringLiteral("Plaja de valori"), this)),
      m_pValue(MakeEdit("value", this)), m_pMin(MakeEdit("min", this)),
      m_pMax(MakeEdit("max", this)), m_pValueLabel(new QLabel(QStringLiteral("Valoare"), this)),
      m_pMinLabel(new QLabel(QStringLiteral("Minim"), this)),
      m_pMaxLabel(new QLabel(QStringLiteral("Maxim"), this)) {
    setWindowTitle(QStringLiteral("Shelfwarden"));
    m_pSingle->setObjectName(QStringLiteral("single"));
    m_pRange->setObjectName(QStringLiteral("range"));
    m_pValueLabel->setBuddy(m_pValue);
    m_pMinLabel->setBuddy(m_pMin);
    m_pMaxLabel->setBuddy(m_pMax);

    auto* kind = new QGroupBox(QStringLiteral("Tip cautare"), this);
    auto* kindLayout = new QVBoxLayout(kind);
    kindLayout->addWidget(m_pSingle);
    kindLayout->addWidget(m_pRange);
    auto* single = new QGroupBox(this);
    auto* singleLayout = new QGridLayout(single);
    singleLayout->addWidget(m_pValueLabel, 0, 0);
    singleLayout->addWidget(m_pValue, 0, 1);
    auto* range = new QGroupBox(this);
    auto* rangeLayout = new QGridLayout(range);
    rangeLayout->addWidget(m_pMinLabel, 0, 0);
    rangeLayout->addWidget(m_pMin, 0, 1);
    rangeLayout->addWidget(m_pMaxLabel, 1, 0);
    rangeLayout->addWidget(m_pMax, 1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(kind);
    layout->addWidget(single);
    layout->addWidget(range);
    layout->addWidget(MakeDialogButtons(this));
    connect(m_pSingle, &QRadioButton::clicked, this, &CNumericSearchDlg::OnSingleValue);
    connect(m_pRange, &QRadioButton::clicked, this, &CNumericSearchDlg::OnValueRange);
    setTabOrder(m_pSingle, m_pRange);
    setTabOrder(m_pRange, m_pValue);
    setTabOrder(m_pValue, m_pMin);
    setTabOrder(m_pMin, m_pMax);
}

int CNumericSearchDlg::exec() {
    m_pValue->setText(QString::number(m_nValue));
    m_pMin->setText(QString::number(m_nMin));
    m_pMax->setText(QString::number(m_nMax));
    m_pSingle->setChecked(m_nSearchKind == kSingleValue);
    m_pRange->setChecked(m_nSearchKind == kValueRange);
    UpdateControls();
    return QDialog::exec();
}

void CNumericSearchDlg::UpdateControls() {
    const bool single = m_nSearchKind == kSingleValue;
    m_pValueLabel->setEnabled(single);
    m_pValue->setEnabled(single);
    for (QWidget* w : {static_cast<QWidget*>(m_pMinLabel), static_cast<QWidget*>(m_pMin),
                       static_cast<QWidget*>(m_pMaxLabel), static_cast<QWidget*>(m_pMax)}) {
        w->setEnabled(!single);
    }
}

void CNumericSearchDlg::OnSingleValue() {
    m_nSearchKind = kSingleValue;
    UpdateControls();
}

void CNumericSearchDlg::OnValueRange() {
    m_nSearchKind = kValueRange;
    UpdateControls();
}

void CNumericSearchDlg::accept() {
    int max = 0;
    int min = 0;
    int value = 0;
    if (!ExchangeInteger(m_pMax, max) || !ExchangeInteger(m_pMin, min) ||
        !ExchangeInteger(m_pValue, value)) {
        return;
    }
    m_nMax = max;
    m_nMin = min;
    m_nValue = value;
    m_nSearchKind =
        m_pSingle->isChecked() ? kSingleValue : (m_pRange->isChecked() ? kValueRange : -1);
    QDialog::accept();
}
