#include "view/ui/CLookupEditDlg.h"

#include "shell/CSearchTextDlg.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "view/BookRowTexts.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

CLookupEditDlg::CLookupEditDlg(QWidget* parent) : QDialog(parent), m_list(new QTableWidget(this)) {
    setWindowTitle(QStringLiteral("Shelfwarden"));
    m_list->setObjectName(QStringLiteral("entries"));
    m_list->setColumnCount(2);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->horizontalHeader()->setStretchLastSection(true);
    MakeDialogList(m_list);

    QDialogButtonBox* ok = MakeDialogButtons(this, CancelButton::None);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    const struct {
        const char* text;
        const char* name;
        void (CLookupEditDlg::*slot)();
    } actions[] = {{"&Add", "add", &CLookupEditDlg::OnAdd},
                   {"&Modify", "modify", &CLookupEditDlg::OnModify},
                   {"&Delete", "delete", &CLookupEditDlg::OnDelete}};
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    // Tab goes OK, list, Add, Modify, Delete.
    QWidget* previous = m_list;
    setTabOrder(ok->findChild<QWidget*>(QStringLiteral("ok")), m_list);
    for (const auto& a : actions) {
        auto* button = new QPushButton(QString::fromUtf8(a.text), this);
        button->setObjectName(QString::fromUtf8(a.name));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, a.slot);
        buttons->addWidget(button);
        setTabOrder(previous, button);
        previous = button;
    }
    layout->addLayout(buttons);
    setMinimumSize(340, 300);
    RememberDialogSize(this, QStringLiteral("Lookup Editor"));
}

int CLookupEditDlg::exec() {
    m_list->setHorizontalHeaderLabels({QStringLiteral("ID"), QString::fromUtf8(Texts().header)});
    m_list->setAccessibleName(QString::fromUtf8(Texts().header));
    m_list->setColumnWidth(0, 50);
    m_list->setColumnWidth(1, 120);
    FitColumnsToHeaders(m_list);
    // What the catalogue holds now, not a copy that an earlier editor may have outdated.
    ShowStoredRows();
    m_bChanged = false;
    return QDialog::exec();
}

void CLookupEditDlg::FillListControl() {
    m_list->clearContents();
    m_list->setRowCount(m_aEntries.GetSize());
    for (int i = 0; i < m_aEntries.GetSize(); ++i) {
        const LookupEntry& e = m_aEntries.At(i);
        m_list->setItem(i, 0, new QTableWidgetItem(QString::number(e.GetId())));
        m_list->setItem(i, 1, new QTableWidgetItem(FromUtf8(e.Name())));
    }
}

void CLookupEditDlg::ReloadEntries() {
    ReloadLookupList(*m_pDatabase, IsTypes() ? LookupKind::Types : LookupKind::States,
                     Texts().reloadStatement, m_aEntries);
}

void CLookupEditDlg::ShowStoredRows() {
    ReloadEntries();
    FillListControl();
}

int CLookupEditDlg::SelectedRow() const {
    const QList<QTableWidgetSelectionRange> ranges = m_list->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void CLookupEditDlg::OnAdd() {
    CSearchTextDlg ask(this);
    ask.m_strLabel = Texts().nameCaption;
    if (ask.exec() != QDialog::Accepted) {
        return;
    }
    if (FindIdByName(ask.m_strValue) != -1) {
        ShowMessage(Texts().alreadyPresent, this);
        return;
    }
    if (IsTypes()) {
        m_pDatabase->InsertType(ask.m_strValue);
    } else {
        m_pDatabase->InsertState(ask.m_strValue);
    }
    ShowStoredRows();
    m_bChanged = true;
}

void CLookupEditDlg::OnModify() {
    const int row = SelectedRow();
    if (row < 0) {
        ShowMessage(Texts().noneSelected, this);
        return;
    }
    const std::int32_t id = m_aEntries.At(row).GetId();
    CSearchTextDlg ask(this);
    ask.m_strLabel = Texts().nameCaption;
    ask.m_strValue = ToUtf8(m_list->item(row, 1)->text());
    if (ask.exec() != QDialog::Accepted) {
        return;
    }
    if (FindIdByName(ask.m_strValue) != -1) {
        ShowMessage(Texts().alreadyPresent, this);
        return;
    }
    const bool stored = IsTypes() ? m_pDatabase->UpdateType(id, ask.m_strValue)
                                  : m_pDatabase->UpdateState(id, ask.m_strValue);
    m_bChanged = true;
    if (!stored) {
        ShowStoredRows();
        return;
    }
    const int index = FindIndexById(id);
    if (index >= 0) {
        m_aEntries.SetAt(index, LookupEntry(id, ask.m_strValue));
    }
    m_list->item(row, 1)->setText(FromUtf8(ask.m_strValue));
}

void CLookupEditDlg::OnDelete() {
    const int row = SelectedRow();
    if (row < 0) {
        ShowMessage(Texts().noneSelected, this);
        return;
    }
    if (!AskYesNo(Texts().confirmDelete, this)) {
        return;
    }
    // The row's own identifier: a name read back from the widget may not be the stored bytes.
    const std::int32_t id = m_aEntries.At(row).GetId();
    const bool deleted = IsTypes() ? m_pDatabase->DeleteType(id) : m_pDatabase->DeleteState(id);
    m_bChanged = true;
    if (deleted) {
        m_list->removeRow(row);
        m_aEntries.RemoveAt(row);
    } else {
        ShowStoredRows();
    }
    // The next Delete must be about a row the user picks, not a neighbour selected by itself.
    m_list->clearSelection();
    m_list->setCurrentItem(nullptr);
}
