#include "barcode/ui/CBarcodeCommands.h"

#include "barcode/BookCode.h"
#include "barcode/ui/CInventoryDlg.h"
#include "barcode/ui/CLabelsDlg.h"
#include "isbn/CBookDetailsStore.h"
#include "shell/Prompts.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CShelfwardenView.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QStatusBar>

namespace {
// The longest code a label carries ("SW" and ten digits), and a little more.
constexpr qsizetype kLongestCode = 16;
} // namespace

CBarcodeCommands::CBarcodeCommands(CShelfwardenView* view, std::function<void()> clearFilter)
    : QObject(view), m_pView(view), m_clearFilter(std::move(clearFilter)) {
    view->installEventFilter(this);
}

void CBarcodeCommands::Status(const QString& text) const {
    if (auto* frame = qobject_cast<QMainWindow*>(m_pView->window())) {
        frame->statusBar()->showMessage(text);
    }
}

bool CBarcodeCommands::ShowBookOfCode(const QString& text) {
    const auto id = BookIdOfCode(text.toStdString());
    if (!id) {
        return false;
    }
    const QString code = QString::fromStdString(BookCodeOf(*id));
    if (!m_pView->Database()) {
        return true;
    }
    m_clearFilter();
    if (m_pView->ShowBook(*id)) {
        Status(QStringLiteral("Cartea cu codul %1").arg(code));
    } else {
        Status(QStringLiteral("Nici o carte nu are codul %1").arg(code));
    }
    return true;
}

bool CBarcodeCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_pView || event->type() != QEvent::KeyPress) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        return ShowBookOfCode(std::exchange(m_typed, {}));
    }
    const QString text = key->text();
    if (text.size() == 1 && text[0].isLetterOrNumber()) {
        m_typed = (m_typed + text).right(kLongestCode);
    } else {
        m_typed.clear();
    }
    return false;
}

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
    const CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db) {
        return;
    }
    std::vector<BookLabel> labels = ChosenLabels();
    if (labels.empty()) {
        ShowMessage("Lista nu are nici o carte pentru etichete.", m_pView);
        return;
    }
    CLabelsDlg dialog(std::move(labels), *db, m_pView);
    dialog.exec();
}

void CBarcodeCommands::OnInventory() {
    CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (!db || m_pView->IsReadOnly()) {
        return;
    }
    CInventoryDlg dialog(*db, m_pView);
    dialog.exec();
}
