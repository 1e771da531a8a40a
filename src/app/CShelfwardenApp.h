#pragma once

#include <memory>
#include <string>

class CMainFrame;
class CShelfwardenDoc;
class QTranslator;

// Start-up: the framework's texts in the user's language, the settings store, the document, the
// main frame with its view, the catalogue named on the command line, and the main window where
// the user left it (maximised the first time).
class CShelfwardenApp {
public:
    CShelfwardenApp();
    ~CShelfwardenApp();

    // `catalogue` is the file named on the command line, as its bytes, or empty.
    bool InitInstance(const std::string& catalogue);

    CMainFrame* MainFrame() const { return m_pFrame.get(); }
    CShelfwardenDoc* Document() const { return m_pDocument.get(); }

private:
    std::unique_ptr<QTranslator> m_pFrameworkTexts;
    std::unique_ptr<CShelfwardenDoc> m_pDocument;
    std::unique_ptr<CMainFrame> m_pFrame;
};
