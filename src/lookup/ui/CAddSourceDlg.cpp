#include "lookup/ui/CAddSourceDlg.h"

#include "shell/DialogParts.h"
#include "shell/Prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <utility>

namespace {

// The kinds a user adds, in the order offered; Open Library and Google Books are in the list
// from the start.
constexpr std::array kAddedKinds = {SourceKind::SruMarc21, SourceKind::SruUnimarc,
                                    SourceKind::Z3950Marc21, SourceKind::Z3950Unimarc};

bool IsZ3950(SourceKind kind) {
    return kind == SourceKind::Z3950Marc21 || kind == SourceKind::Z3950Unimarc;
}

// An SRU base address: http or https, a server, no blanks.
bool IsSruAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() && (url.scheme() == "http" || url.scheme() == "https") &&
           !url.host().isEmpty() && !address.contains(QRegularExpression(QStringLiteral("\\s")));
}

bool SameName(const std::string& a, const std::string& b) {
    return FromUtf8(a).compare(FromUtf8(b), Qt::CaseInsensitive) == 0;
}

} // namespace

QString SourceKindLabel(SourceKind kind) {
    switch (kind) {
    case SourceKind::OpenLibrary:
        return QStringLiteral("Open Library (JSON)");
    case SourceKind::GoogleBooks:
        return QStringLiteral("Google Books (JSON)");
    case SourceKind::SruMarc21:
        return QStringLiteral("SRU (MARC 21)");
    case SourceKind::SruUnimarc:
        return QStringLiteral("SRU (UNIMARC)");
    case SourceKind::Z3950Marc21:
        return QStringLiteral("Z39.50 (MARC 21)");
    case SourceKind::Z3950Unimarc:
        return QStringLiteral("Z39.50 (UNIMARC)");
    }
    return {};
}

CAddSourceDlg::CAddSourceDlg(std::vector<std::string> takenNames, QWidget* parent)
    : QDialog(parent), m_pName(MakeEdit("sourceName", this)), m_pKind(new QComboBox(this)),
      m_pAddress(MakeEdit("sourceAddress", this)), m_takenNames(std::move(takenNames)) {
    setWindowTitle(QStringLiteral("Adauga o sursa"));
    m_pKind->setObjectName(QStringLiteral("sourceKind"));
    for (const SourceKind kind : kAddedKinds) {
        m_pKind->addItem(SourceKindLabel(kind), static_cast<int>(kind));
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Nume"), m_pName);
    form->addRow(QStringLiteral("&Tip"), m_pKind);
    form->addRow(QStringLiteral("A&dresa"), m_pAddress);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(MakeDialogButtons(this, CancelButton::Renunta));
    setMinimumWidth(420);
    connect(m_pKind, &QComboBox::currentIndexChanged, this, &CAddSourceDlg::ShowAddressHint);
    ShowAddressHint();
}

void CAddSourceDlg::ShowAddressHint() {
    const auto kind = static_cast<SourceKind>(m_pKind->currentData().toInt());
    m_pAddress->setPlaceholderText(IsZ3950(kind)
                                       ? QStringLiteral("gazda:210/baza")
                                       : QStringLiteral("https://catalog.exemplu.ro/sru"));
}

QString CAddSourceDlg::Refusal(const LookupSource& source, QLineEdit*& culprit) const {
    culprit = m_pName;
    if (source.name.empty()) {
        return QStringLiteral("Dati un nume sursei.");
    }
    if (std::any_of(m_takenNames.begin(), m_takenNames.end(),
                    [&](const std::string& taken) { return SameName(taken, source.name); })) {
        return QStringLiteral("Exista deja o sursa numita \"%1\".").arg(FromUtf8(source.name));
    }
    culprit = m_pAddress;
    const QString address = FromUtf8(source.address);
    if (IsZ3950(source.kind) && !IsZ3950Target(address.toStdString())) {
        return QStringLiteral("Adresa unui catalog Z39.50 este de forma gazda:port/baza, de "
                              "exemplu z3950.loc.gov:7090/Voyager.");
    }
    if (!IsZ3950(source.kind) && !IsSruAddress(address)) {
        return QStringLiteral("Adresa unui catalog SRU incepe cu http:// sau https:// si "
                              "numeste serverul, de exemplu https://catalog.exemplu.ro/sru.");
    }
    // The setting must give back exactly this source.
    if (ParseSources(FormatSources({source})) != std::vector<LookupSource>{source}) {
        culprit = m_pName;
        return QStringLiteral("Numele sau adresa are un semn care nu poate fi pastrat.");
    }
    return {};
}

void CAddSourceDlg::accept() {
    const LookupSource source{true, static_cast<SourceKind>(m_pKind->currentData().toInt()),
                              ToUtf8(m_pName->text().trimmed()),
                              ToUtf8(m_pAddress->text().trimmed())};
    QLineEdit* culprit = nullptr;
    if (const QString refusal = Refusal(source, culprit); !refusal.isEmpty()) {
        ShowMessage(ToUtf8(refusal), this);
        culprit->setFocus();
        culprit->selectAll();
        return;
    }
    m_source = source;
    QDialog::accept();
}
