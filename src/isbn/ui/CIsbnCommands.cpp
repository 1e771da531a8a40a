#include "isbn/ui/CIsbnCommands.h"

CIsbnCommands::CIsbnCommands(IsbnEntryHooks hooks, QWidget* parent)
    : QObject(parent), m_hooks(std::move(hooks)), m_pParent(parent) {}

CIsbnEntryDlg* CIsbnCommands::Window() {
    if (!m_pWindow) {
        m_pWindow = new CIsbnEntryDlg(m_hooks, m_pParent);
    }
    return m_pWindow;
}

void CIsbnCommands::OnAddByIsbn() {
    CIsbnEntryDlg* window = Window();
    window->show();
    window->raise();
    window->activateWindow();
}
