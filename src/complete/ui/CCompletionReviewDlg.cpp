#include "complete/ui/CCompletionReviewDlg.h"

#include "complete/ui/CCompletionModel.h"
#include "shell/DialogParts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

CCompletionReviewDlg::CCompletionReviewDlg(std::vector<CompletionProposal> proposals,
                                           QWidget* parent)
    : QDialog(parent), m_pModel(new CCompletionModel(std::move(proposals), this)),
      m_pShown(new QSortFilterProxyModel(this)), m_pList(new QTableView(this)),
      m_pField(new QComboBox(this)) {
    setWindowTitle(QStringLiteral("Completeaza din biblioteci"));
    m_pShown->setSourceModel(m_pModel);
    m_pShown->setSortRole(Qt::UserRole);
    m_pShown->setFilterKeyColumn(CCompletionModel::Field);
    m_pList->setObjectName(QStringLiteral("proposals"));
    m_pList->setModel(m_pShown);
    m_pList->setSortingEnabled(true);
    m_pList->sortByColumn(CCompletionModel::Book, Qt::AscendingOrder);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->verticalHeader()->hide();
    m_pList->horizontalHeader()->setStretchLastSection(true);
    m_pList->setColumnWidth(CCompletionModel::Book, 220);
    m_pList->setColumnWidth(CCompletionModel::Now, 160);
    m_pList->setColumnWidth(CCompletionModel::Proposed, 160);
    MakeDialogList(m_pList);

    m_pField->setObjectName(QStringLiteral("field"));
    m_pField->addItem(QStringLiteral("(toate)"));
    for (CompletedField f :
         {CompletedField::Titlu, CompletedField::Autor, CompletedField::Editura,
          CompletedField::Pagini, CompletedField::Publicare, CompletedField::PublicareVolum,
          CompletedField::Serie, CompletedField::NumarSerie}) {
        m_pField->addItem(QString::fromUtf8(CompletedFieldName(f)));
    }
    connect(m_pField, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_pShown->setFilterFixedString(index > 0 ? m_pField->itemText(index) : QString());
    });
    auto* fieldLabel = new QLabel(QStringLiteral("&Camp:"), this);
    fieldLabel->setBuddy(m_pField);
    auto* check = new QPushButton(QStringLiteral("&Bifeaza randurile aratate"), this);
    check->setObjectName(QStringLiteral("checkShown"));
    auto* clear = new QPushButton(QStringLiteral("&Debifeaza randurile aratate"), this);
    clear->setObjectName(QStringLiteral("clearShown"));
    connect(check, &QPushButton::clicked, this, [this] { CheckShown(true); });
    connect(clear, &QPushButton::clicked, this, [this] { CheckShown(false); });
    auto* filters = new QHBoxLayout;
    filters->addWidget(fieldLabel);
    filters->addWidget(m_pField, 1);
    filters->addWidget(check);
    filters->addWidget(clear);

    QDialogButtonBox* buttons = MakeDialogButtons(this, CancelButton::Renunta);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Aplica"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_pList, 1);
    layout->addWidget(buttons);
    MendTabChain(this);
    RememberDialogSize(this, QStringLiteral("Completion"));
    if (size().width() < 820) {
        resize(820, 480);
    }
}

const std::vector<CompletionProposal>& CCompletionReviewDlg::Proposals() const {
    return m_pModel->Proposals();
}

void CCompletionReviewDlg::CheckShown(bool checked) {
    for (int row = 0; row < m_pShown->rowCount(); ++row) {
        m_pModel->SetChecked(m_pShown->mapToSource(m_pShown->index(row, 0)).row(), checked);
    }
}
