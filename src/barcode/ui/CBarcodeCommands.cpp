#include "barcode/ui/CBarcodeCommands.h"

#include "barcode/ui/CLabelsDlg.h"
#include "isbn/CBookDetailsStore.h"
#include "shell/Prompts.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CShelfwardenView.h"

CBarcodeCommands::CBarcodeCommands(CShelfwardenView* view) : QObject(view), m_pView(view) {}

std::vector<BookLabel> CBarcodeCommands::ChosenLabels() const {
    std::vector<RowTexts> rows = m_pView->SelectedRows();
    if (rows.size() <= 1) {
        rows.clear();
        for (int row = 0; row < m_pView->Model()->rowCount(); ++row) {
            rows.push_back(m_pView->Model()->Row(row));
        }
    }
    const auto details = CBookDetailsStore(*m_pView->Database(), UserMessageSink()).ReadAll();
    std::vector<BookLabel> labels;
    for (const RowTexts& row : rows) {
        BookLabel label;
        label.id = static_cast<std::int32_t>(std::stol(row[0]));
        label.title = row[1];
        label.author = row[2];
        if (details) {
            const auto found = details->find(label.id);
            label.location = found == details->end() ? std::string() : found->second.locatie;
        }
        labels.push_back(std::move(label));
    }
    return labels;
}

void CBarcodeCommands::OnPrintLabels() {
    if (!m_pView->OpenDatabaseOrComplain()) {
        return;
    }
    std::vector<BookLabel> labels = ChosenLabels();
    if (labels.empty()) {
        ShowMessage("Lista nu are nici o carte pentru etichete.", m_pView);
        return;
    }
    CLabelsDlg dialog(std::move(labels), m_pView);
    dialog.exec();
}
