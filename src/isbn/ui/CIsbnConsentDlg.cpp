#include "isbn/ui/CIsbnConsentDlg.h"

#include "lookup/LookupSources.h"
#include "shell/AppSettings.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CIsbnConsentDlg::CIsbnConsentDlg(const QString& services, const QString& contact, QWidget* parent)
    : QDialog(parent), m_pContact(MakeEdit("isbnContact", this)) {
    setWindowTitle(kAppCaption);
    auto* question = new QLabel(QStringLiteral("Cartile pot fi cautate dupa ISBN la %1: ISBN-ul "
                                               "este trimis acestor servicii. Permiteti cautarea?")
                                    .arg(services),
                                this);
    question->setTextFormat(Qt::PlainText);
    question->setWordWrap(true);
    auto* why = new QLabel(QStringLiteral("Open Library cere o adresa de contact"), this);
    why->setTextFormat(Qt::PlainText);
    m_pContact->setText(contact);
    m_pContact->setPlaceholderText(QStringLiteral("nume@exemplu.ro"));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Adresa de e-mail (optional)"), m_pContact);
    form->addRow(why);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, this);
    buttons->button(QDialogButtonBox::Yes)->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Yes)->setText(QStringLiteral("Da"));
    buttons->button(QDialogButtonBox::Yes)->setDefault(true);
    buttons->button(QDialogButtonBox::No)->setObjectName(QStringLiteral("cancel"));
    buttons->button(QDialogButtonBox::No)->setText(QStringLiteral("Nu"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(question);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

QString CIsbnConsentDlg::Contact() const {
    return m_pContact->text().trimmed();
}

namespace {
// The names of the sources ISBNs go to, as the settings have them.
QString SourcesInUse() {
    QStringList names;
    for (const LookupSource& source : ParseSources(ToUtf8(Settings().isbnSources))) {
        if (source.on) {
            names << FromUtf8(source.name);
        }
    }
    return names.join(QStringLiteral(", "));
}
} // namespace

bool LookupsAllowed(QWidget* parent) {
    AppSettings& settings = Settings();
    if (settings.isbnLookup < 0) {
        CIsbnConsentDlg consent(SourcesInUse(), settings.isbnContact, parent);
        settings.isbnLookup = consent.exec() == QDialog::Accepted ? 1 : 0;
        if (settings.isbnLookup == 1) {
            settings.isbnContact = consent.Contact();
        }
        SaveSettings();
    }
    return settings.isbnLookup == 1;
}
