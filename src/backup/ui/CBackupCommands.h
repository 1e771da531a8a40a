#pragma once

#include <QObject>
#include <string>

struct BackupCopy;
class CShelfwardenDoc;
class CShelfwardenView;

// File > Copii de siguranta: the open catalogue's copies, restored or opened for reading.
class CBackupCommands : public QObject {
    Q_OBJECT
public:
    // Makes the day's backup of each catalogue the document opens, for as long as it lives.
    CBackupCommands(CShelfwardenDoc* doc, CShelfwardenView* view);
    ~CBackupCommands() override;

public slots:
    void OnFileBackups();

private:
    void BackUpOnOpen(const std::string& path);
    void Restore(const BackupCopy& copy);
    void OpenCopy(const BackupCopy& copy);

    CShelfwardenDoc* m_pDocument;
    CShelfwardenView* m_pView;
    bool m_bFailureShown = false;
};
