#include "transfer/ui/CImportExportPrintCommands.h"

#include "shell/CShelfwardenDoc.h"
#include "shell/DialogParts.h"
#include "shell/OutputFile.h"
#include "shell/Prompts.h"
#include "shell/WriteInProgress.h"
#include "store/CBookDatabase.h"
#include "store/CatalogueCopy.h"
#include "store/CountedNoun.h"
#include "store/SiblingFiles.h"
#include "store/UserReasons.h"
#include "transfer/CatalogueExport.h"
#include "transfer/CatalogueImport.h"
#include "transfer/FileText.h"
#include "transfer/ui/CImportDlg.h"
#include "transfer/ui/ListingPrint.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CShelfwardenView.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Offered with every output while more than one row is selected.
constexpr const char* kOnlySelected = "Doar cartile selectate";

const QString kCsvFilter = QStringLiteral("Fisiere CSV (*.csv)");

// A progress dialog that shows itself only when the work lasts, and the step the core calls:
// it moves the bar, lets the window breathe and tells whether to go on.
class Progress {
public:
    Progress(const QString& label, QWidget* parent)
        : m_dialog(label, QStringLiteral("Anuleaza"), 0, kSteps, parent) {
        m_dialog.setWindowTitle(kAppCaption);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(400);
        m_dialog.setValue(0);
    }
    bool Step(std::size_t done, std::size_t total) {
        if (total > 0) {
            m_dialog.setValue(static_cast<int>(kSteps * done / total));
        }
        return !m_dialog.wasCanceled();
    }

private:
    static constexpr int kSteps = 1000;
    QProgressDialog m_dialog;
};

std::string ImportFailure(const ImportResult& r, const QString& path) {
    std::string where = r.errorLine > 0
                            ? ShownFileName(path) + ", linia " + std::to_string(r.errorLine) + ": "
                            : std::string();
    return "Nu s-a importat nicio carte.\n" + where + RomanianReason(r.error);
}

QString ImportSummary(const ImportResult& r, bool skipDuplicates) {
    const int skipped = skipDuplicates ? r.duplicates : 0;
    QString text = QStringLiteral("Importate: %1; respinse: %2; deja in catalog: %3")
                       .arg(QString::fromStdString(CountedNoun(r.books, "carte", "carti")))
                       .arg(static_cast<qsizetype>(r.rejects.size()) - skipped)
                       .arg(r.duplicates);
    if (r.isbnsLeftOut > 0) {
        text += QStringLiteral("\nFara ISBN-ul din fisier, care nu este unul valid: %1")
                    .arg(QString::fromStdString(CountedNoun(r.isbnsLeftOut, "carte", "carti")));
    }
    if (!r.ignoredColumns.empty()) {
        QStringList names;
        for (const std::string& c : r.ignoredColumns) {
            names << FromUtf8(c);
        }
        text += QStringLiteral("\nColoane nefolosite: ") + names.join(QStringLiteral(", "));
    }
    return text;
}

} // namespace

CImportExportPrintCommands::CImportExportPrintCommands(CShelfwardenDoc* doc, CShelfwardenView* view)
    : QObject(view), m_pDocument(doc), m_pView(view) {}

void CImportExportPrintCommands::OnFileImport() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    if (m_beforeImport) {
        m_beforeImport();
    }
    const auto path = ChooseFile(FileDialogMode::Open, kCsvFilter, QStringLiteral("csv"), m_pView);
    if (!path) {
        return;
    }
    // The preview reads only the file's start, whatever its size; the import reads it whole.
    const auto read = [&](std::string& text, std::size_t most) {
        std::string failure;
        if (ReadRegularFile(OutputFileName(*path), text, failure, most)) {
            return true;
        }
        ShowMessage("Fisierul " + ShownFileName(*path) +
                        " nu poate fi citit: " + RomanianReason(failure),
                    m_pView);
        return false;
    };
    std::string start;
    if (!read(start, kPreviewBytes + 1)) {
        return;
    }
    CImportDlg dialog(QFileInfo(*path).fileName(), std::move(start), m_pView->Types().Names(),
                      m_pView->States().Names(), m_pView);
    std::string text;
    if (dialog.exec() != QDialog::Accepted ||
        !read(text, std::numeric_limits<std::size_t>::max())) {
        return;
    }
    ImportOptions options = dialog.Options();
    options.setAsideRejects = true;
    ImportResult result;
    {
        const WriteInProgress writing;
        Progress progress(QStringLiteral("Se importa cartile..."), m_pView);
        options.progress = [&](std::size_t done, std::size_t total) {
            return progress.Step(done, total);
        };
        result = ImportCsv(text, *db, options);
    }
    if (result.cancelled) {
        ShowMessage("Importul a fost anulat; nu s-a importat nicio carte.", m_pView);
        return;
    }
    if (!result.ok) {
        ShowMessage(ImportFailure(result, *path), m_pView);
        return;
    }
    m_pView->ShowCatalogue();
    const QString summary = ImportSummary(result, options.skipDuplicates);
    if (result.rejects.empty()) {
        ShowMessage(ToUtf8(summary), m_pView);
        return;
    }
    OfferRejects(result, summary);
}

void CImportExportPrintCommands::OfferRejects(const ImportResult& result, const QString& summary) {
    if (!AskYesNo(ToUtf8(summary) +
                      "\n\nSalvati randurile respinse intr-un fisier CSV, ca sa le corectati si "
                      "sa le importati din nou?",
                  m_pView)) {
        return;
    }
    const auto path = ChooseFile(FileDialogMode::Save, kCsvFilter, QStringLiteral("csv"), m_pView);
    if (!path || !MayWrite(*path, *m_pView->Database(), m_pView)) {
        return;
    }
    const std::string failure = ReplaceFileWith(OutputFileName(*path), RejectsCsv(result));
    if (!failure.empty()) {
        ShowMessage("Fisierul " + ShownFileName(*path) +
                        " nu poate fi scris: " + RomanianReason(failure),
                    m_pView);
    }
}

