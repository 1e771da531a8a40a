#include "isbn/ui/CIsbnCommands.h"

CIsbnCommands::CIsbnCommands(IsbnEntryHooks hooks, QWidget* parent)
    : QObject(parent), m_hooks(std::move(hooks)), m_pParent(parent) {}

CIsbnCommands::~CIsbnCommands() {
    delete m_pWindow;
}

CIsbnEntryDlg* CIsbnCommands::Window() {
    if (!m_pWindow) {
        m_pWindow = new CIsbnEntryDlg(m_hooks, &m_lookup, m_pParent);
    }
    return m_pWindow;
}

void CIsbnCommands::OnAddByIsbn() {
    CIsbnEntryDlg* window = Window();
    window->show();
    window->raise();
    window->activateWindow();
}
