#include "app/RecentFiles.h"

#include "shell/AppSettings.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString kGroup = QStringLiteral("Recent File List");
QString Key(int i) {
    return QStringLiteral("File%1").arg(i + 1);
}
} // namespace

QStringList RecentFiles::Load() {
    SettingsStore store(kGroup);
    QStringList files;
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString f = store.Get().value(Key(i)).toString();
        if (!f.isEmpty()) {
            files << f;
        }
    }
    return files;
}

void RecentFiles::Store(const QStringList& files) {
    SettingsStore store(kGroup);
    for (int i = 0; i < kMaxEntries; ++i) {
        if (i < files.size()) {
            store.Get().setValue(Key(i), files[i]);
        } else {
            store.Get().remove(Key(i));
        }
    }
}

QStringList RecentFiles::Add(const QString& path) {
    const QString full = QFileInfo(path).absoluteFilePath();
    QStringList files = Load();
    files.removeAll(full);
    files.prepend(full);
    while (files.size() > kMaxEntries) {
        files.removeLast();
    }
    Store(files);
    return files;
}
