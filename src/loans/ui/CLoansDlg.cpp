#include "loans/ui/CLoansDlg.h"

#include "loans/CLoanRegister.h"
#include "loans/LoanTexts.h"
#include "loans/ui/CLoanListModel.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

CLoansDlg::CLoansDlg(QWidget* parent)
    : QDialog(parent), m_model(new CLoanListModel(this)), m_list(new QTableView(this)),
      m_borrower(new QComboBox(this)),
      m_withReturned(new QCheckBox(QStringLiteral("Arata si cele returnate"), this)) {
    setWindowTitle(QStringLiteral("Imprumuturi"));
    // Room is left for the window's frame, so that the whole of it is on the screen.
    resize(QSize(920, 420).boundedTo(screen()->availableGeometry().size() - QSize(40, 80)));
    m_list->setObjectName(QStringLiteral("loanList"));
    NameForScreenReaders(m_list, windowTitle());
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setWordWrap(false);
    FitColumnsToHeaders(m_list);
    MakeDialogList(m_list);
    m_list->verticalHeader()->hide();
    m_list->horizontalHeader()->setSectionsClickable(true);
    m_list->horizontalHeader()->setStretchLastSection(true);
    for (const auto& [column, width] :
         {std::pair{LoanColumn::Title, 220}, std::pair{LoanColumn::Author, 150},
          std::pair{LoanColumn::Borrower, 150}}) {
        m_list->setColumnWidth(static_cast<int>(column), width);
    }
    m_borrower->setObjectName(QStringLiteral("borrowerFilter"));
    KeepNameChooserNarrow(m_borrower);
    m_withReturned->setObjectName(QStringLiteral("withReturned"));

    auto* filters = new QHBoxLayout;
    auto* borrowerLabel = new QLabel(QStringLiteral("Imprumutate lui:"), this);
    borrowerLabel->setBuddy(m_borrower);
    filters->addWidget(borrowerLabel);
    filters->addWidget(m_borrower, 1);
    filters->addWidget(m_withReturned);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* giveBack =
        buttons->addButton(QStringLiteral("Returnata"), QDialogButtonBox::ActionRole);
    giveBack->setObjectName(QStringLiteral("returnLoan"));
    QPushButton* show =
        buttons->addButton(QStringLiteral("Arata cartea"), QDialogButtonBox::ActionRole);
    show->setObjectName(QStringLiteral("showBook"));
    QPushButton* close =
        buttons->addButton(QStringLiteral("Inchide"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("close"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_list);
    layout->addWidget(buttons);

    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CLoansDlg::OnHeaderClicked);
    connect(m_borrower, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_query.borrower = index > 0 ? ToUtf8(m_borrower->itemText(index)) : std::string();
        Reload();
    });
    connect(m_withReturned, &QCheckBox::toggled, this, [this](bool on) {
        m_query.withReturned = on;
        Reload();
    });
    connect(giveBack, &QPushButton::clicked, this, &CLoansDlg::OnReturn);
    connect(show, &QPushButton::clicked, this, &CLoansDlg::OnShowBook);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool CLoansDlg::Load() {
    const auto borrowers = m_pLoans->Borrowers();
    if (!borrowers) {
        return false;
    }
    m_query.today = m_strToday;
    findChild<QPushButton*>(QStringLiteral("returnLoan"))->setEnabled(!m_bReadOnly);
    const QSignalBlocker quiet(m_borrower);
    m_borrower->addItem(QStringLiteral("(toti)"));
    for (const std::string& name : *borrowers) {
        m_borrower->addItem(FromUtf8(name));
    }
    return Reload();
}

bool CLoansDlg::Reload() {
    auto rows = m_pLoans->List(m_query);
    if (!rows) {
        return false;
    }
    m_model->ResetRows(std::move(*rows));
    return true;
}

void CLoansDlg::OnHeaderClicked(int column) {
    const auto clicked = static_cast<LoanColumn>(column);
    m_query.descending = m_query.sortBy == clicked && !m_query.descending;
    m_query.sortBy = clicked;
    QHeaderView* header = m_list->horizontalHeader();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, m_query.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    Reload();
}

const LoanRow* CLoansDlg::SelectedLoan() const {
    const QModelIndexList rows = m_list->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        ShowMessage(msg::kNoBookSelected, m_list->window());
        return nullptr;
    }
    return &m_model->Row(rows.front().row());
}

void CLoansDlg::OnReturn() {
    const LoanRow* loan = SelectedLoan();
    if (!loan) {
        return;
    }
    // A returned row is history: the book may be out again, on another loan.
    if (!loan->IsOpen()) {
        ShowMessage(msg::kNotLent, this);
        return;
    }
    if (m_pLoans->Return(loan->book, m_strToday)) {
        Reload();
        emit LoanReturned();
    }
}

void CLoansDlg::OnShowBook() {
    if (const LoanRow* loan = SelectedLoan()) {
        m_nShowBook = loan->book;
        accept();
    }
}
