#include "stats/ui/CResultListDlg.h"

#include "shell/DialogParts.h"
#include "store/CBookDatabase.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
struct Column {
    const char* header;
    int width;
};
constexpr Column kColumns[] = {{"Nr", 40},     {"Autor", 190}, {"Carti", 50},   {"Citite", 50},
                               {"Volume", 50}, {"Pagini", 50}, {"Capitole", 50}};
} // namespace

CResultListDlg::CResultListDlg(QWidget* parent) : QDialog(parent), m_list(new QTableWidget(this)) {
    setWindowTitle(QStringLiteral("Shelfwarden"));
    m_list->setObjectName(QStringLiteral("results"));
    m_list->setShowGrid(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->horizontalHeader()->setSectionsClickable(false);
    MakeDialogList(m_list);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(MakeDialogButtons(this, CancelButton::None));
    resize(560, 400);
    RememberDialogSize(this, QStringLiteral("Statistics Dialog"));
}

int CResultListDlg::exec() {
    m_list->setColumnCount(static_cast<int>(std::size(kColumns)));
    QStringList headers;
    for (const Column& c : kColumns) {
        headers << QString::fromUtf8(c.header);
    }
    if (m_nMode == NameStatisticsMode::Publishers) {
        headers[1] = QStringLiteral("Editura");
    }
    m_list->setAccessibleName(m_nMode == NameStatisticsMode::Publishers ? QStringLiteral("Edituri")
                                                                        : QStringLiteral("Autori"));
    m_list->setHorizontalHeaderLabels(headers);
    for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c) {
        m_list->setColumnWidth(c, kColumns[c].width);
    }
    FitColumnsToHeaders(m_list);
    const auto rows = ComputeNameStatistics(*m_pDatabase, m_nMode);
    m_list->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < 7; ++c) {
            m_list->setItem(r, c,
                            new QTableWidgetItem(FromUtf8(
                                rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)])));
        }
    }
    return QDialog::exec();
}
