#pragma once

#include <QObject>

struct BackupCopy;
class CShelfwardenDoc;
class CShelfwardenView;

// File > Copii de siguranta: the open catalogue's copies, restored or opened for reading.
class CBackupCommands : public QObject {
    Q_OBJECT
public:
    CBackupCommands(CShelfwardenDoc* doc, CShelfwardenView* view);

public slots:
    void OnFileBackups();

private:
    void Restore(const BackupCopy& copy);
    void OpenCopy(const BackupCopy& copy);

    CShelfwardenDoc* m_pDocument;
    CShelfwardenView* m_pView;
};
