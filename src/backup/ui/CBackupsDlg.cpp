#include "backup/ui/CBackupsDlg.h"

#include "shell/DialogParts.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

CBackupsDlg::CBackupsDlg(const std::vector<BackupCopy>& copies, const QString& folder,
                         QWidget* parent)
    : QDialog(parent), m_list(new QTableWidget(static_cast<int>(copies.size()), 3, this)) {
    setWindowTitle(QStringLiteral("Copii de siguranta"));
    setObjectName(QStringLiteral("backupsDialog"));
    auto* where = new QLabel(QStringLiteral("Copiile se afla in %1").arg(folder), this);
    where->setObjectName(QStringLiteral("folder"));
    where->setTextFormat(Qt::PlainText);
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_list->setObjectName(QStringLiteral("backupList"));
    m_list->setAccessibleName(windowTitle());
    m_list->setHorizontalHeaderLabels(
        {QStringLiteral("Data"), QStringLiteral("Marime"), QStringLiteral("Carti")});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    MakeDialogList(m_list);
    m_list->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < m_list->rowCount(); ++row) {
        const auto texts = BackupRowTexts(copies[static_cast<std::size_t>(row)]);
        for (int column = 0; column < 3; ++column) {
            m_list->setItem(row, column,
                            new QTableWidgetItem(
                                QString::fromStdString(texts[static_cast<std::size_t>(column)])));
        }
    }

    auto* buttons = new QDialogButtonBox(this);
    auto* restore =
        buttons->addButton(QStringLiteral("&Restaureaza"), QDialogButtonBox::ActionRole);
    restore->setObjectName(QStringLiteral("restore"));
    auto* open =
        buttons->addButton(QStringLiteral("&Deschide copia"), QDialogButtonBox::ActionRole);
    open->setObjectName(QStringLiteral("openCopy"));
    auto* close = buttons->addButton(QStringLiteral("Inchide"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("close"));
    open->setEnabled(!copies.empty());
    // A damaged copy can be looked at, never restored.
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, restore, copies] {
                const int row = ChosenRow();
                restore->setEnabled(row >= 0 && !copies[static_cast<std::size_t>(row)].damaged);
            });
    restore->setEnabled(false);
    m_list->selectRow(0);
    connect(restore, &QPushButton::clicked, this, [this] { Choose(Choice::Restore); });
    connect(open, &QPushButton::clicked, this, [this] { Choose(Choice::OpenCopy); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(where);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(460, 360);
}

int CBackupsDlg::ChosenRow() const {
    const auto rows = m_list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void CBackupsDlg::Choose(Choice choice) {
    if (ChosenRow() < 0) {
        return;
    }
    m_choice = choice;
    accept();
}
