#include "backup/ui/CBackupCommands.h"

#include "backup/ui/CBackupsDlg.h"
#include "backup/ui/UserBackupSettings.h"
#include "shell/AppSettings.h"
#include "shell/CShelfwardenDoc.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "view/ui/CShelfwardenView.h"

CBackupCommands::CBackupCommands(CShelfwardenDoc* doc, CShelfwardenView* view)
    : QObject(view), m_pDocument(doc), m_pView(view) {
    doc->SetBeforeOpen([this](const std::string& path) { BackUpOnOpen(path); });
}

CBackupCommands::~CBackupCommands() {
    m_pDocument->SetBeforeOpen(nullptr);
}

void CBackupCommands::BackUpOnOpen(const std::string& path) {
    if (Settings().backups == 0) {
        return;
    }
    // With backups on, the day's first opening of a catalogue copies it before any change. A
    // folder that cannot be written stays so for every catalogue opened: one message is enough.
    BackUpOnFirstOpen(path, UserBackupSettings(), LocalToday(), [this](const std::string& text) {
        if (!m_bFailureShown) {
            m_bFailureShown = true;
            ShowMessage(text);
        }
    });
}

void CBackupCommands::OnFileBackups() {
    const CBookDatabase* db = m_pView->OpenDatabaseOrComplain();
    if (db == nullptr) {
        return;
    }
    const std::string folder = BackupFolderOf(UserBackupSettings().root, db->GetPath());
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
    // The open catalogue is copied first, so that the restore can be undone; a failed restore has
    // said why and left the catalogue as it was.
    m_pDocument->ReopenAfter([&copy](const std::string& path) {
        RestoreBackup(path, copy.path, UserBackupSettings(), LocalToday(), UserMessageSink());
    });
    m_pView->ShowCatalogue();
}

void CBackupCommands::OpenCopy(const BackupCopy& copy) {
    m_pDocument->OpenReadOnly(QString::fromStdString(copy.path));
    m_pView->window()->setWindowTitle(
        QStringLiteral("Shelfwarden - %1 (copie, doar citire)").arg(m_pDocument->GetTitle()));
    m_pView->ShowCatalogue();
}
