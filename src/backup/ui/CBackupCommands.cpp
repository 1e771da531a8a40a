#include "backup/ui/CBackupCommands.h"

#include "backup/ui/CBackupsDlg.h"
#include "backup/ui/UserBackupSettings.h"
#include "shell/AppSettings.h"
#include "shell/CShelfwardenDoc.h"
#include "shell/Prompts.h"
#include "store/CBookDatabase.h"
#include "view/ui/CShelfwardenView.h"

#include <QFile>

CBackupCommands::CBackupCommands(CShelfwardenDoc* doc, CShelfwardenView* view)
    : QObject(view), m_pDocument(doc), m_pView(view) {
    doc->SetBeforeOpen([this](const std::string& path) { return BeforeOpen(path); });
    doc->SetBeforeClose([this](CBookDatabase& db) { BeforeClose(db); });
}

CBackupCommands::~CBackupCommands() {
    m_pDocument->SetBeforeOpen(nullptr);
    m_pDocument->SetBeforeClose(nullptr);
}

MessageSink CBackupCommands::FailureSink() {
    return [this](const std::string& text) {
        if (!m_bFailureShown) {
            m_bFailureShown = true;
            ShowMessage(text);
        }
    };
}

OpenAdvice CBackupCommands::BeforeOpen(const std::string& path) {
    const BackupSettings settings = UserBackupSettings();
    OpenAdvice advice;
    // A copy stays as it was made: it opens for reading only and is not copied again.
    if (IsInsideBackupRoot(path, settings.root)) {
        advice.readOnly = true;
        return advice;
    }
    const std::string folder = BackupFolderOf(settings.root, path);
    if (HasBackups(folder)) {
        advice.noteOnFailure = "Exista copii de siguranta ale acestui fisier in " + folder +
                               "; File > Copii de siguranta... le arata.";
    }
    if (Settings().backups == 0) {
        return advice;
    }
    // With backups on, the day's first opening of a catalogue copies it before any change.
    BackUpOnFirstOpen(path, settings, LocalToday(), FailureSink());
    return advice;
}

void CBackupCommands::BeforeClose(CBookDatabase& db) {
    // A catalogue made by Save As and filled the same evening was never opened on its day.
    if (Settings().backups != 0) {
        BackUpOnClose(db, UserBackupSettings(), LocalToday(), FailureSink());
    }
}

std::string CBackupCommands::CatalogueOfCopies() const {
    const CBookDatabase* db = m_pDocument->GetDatabase();
    if (db->IsOpen()) {
        return db->GetPath();
    }
    // With none open: the one that just failed to open, else one the user picks.
    if (!m_pDocument->LastFailedPath().empty()) {
        return m_pDocument->LastFailedPath();
    }
    const auto chosen = ChooseCatalogueFile(FileDialogMode::Open, m_pView);
    return chosen ? QFile::encodeName(*chosen).toStdString() : std::string();
}

void CBackupCommands::OnFileBackups() {
    const std::string catalogue = CatalogueOfCopies();
    if (catalogue.empty()) {
        return;
    }
    const std::string folder = BackupFolderOf(UserBackupSettings().root, catalogue);
    const std::vector<BackupCopy> copies = ListBackups(folder);
    CBackupsDlg dialog(copies, QFile::decodeName(folder.c_str()), m_pView);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const BackupCopy& chosen = copies[static_cast<std::size_t>(dialog.ChosenRow())];
    if (dialog.GetChoice() == CBackupsDlg::Choice::Restore) {
        Restore(catalogue, chosen);
    } else {
        OpenCopy(chosen);
    }
}

void CBackupCommands::Restore(const std::string& catalogue, const BackupCopy& copy) {
    if (!AskYesNo(RestoreQuestion(copy), m_pView)) {
        return;
    }
    // The catalogue is copied first, so that the restore can be undone; a failed restore has
    // said why and left the catalogue as it was. One that would not open is opened once restored.
    const auto restore = [&copy](const std::string& path) {
        return RestoreBackup(path, copy.path, UserBackupSettings(), LocalToday(),
                             UserMessageSink());
    };
    if (m_pDocument->GetDatabase()->IsOpen()) {
        m_pDocument->ReopenAfter([&restore](const std::string& path) { restore(path); });
    } else if (restore(catalogue)) {
        m_pDocument->OnOpenDocument(catalogue);
    }
    ShowOpenCatalogue();
}

void CBackupCommands::OpenCopy(const BackupCopy& copy) {
    m_pDocument->OpenReadOnly(QFile::decodeName(copy.path.c_str()));
    ShowOpenCatalogue();
}

void CBackupCommands::ShowOpenCatalogue() {
    m_pView->window()->setWindowTitle(QStringLiteral("Shelfwarden - ") +
                                      m_pDocument->MarkReadOnly(m_pDocument->GetTitle()));
    m_pView->ShowCatalogue();
}
