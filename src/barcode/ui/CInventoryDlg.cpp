#include "barcode/ui/CInventoryDlg.h"

#include "barcode/BookCode.h"
#include "isbn/CBookDetailsStore.h"
#include "shell/DialogParts.h"
#include "shell/Prompts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <set>

namespace {
const QString kEveryShelf = QStringLiteral("toate");

// What the line under the field says of a scan.
QString Said(const ShelfScan& scan, const QString& code) {
    const QString book = FromUtf8(BookCodeOf(scan.book)) + " " + FromUtf8(scan.title);
    switch (scan.kind) {
    case ShelfScan::Kind::Ticked:
        return book + QStringLiteral(": bifata");
    case ShelfScan::Kind::Again:
        return book + QStringLiteral(": scanata deja, numarata o data");
    case ShelfScan::Kind::Unknown:
        return QStringLiteral("Nici o carte nu are codul %1").arg(FromUtf8(BookCodeOf(scan.book)));
    case ShelfScan::Kind::Refused:
        return QStringLiteral("Inventarul nu poate fi tinut in acest catalog");
    case ShelfScan::Kind::NotACode:
        break;
    }
    return QStringLiteral("%1 nu este codul unei carti (SW si numarul ei)").arg(code);
}
} // namespace

CInventoryDlg::CInventoryDlg(CBookDatabase& db, QWidget* parent)
    : QDialog(parent), m_check(db, UserMessageSink()), m_pShelf(new QComboBox(this)),
      m_pCode(MakeEdit("code", this)), m_pLast(new QLabel(this)), m_pBooks(new QListWidget(this)),
      m_pReport(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Inventar"));
    m_pShelf->setObjectName(QStringLiteral("shelf"));
    m_pShelf->addItem(kEveryShelf);
    if (const auto locations = CBookDetailsStore(db, UserMessageSink()).Locations()) {
        for (const std::string& location : *locations) {
            m_pShelf->addItem(FromUtf8(location));
        }
    }
    m_pBooks->setObjectName(QStringLiteral("books"));
    MakeDialogList(m_pBooks);
    m_pReport->setObjectName(QStringLiteral("report"));
    m_pReport->setReadOnly(true);
    m_pLast->setObjectName(QStringLiteral("lastScan"));
    m_pLast->setTextFormat(Qt::PlainText);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Locatia:"), m_pShelf);
    form->addRow(QStringLiteral("&Cod:"), m_pCode);
    form->addRow(m_pLast);
    auto* lists = new QHBoxLayout;
    lists->addWidget(m_pBooks);
    lists->addWidget(m_pReport);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* print =
        buttons->addButton(QStringLiteral("&Tipareste raportul..."), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("print"));
    QPushButton* finish =
        buttons->addButton(QStringLiteral("&Incheie inventarul"), QDialogButtonBox::ActionRole);
    finish->setObjectName(QStringLiteral("finish"));
    QPushButton* close =
        buttons->addButton(QStringLiteral("Inchide"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("cancel"));
    for (QPushButton* button : {print, finish, close}) {
        button->setAutoDefault(false);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(lists);
    layout->addWidget(buttons);
    LetTabThroughButtons(buttons);
    connect(print, &QPushButton::clicked, this, &CInventoryDlg::OnPrint);
    connect(finish, &QPushButton::clicked, this, &CInventoryDlg::OnFinish);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pCode, &QLineEdit::returnPressed, this, &CInventoryDlg::OnScan);
    connect(m_pShelf, &QComboBox::currentIndexChanged, this, &CInventoryDlg::Refresh);
    // A check under way goes on where it was left.
    if (const auto current = m_check.Current()) {
        m_pShelf->setCurrentIndex(current->empty() ? 0 : m_pShelf->findText(FromUtf8(*current)));
        m_pLast->setText(QStringLiteral("Inventarul inceput continua."));
    }
    Refresh();
    // Room for a shelf's titles and the report side by side, unless the user chose otherwise.
    resize(820, 560);
    RememberDialogSize(this, QStringLiteral("Inventory"));
    MendTabChain(this);
    m_pCode->setFocus();
}

std::string CInventoryDlg::Shelf() const {
    return m_pShelf->currentIndex() <= 0 ? std::string() : ToUtf8(m_pShelf->currentText());
}

void CInventoryDlg::OnScan() {
    const QString code = m_pCode->text().trimmed();
    m_pCode->clear();
    if (code.isEmpty()) {
        return;
    }
    m_pLast->setText(Said(m_check.Scan(Shelf(), ToUtf8(code)), code));
    Refresh();
}

void CInventoryDlg::Refresh() {
    // The location cannot change under a check: it is ended first.
    const auto current = m_check.Current();
    m_pShelf->setEnabled(!current);
    const auto scanned = m_check.Scanned();
    const auto books = m_check.BooksOn(Shelf());
    const auto report = m_check.Report(Shelf());
    m_pBooks->clear();
    m_pReport->clear();
    if (!scanned || !books || !report) {
        return;
    }
    const std::set<std::int32_t> ticked(scanned->begin(), scanned->end());
    for (const ShelfBook& book : *books) {
        auto* item =
            new QListWidgetItem(FromUtf8(BookCodeOf(book.id) + "  " + book.title), m_pBooks);
        item->setFlags(Qt::ItemIsEnabled);
        item->setCheckState(ticked.contains(book.id) ? Qt::Checked : Qt::Unchecked);
    }
    m_pReport->setPlainText(FromUtf8(ShelfReportText(*report)));
}

void CInventoryDlg::OnPrint() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("printPreview"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) {
        QTextDocument document;
        document.setPlainText(m_pReport->toPlainText());
        document.print(p);
    });
    preview.exec();
}

void CInventoryDlg::OnFinish() {
    if (!AskYesNo("Incheiati inventarul? Cartile scanate sunt uitate.", this, true)) {
        return;
    }
    m_check.Finish();
    m_pLast->clear();
    Refresh();
}
