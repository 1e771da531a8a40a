#include "backup/ui/UserBackupSettings.h"

#include "shell/AppSettings.h"

BackupSettings UserBackupSettings() {
    const AppSettings& s = Settings();
    BackupSettings out;
    out.root = (s.backupFolder.isEmpty() ? DefaultBackupFolder() : s.backupFolder).toStdString();
    out.daily = s.backupDaily;
    out.monthly = s.backupMonthly;
    return out;
}
