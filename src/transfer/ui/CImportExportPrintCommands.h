#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class CShelfwardenDoc;
class CShelfwardenView;
struct ImportResult;

// The File menu's ways in and out of the catalogue: Import and Export of CSV files, Print,
// Print Preview and Export PDF of the listing shown. A long import or export shows its progress
// and can be cancelled: a cancelled import stores nothing, a cancelled export writes no file.
class CImportExportPrintCommands : public QObject {
    Q_OBJECT
public:
    CImportExportPrintCommands(CShelfwardenDoc* doc, CShelfwardenView* view);
    // Runs as an import begins, on an open catalogue: what it may need before its books come.
    void SetBeforeImport(std::function<void()> hook) { m_beforeImport = std::move(hook); }

public slots:
    // Stores every row that can be stored, skipping (unless asked) books already in the
    // catalogue, tells what was stored and offers to save the rows set aside as a CSV.
    void OnFileImport();
    void OnFileExport();
    void OnFilePrint();
    void OnFilePrintPreview();
    void OnFileExportPdf();

private:
    void OfferRejects(const ImportResult& result, const QString& summary);
    // The list's selected rows, in list order.
    std::vector<int> SelectedListRows() const;
    // The file to write to; while more than one row is selected the chooser offers "Doar
    // cartile selectate", and `onlySelected` tells how the user left it (false otherwise).
    std::optional<QString> ChooseOutput(const QString& filter, const QString& suffix,
                                        bool& onlySelected) const;

    CShelfwardenDoc* m_pDocument;
    CShelfwardenView* m_pView;
    std::function<void()> m_beforeImport;
};
