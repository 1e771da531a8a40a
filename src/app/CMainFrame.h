#pragma once

#include <QMainWindow>
#include <string>

class CBackupCommands;
class CBulkCommands;
class CCoverGrid;
class CFileCommands;
class CBarcodeCommands;
class CCompletionCommands;
class CIsbnCommands;
class CLoanCommands;
class CRecordCommands;
class CSearchCommands;
class CShelfwardenDoc;
class CShelfwardenView;
class CStatisticsCommands;
class CImportExportPrintCommands;
class QLabel;
class QMenu;
class QStackedWidget;

// The main window: menus, accelerators, toolbar, status bar, and what the framework itself
// handles (Save, Exit, the recent-file list, files named on the command line or dropped).
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CShelfwardenDoc* doc, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CShelfwardenView* View() const { return m_pView; }
    // The object that handles the commands of class C.
    template <class C> C* CommandTarget();
    // The framework's open: the document opens the file, is named after it, the file joins the
    // recent-file list and the view starts afresh.
    void OpenDocumentFile(const QString& path);
    // The same, for a path given as the file system's bytes.
    void OpenDocumentFile(const std::string& path);
    // Title made of "Shelfwarden", " - " and the document's title.
    void UpdateFrameTitle();

public slots:
    void OnFileSave();
    // Puts the catalogue at the top of the recent-file list.
    void RememberRecentFile(const QString& path);
    void OnAppAbout();
    void OnOptions();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* AddMenuAction(QMenu* menu, const char* text, const char* name, const char* prompt,
                           const char* keys);
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    // The quick filter above the list: Ctrl+F to reach it, Escape to clear it.
    void CreateFilterBar();
    // Another catalogue is shown: the words typed for the last one go.
    void ClearFilter();
    // "52 de carti", or "7 din 52 de carti" while the filter hides rows.
    void ShowBookCount();
    // "3 carti imprumutate, 1 intarziata"; asks nothing, whatever the loans table holds.
    void ShowLoanCount();
    void RebuildRecentFiles();
    // Undo and Redo are enabled while the history has a step to take.
    void ConnectHistory();
    // Every change of catalogue forgets the last one's steps; a catalogue open for reading only
    // disables every command that writes.
    void CatalogueChanged();
    // Commands that write are off while a read-only catalogue is open.
    void EnableWritingCommands();
    // The commands for many books follow the selection: on while more than one row is selected
    // in a catalogue that may change, and the status bar counts the rows.
    void SelectionChanged();

    CShelfwardenDoc* m_pDocument;
    CShelfwardenView* m_pView;
    // The list and the grid of covers over one listing, one of them in sight (View > Coperti).
    QStackedWidget* m_pCentral;
    CCoverGrid* m_pCoverGrid;
    CFileCommands* m_pFileCommands;
    CBackupCommands* m_pBackupCommands;
    CRecordCommands* m_pRecordCommands;
    CSearchCommands* m_pSearchCommands;
    CStatisticsCommands* m_pStatisticsCommands;
    CLoanCommands* m_pLoanCommands;
    CImportExportPrintCommands* m_pImportExportPrintCommands;
    CIsbnCommands* m_pIsbnCommands;
    CCompletionCommands* m_pCompletionCommands;
    CBarcodeCommands* m_pBarcodeCommands;
    CBulkCommands* m_pBulkCommands;
    QMenu* m_pFileMenu = nullptr;
    QMenu* m_pViewMenu = nullptr;
    QAction* m_pSaveAction = nullptr;
    QLabel* m_pCountLabel = nullptr;
    QLabel* m_pLoanLabel = nullptr;
    QLabel* m_pQueueLabel = nullptr;    // the scans waiting their turn
    QLabel* m_pSelectedLabel = nullptr; // "40 selectate" while many rows are selected
    QAction* m_pRecentAnchor = nullptr;
    QList<QAction*> m_recentActions;
};

template <> inline CMainFrame* CMainFrame::CommandTarget() {
    return this;
}
template <> inline CShelfwardenView* CMainFrame::CommandTarget() {
    return m_pView;
}
template <> inline CFileCommands* CMainFrame::CommandTarget() {
    return m_pFileCommands;
}
template <> inline CBackupCommands* CMainFrame::CommandTarget() {
    return m_pBackupCommands;
}
template <> inline CRecordCommands* CMainFrame::CommandTarget() {
    return m_pRecordCommands;
}
template <> inline CSearchCommands* CMainFrame::CommandTarget() {
    return m_pSearchCommands;
}
template <> inline CStatisticsCommands* CMainFrame::CommandTarget() {
    return m_pStatisticsCommands;
}
template <> inline CLoanCommands* CMainFrame::CommandTarget() {
    return m_pLoanCommands;
}
template <> inline CImportExportPrintCommands* CMainFrame::CommandTarget() {
    return m_pImportExportPrintCommands;
}
template <> inline CIsbnCommands* CMainFrame::CommandTarget() {
    return m_pIsbnCommands;
}
template <> inline CCompletionCommands* CMainFrame::CommandTarget() {
    return m_pCompletionCommands;
}
template <> inline CBarcodeCommands* CMainFrame::CommandTarget() {
    return m_pBarcodeCommands;
}
template <> inline CBulkCommands* CMainFrame::CommandTarget() {
    return m_pBulkCommands;
}
