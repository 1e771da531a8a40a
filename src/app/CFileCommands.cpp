#include "app/CFileCommands.h"

#include "shell/CShelfwardenDoc.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "view/ui/CShelfwardenView.h"

#include <QFileInfo>

CFileCommands::CFileCommands(CShelfwardenDoc* doc, CShelfwardenView* view)
    : QObject(view), m_pDocument(doc), m_pView(view) {}

void CFileCommands::SetFrameTitle(const QString& title) {
    m_pView->window()->setWindowTitle(title);
}

void CFileCommands::OnFileNew() {
    if (m_pDocument->OnNewDocument()) {
        m_pView->ShowCatalogue();
    }
    SetFrameTitle(QStringLiteral("Shelf Warden - ") + m_pDocument->GetTitle());
}

void CFileCommands::OnFileOpen() {
    const auto path = ChooseCatalogueFile(FileDialogMode::Open, m_pView);
    if (!path) {
        return;
    }
    m_pDocument->OnOpenDocument(*path);
    SetFrameTitle(QStringLiteral("Shelfwarden - ") +
                  m_pDocument->MarkReadOnly(QFileInfo(*path).fileName()));
    m_pView->ReloadLookups();
    m_pView->ClearList();
    m_pView->ListAllBooks();
    if (m_pDocument->GetDatabase()->IsOpen()) {
        emit CatalogueNamed(*path);
    }
}

void CFileCommands::OnFileSaveAs() {
    const auto path = ChooseCatalogueFile(FileDialogMode::Save, m_pView);
    if (!path || !m_pDocument->OnSaveDocument(*path)) {
        return; // a failed copy has said why and left everything as it was
    }
    SetFrameTitle(QStringLiteral("Shelfwarden - ") + QFileInfo(*path).fileName());
    // The copy keeps every identifier, so the rows shown, their order, the statement behind them
    // and the steps of the history are the copy's as they stand.
    emit CatalogueNamed(*path);
}

void CFileCommands::OnFileClose() {
    if (!m_pDocument->GetDatabase()->IsOpen()) {
        return;
    }
    m_pDocument->OnCloseDocument();
    SetFrameTitle(QStringLiteral("Shelfwarden"));
    m_pView->ShowCatalogue();
}
