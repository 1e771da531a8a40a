#include "view/ui/CStarterSetDlg.h"

#include "shell/DialogParts.h"
#include "store/StarterLookups.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

namespace {

template <std::size_t N>
QPlainTextEdit* NameList(const char* name, const std::array<std::string, N>& names,
                         QWidget* parent) {
    auto* edit = new QPlainTextEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    // Tab goes on to the next list; Enter starts the next name.
    edit->setTabChangesFocus(true);
    QStringList lines;
    for (const std::string& n : names) {
        lines << FromUtf8(n);
    }
    edit->setPlainText(lines.join(QLatin1Char('\n')));
    return edit;
}

std::vector<std::string> NamesOf(const QPlainTextEdit* edit) {
    return edit ? NamesFromLines(ToUtf8(edit->toPlainText())) : std::vector<std::string>();
}

} // namespace

CStarterSetDlg::CStarterSetDlg(bool offerTypes, bool offerStates, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("starterSetDialog"));
    setWindowTitle(QStringLiteral("Shelfwarden"));
    const QString missing = offerTypes && offerStates ? QStringLiteral("tipuri si stari")
                            : offerTypes              ? QStringLiteral("tipuri")
                                                      : QStringLiteral("stari");
    auto* note = new QLabel(QStringLiteral("Catalogul nu are inca %1 pentru carti: puteti incepe "
                                           "cu acestea, cate unul pe rand, schimbate dupa dorinta.")
                                .arg(missing),
                            this);
    note->setObjectName(QStringLiteral("note"));
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);
    auto* lists = new QGridLayout;
    if (offerTypes) {
        m_pTypes = NameList("types", g_starterTypeNames, this);
        auto* label = new QLabel(QStringLiteral("Tipuri:"), this);
        label->setBuddy(m_pTypes);
        lists->addWidget(label, 0, 0);
        lists->addWidget(m_pTypes, 1, 0);
    }
    if (offerStates) {
        m_pStates = NameList("states", g_starterStateNames, this);
        auto* label = new QLabel(QStringLiteral("Stari:"), this);
        label->setBuddy(m_pStates);
        lists->addWidget(label, 0, 1);
        lists->addWidget(m_pStates, 1, 1);
    }
    QDialogButtonBox* buttons = MakeDialogButtons(this, CancelButton::Renunta);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(lists, 1);
    layout->addWidget(buttons);
    resize(420, 320);
}

std::vector<std::string> CStarterSetDlg::Types() const {
    return NamesOf(m_pTypes);
}

std::vector<std::string> CStarterSetDlg::States() const {
    return NamesOf(m_pStates);
}
