#pragma once

#include <QStringList>

// The list of the four catalogues opened last, newest first, kept in the settings store.
class RecentFiles {
public:
    static constexpr int kMaxEntries = 4;

    static QStringList Load();
    // Puts `path` first, dropping an older copy of it and anything beyond four entries.
    static QStringList Add(const QString& path);

private:
    static void Store(const QStringList& files);
};
