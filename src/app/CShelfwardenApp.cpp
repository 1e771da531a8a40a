#include "app/CShelfwardenApp.h"

#include "app/CMainFrame.h"
#include "shell/CShelfwardenDoc.h"
#include "store/CBookDatabase.h"
#include "view/ui/CShelfwardenView.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

CShelfwardenApp::CShelfwardenApp() = default;

CShelfwardenApp::~CShelfwardenApp() {
    m_pFrame.reset();
    m_pDocument.reset();
}

bool CShelfwardenApp::InitInstance(const std::string& catalogue) {
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Shelfwarden"));
    m_pDocument = std::make_unique<CShelfwardenDoc>();
    m_pFrame = std::make_unique<CMainFrame>(m_pDocument.get());
    if (catalogue.empty()) {
        m_pDocument->OnNewDocument();
        m_pFrame->View()->OnInitialUpdate();
        // The catalogue the settings open at start is named like any other.
        if (m_pDocument->GetDatabase()->IsOpen()) {
            m_pFrame->RememberRecentFile(m_pDocument->GetPathName());
        }
        m_pFrame->UpdateFrameTitle();
    } else {
        m_pFrame->OpenDocumentFile(catalogue);
    }
    // Fill the screen also where no window manager maximises the window.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_pFrame->setGeometry(screen->availableGeometry());
    }
    m_pFrame->showMaximized();
    return true;
}
