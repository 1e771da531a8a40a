#include "isbn/ui/CPropIsbnDlg.h"

#include "shell/AppSettings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

CPropIsbnDlg::CPropIsbnDlg(QWidget* parent)
    : QWidget(parent),
      m_pOn(new QCheckBox(QStringLiteral("Cauta cartile dupa ISBN pe internet"), this)),
      m_pService(new QLineEdit(this)), m_pContact(new QLineEdit(this)) {
    m_pOn->setObjectName(QStringLiteral("isbnLookupOn"));
    m_pService->setObjectName(QStringLiteral("isbnService"));
    m_pService->setPlaceholderText(kDefaultIsbnService);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_pOn, 0, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Adresa serviciului"), this), 1, 0);
    layout->addWidget(m_pService, 1, 1);
    m_pContact->setObjectName(QStringLiteral("isbnContact"));
    m_pContact->setPlaceholderText(QStringLiteral("nume@exemplu.ro"));
    layout->addWidget(new QLabel(QStringLiteral("Adresa de e-mail"), this), 2, 0);
    layout->addWidget(m_pContact, 2, 1);
    auto* why = new QLabel(QStringLiteral("Open Library cere o adresa de contact"), this);
    why->setTextFormat(Qt::PlainText);
    layout->addWidget(why, 3, 1);
    layout->setRowStretch(4, 1);
    connect(m_pOn, &QCheckBox::clicked, this, [this] { m_bAsked = true; });
}

void CPropIsbnDlg::Load(const AppSettings& settings) {
    m_pOn->setChecked(settings.isbnLookup == 1);
    m_pService->setText(settings.isbnService);
    m_pContact->setText(settings.isbnContact);
    m_bAsked = settings.isbnLookup >= 0;
}

void CPropIsbnDlg::Store(AppSettings& settings) const {
    // Not yet asked and left as it was: the first look-up still asks.
    if (m_bAsked) {
        settings.isbnLookup = m_pOn->isChecked() ? 1 : 0;
    }
    settings.isbnService = m_pService->text().trimmed();
    settings.isbnContact = m_pContact->text().trimmed();
}
