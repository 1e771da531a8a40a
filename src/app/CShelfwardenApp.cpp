#include "app/CShelfwardenApp.h"

#include "app/CMainFrame.h"
#include "shell/AppSettings.h"
#include "shell/CFocusStyle.h"
#include "shell/CListAccessible.h"
#include "shell/CShelfwardenDoc.h"
#include "store/CBookDatabase.h"
#include "view/ui/CShelfwardenView.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

CShelfwardenApp::CShelfwardenApp() = default;

CShelfwardenApp::~CShelfwardenApp() {
    m_pFrame.reset();
    m_pDocument.reset();
}

bool CShelfwardenApp::InitInstance(const std::string& catalogue) {
    // The icons live in the window library; a static library's resources need calling in.
    Q_INIT_RESOURCE(shelfwarden);
    QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
    QCoreApplication::setApplicationName(QStringLiteral("Shelfwarden"));
    // The framework's own dialogs, buttons and context menus speak the user's language, as the
    // system's did: Qt's texts for it where Debian ships them, the program's own for Romanian,
    // which Qt lacks; any other language keeps the English ones.
    m_pFrameworkTexts = std::make_unique<QTranslator>();
    if (m_pFrameworkTexts->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(m_pFrameworkTexts.get());
    } else if (QLocale().language() == QLocale::Romanian &&
               m_pFrameworkTexts->load(QStringLiteral(":/translations/qtbase_ro.qm"))) {
        QCoreApplication::installTranslator(m_pFrameworkTexts.get());
    }
    CFocusStyle::Install();
    // Before the first window: a screen reader reads every list through the program's own class.
    CListAccessible::Install();
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
    if (m_pFrame->restoreGeometry(LoadWindowGeometry())) {
        m_pFrame->show();
        return true;
    }
    // Fill the screen also where no window manager maximises the window.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        m_pFrame->setGeometry(screen->availableGeometry());
    }
    m_pFrame->showMaximized();
    return true;
}
