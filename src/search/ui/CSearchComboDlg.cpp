#include "search/ui/CSearchComboDlg.h"

#include "shell/DialogParts.h"
#include "store/FixedNames.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CSearchComboDlg::CSearchComboDlg(QWidget* parent) : QDialog(parent), m_pCombo(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Dialog"));
    m_pCombo->setObjectName(QStringLiteral("selection"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Search for"), this);
    label->setBuddy(m_pCombo);
    layout->addWidget(label);
    layout->addWidget(m_pCombo);
    layout->addWidget(MakeDialogButtons(this));
    setMinimumWidth(260);
}

int CSearchComboDlg::exec() {
    m_pCombo->clear();
    auto addAll = [this](const LookupList& list) {
        for (int i = 0; i < list.GetSize(); ++i) {
            m_pCombo->addItem(FromUtf8(list.At(i).Name()));
        }
    };
    if (m_nListKind == kChooseType) {
        addAll(m_aTypes);
    } else if (m_nListKind == kChooseRating) {
        for (const std::string& name : g_ratingNames) {
            m_pCombo->addItem(FromUtf8(name));
        }
    } else if (m_nListKind == kChooseState) {
        addAll(m_aStates);
    }
    m_pCombo->setCurrentIndex(m_pCombo->count() > 0 ? 0 : -1);
    return QDialog::exec();
}

void CSearchComboDlg::accept() {
    m_nSelection = m_pCombo->currentIndex();
    QDialog::accept();
}
