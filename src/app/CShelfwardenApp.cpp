#include "CShelfwardenApp.h"

#include "CMainFrame.h"
#include "CShelfwardenDoc.h"
#include "CShelfwardenView.h"

#include <QCoreApplication>

CShelfwardenApp::CShelfwardenApp() = default;

CShelfwardenApp::~CShelfwardenApp() {
    m_pFrame.reset();
    m_pDocument.reset();
}

bool CShelfwardenApp::InitInstance(const QString& catalogue) {
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Shelfwarden"));
    m_pDocument = std::make_unique<CShelfwardenDoc>();
    m_pFrame = std::make_unique<CMainFrame>(m_pDocument.get());
    if (catalogue.isEmpty()) {
        m_pDocument->OnNewDocument();
        m_pFrame->View()->OnInitialUpdate();
    } else {
        m_pFrame->OpenDocumentFile(catalogue);
    }
    m_pFrame->showMaximized();
    return true;
}
