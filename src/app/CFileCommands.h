#pragma once

#include <QObject>
#include <QString>

class CShelfwardenDoc;
class CShelfwardenView;

// The catalogue commands of the File menu: New, Open, Close and Save As. Each leaves the
// document, the list, the lookup lists and the window title telling the same story.
class CFileCommands : public QObject {
    Q_OBJECT
public:
    CFileCommands(CShelfwardenDoc* doc, CShelfwardenView* view);

public slots:
    void OnFileNew();
    void OnFileOpen();
    void OnFileClose();
    void OnFileSaveAs();

signals:
    // A catalogue was opened or made under this path.
    void CatalogueNamed(const QString& path);

private:
    void SetFrameTitle(const QString& title);

    CShelfwardenDoc* m_pDocument;
    CShelfwardenView* m_pView;
};