std::vector<int> CImportExportPrintCommands::SelectedListRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_pView->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::ranges::sort(rows);
    return rows;
}

std::optional<QString> CImportExportPrintCommands::ChooseOutput(const QString& filter,
                                                                const QString& suffix,
                                                                bool& onlySelected) const {
    if (SelectedListRows().size() > 1) {
        return ChooseFileWithOption(FileDialogMode::Save, filter, suffix,
                                    QString::fromUtf8(kOnlySelected), onlySelected, m_pView);
    }
    onlySelected = false;
    return ChooseFile(FileDialogMode::Save, filter, suffix, m_pView);
}

void CImportExportPrintCommands::OnFileExport() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    bool onlySelected = true;
    const auto path = ChooseOutput(kCsvFilter, QStringLiteral("csv"), onlySelected);
    if (!path || !MayWrite(*path, *db, m_pView)) {
        return;
    }
    std::vector<std::int32_t> selected;
    if (onlySelected) {
        selected = m_pView->SelectedBookIds();
        std::ranges::sort(selected);
    }
    std::string csv;
    std::size_t books = 0;
    bool cancelled = false;
    bool read = false;
    {
        Progress progress(QStringLiteral("Se exporta cartile..."), m_pView);
        ExportOptions options;
        options.onlyBooks = selected;
        options.progress = [&](std::size_t done, std::size_t total) {
            books = selected.empty() ? total : selected.size();
            cancelled = !progress.Step(done, total);
            return !cancelled;
        };
        read = ExportCsv(*db, csv, options);
    }
    if (cancelled) {
        ShowMessage("Exportul a fost anulat; nu s-a scris niciun fisier.", m_pView);
        return;
    }
    if (!read) {
        return; // the catalogue has said why
    }
    const std::string failure = ReplaceFileWith(OutputFileName(*path), csv);
    if (!failure.empty()) {
        ShowMessage("Fisierul " + ShownFileName(*path) +
                        " nu poate fi scris: " + RomanianReason(failure),
                    m_pView);
        return;
    }
    ShowMessage("Exportate: " + CountedNoun(books, "carte", "carti") + " in " +
                    ShownFileName(*path) + ".",
                m_pView);
}

void CImportExportPrintCommands::OnFilePrint() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpListingPrinter(printer);
    QPrintDialog dialog(&printer, m_pView);
    QCheckBox* onlySelected = nullptr;
    if (SelectedListRows().size() > 1) {
        auto* page = new QWidget;
        page->setWindowTitle(QStringLiteral("Selectie"));
        onlySelected = new QCheckBox(QString::fromUtf8(kOnlySelected), page);
        onlySelected->setObjectName(QStringLiteral("onlySelected"));
        onlySelected->setChecked(true);
        (new QVBoxLayout(page))->addWidget(onlySelected);
        dialog.setOptionTabs({page});
    }
    if (dialog.exec() == QDialog::Accepted &&
        !PrintListing(printer, *m_pView->Model(), m_pDocument->GetTitle(),
                      onlySelected && onlySelected->isChecked() ? SelectedListRows()
                                                                : std::vector<int>{})) {
        ShowMessage("Lista nu poate fi tiparita.", m_pView);
    }
}

void CImportExportPrintCommands::OnFilePrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    SetUpListingPrinter(printer);
    QPrintPreviewDialog preview(&printer, m_pView);
    preview.setObjectName(QStringLiteral("printPreview"));
    // As Print, the preview offers the selection alone, on its toolbar, and shows it at once.
    QAction* onlySelected = nullptr;
    auto* toolBar = preview.findChild<QToolBar*>();
    if (SelectedListRows().size() > 1 && toolBar) {
        toolBar->addSeparator();
        onlySelected = toolBar->addAction(QString::fromUtf8(kOnlySelected));
        onlySelected->setObjectName(QStringLiteral("onlySelected"));
        onlySelected->setCheckable(true);
        onlySelected->setChecked(true);
        if (auto* pages = preview.findChild<QPrintPreviewWidget*>()) {
            connect(onlySelected, &QAction::toggled, pages, &QPrintPreviewWidget::updatePreview);
        }
    }
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, onlySelected](QPrinter* p) {
                PrintListing(*p, *m_pView->Model(), m_pDocument->GetTitle(),
                             onlySelected && onlySelected->isChecked() ? SelectedListRows()
                                                                       : std::vector<int>{});
            });
    preview.exec();
}

void CImportExportPrintCommands::OnFileExportPdf() {
    bool onlySelected = true;
    const auto path =
        ChooseOutput(QStringLiteral("Fisiere PDF (*.pdf)"), QStringLiteral("pdf"), onlySelected);
    if (!path || !MayWrite(*path, *m_pView->Database(), m_pView)) {
        return;
    }
    const std::vector<int> rows = onlySelected ? SelectedListRows() : std::vector<int>{};
    const bool written = WritePdf(
        *path,
        [&](QPagedPaintDevice& writer) {
            SetUpListingPrinter(writer);
            return PrintListing(writer, *m_pView->Model(), m_pDocument->GetTitle(), rows);
        },
        m_pView);
    if (!written) {
        return;
    }
    if (auto* frame = qobject_cast<QMainWindow*>(m_pView->window())) {
        frame->statusBar()->showMessage(
            QString::fromStdString("Lista a fost scrisa in " + ShownFileName(*path) + "."));
    }
}
