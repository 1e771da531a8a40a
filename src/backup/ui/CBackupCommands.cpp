#include "backup/ui/CBackupCommands.h"

#include "backup/ui/CBackupsDlg.h"
#include "shell/AppSettings.h"
#include "shell/CShelfwardenDoc.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "view/ui/CShelfwardenView.h"

CBackupCommands::CBackupCommands(CShelfwardenDoc* doc, CShelfwardenView* view)
    : QObject(view), m_pDocument(doc), m_pView(view) {}

void CBackupCommands::OnFileBackups() {
    const CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (db == nullptr) {
        return;
    }
    const std::string folder = BackupFolderOf(Settings().Backups().root, db->GetPath());
    const std::vector<BackupCopy> copies = ListBackups(folder);
    CBackupsDlg dialog(copies, QString::fromStdString(folder), m_pView);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const BackupCopy& chosen = copies[static_cast<std::size_t>(dialog.ChosenRow())];
    if (dialog.GetChoice() == CBackupsDlg::Choice::Restore) {
        Restore(chosen);
    } else {
        OpenCopy(chosen);
    }
}

void CBackupCommands::Restore(const BackupCopy& copy) {
    if (!AskYesNo(RestoreQuestion(copy), m_pView)) {
        return;
    }
    m_pDocument->RestoreBackup(QString::fromStdString(copy.path));
    m_pView->ShowCatalogue();
}

void CBackupCommands::OpenCopy(const BackupCopy& copy) {
    m_pDocument->OpenReadOnly(QString::fromStdString(copy.path));
    m_pView->window()->setWindowTitle(
        QStringLiteral("Shelfwarden - %1 (copie, doar citire)").arg(m_pDocument->GetTitle()));
    m_pView->ShowCatalogue();
}
