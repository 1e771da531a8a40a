#include "isbn/ui/CPropIsbnDlg.h"

#include "lookup/LookupSources.h"
#include "lookup/ui/CSourceListEdit.h"
#include "shell/AppSettings.h"
#include "shell/DialogParts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

bool IsGiven(const QString& key) {
    return !key.trimmed().isEmpty();
}

} // namespace

CPropIsbnDlg::CPropIsbnDlg(QWidget* parent)
    : QWidget(parent),
      m_pOn(new QCheckBox(QStringLiteral("Cauta cartile dupa ISBN pe internet"), this)),
      m_pService(new QLineEdit(this)), m_pContact(new QLineEdit(this)),
      m_pSources(new CSourceListEdit(this)), m_pGoogleKey(new QLineEdit(this)) {
    m_pOn->setObjectName(QStringLiteral("isbnLookupOn"));
    m_pService->setObjectName(QStringLiteral("isbnService"));
    m_pService->setPlaceholderText(kDefaultIsbnService);
    auto* layout = new QGridLayout(this);
    layout->addWidget(m_pOn, 0, 0, 1, 2);
    auto* service = new QLabel(QStringLiteral("Adresa serviciului"), this);
    service->setBuddy(m_pService);
    layout->addWidget(service, 1, 0);
    layout->addWidget(m_pService, 1, 1);
    m_pContact->setObjectName(QStringLiteral("isbnContact"));
    m_pContact->setPlaceholderText(QStringLiteral("nume@exemplu.ro"));
    auto* contact = new QLabel(QStringLiteral("Adresa de e-mail"), this);
    contact->setBuddy(m_pContact);
    layout->addWidget(contact, 2, 0);
    layout->addWidget(m_pContact, 2, 1);
    auto* why = new QLabel(QStringLiteral("Open Library cere o adresa de contact"), this);
    why->setTextFormat(Qt::PlainText);
    layout->addWidget(why, 3, 1);
    auto* sources = new QLabel(QStringLiteral("Su&rsele, in ordinea in care sunt intrebate"), this);
    sources->setBuddy(m_pSources->List());
    // The list lies inside its editor, out of the label's reach for a screen reader.
    NameForScreenReaders(m_pSources->List(), sources->text().remove(QLatin1Char('&')));
    layout->addWidget(sources, 4, 0, 1, 2);
    layout->addWidget(m_pSources, 5, 0, 1, 2);
    m_pGoogleKey->setObjectName(QStringLiteral("isbnGoogleKey"));
    m_pGoogleKey->setToolTip(QStringLiteral(
        "Cheia API pe care o cere Google Books; fara ea, Google Books ramane oprit"));
    auto* key = new QLabel(QStringLiteral("Cheie &Google Books"), this);
    key->setBuddy(m_pGoogleKey);
    layout->addWidget(key, 6, 0);
    layout->addWidget(m_pGoogleKey, 6, 1);
    layout->setRowStretch(5, 1);
    connect(m_pOn, &QCheckBox::clicked, this, [this] { m_bAsked = true; });
    connect(m_pGoogleKey, &QLineEdit::textChanged, m_pSources,
            [this](const QString& text) { m_pSources->SetGoogleKeyGiven(IsGiven(text)); });
    connect(m_pSources, &CSourceListEdit::KeyWanted, m_pGoogleKey,
            [this] { m_pGoogleKey->setFocus(); });
}

void CPropIsbnDlg::Load(const AppSettings& settings) {
    m_pOn->setChecked(settings.isbnLookup == 1);
    m_pService->setText(settings.isbnService);
    m_pContact->setText(settings.isbnContact);
    m_pGoogleKey->setText(settings.isbnGoogleKey);
    m_pSources->SetGoogleKeyGiven(IsGiven(settings.isbnGoogleKey));
    m_pSources->SetSources(ParseSources(ToUtf8(settings.isbnSources)));
    m_bAsked = settings.isbnLookup >= 0;
}

void CPropIsbnDlg::Store(AppSettings& settings) const {
    // Not yet asked and left as it was: the first look-up still asks.
    if (m_bAsked) {
        settings.isbnLookup = m_pOn->isChecked() ? 1 : 0;
    }
    settings.isbnService = m_pService->text().trimmed();
    settings.isbnContact = m_pContact->text().trimmed();
    const std::vector<LookupSource>& sources = m_pSources->Sources();
    settings.isbnSources =
        sources == DefaultSources() ? QString() : FromUtf8(FormatSources(sources));
    settings.isbnGoogleKey = m_pGoogleKey->text().trimmed();
}
