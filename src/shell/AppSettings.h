#pragma once

#include "view/ListLayout.h"

#include <QColor>
#include <QSize>
#include <QString>

// The eight user settings, process-wide, loaded once when the main frame is made.
struct AppSettings {
    int bgRed = 0;
    int bgGreen = 0;
    int bgBlue = 0;
    int fgRed = 0;
    int fgGreen = 0;
    int fgBlue = 0;
    int defaultOpen = 0;
    QString dbPath;

    // Each colour component counts by its low 8 bits.
    QColor Background() const;
    QColor Foreground() const;
};

AppSettings& Settings();

// Reads the eight values (defaults where missing) and writes each straight back.
void LoadSettings();
// Writes the eight values in their order.
void SaveSettings();

// The list's layout as the user left it; the starting layout where nothing valid is stored.
ListLayout LoadListLayout();
void SaveListLayout(const ListLayout& layout);

// The size a resizable dialog was last closed at, or an invalid size.
QSize LoadDialogSize(const QString& dialog);
void SaveDialogSize(const QString& dialog, const QSize& size);

class QSettings;
// The settings store, positioned in one group: the program's settings unless told otherwise.
class SettingsStore {
public:
    explicit SettingsStore(const QString& group = QStringLiteral("Shelfwarden"));
    ~SettingsStore();
    QSettings& Get() { return *m_settings; }

private:
    QSettings* m_settings;
};
