#pragma once

#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>

// The user settings, process-wide, loaded once when the main frame is made.
struct AppSettings {
    int bgRed = 0;
    int bgGreen = 0;
    int bgBlue = 0;
    int fgRed = 0;
    int fgGreen = 0;
    int fgBlue = 0;
    int defaultOpen = 0;
    QString dbPath;
    int backups = 1;      // a copy of each catalogue on its first opening of a day
    QString backupFolder; // empty: the user's data folder
    int backupDaily = 7;
    int backupMonthly = 12;
    int reverseOnSecondClick = 0; // a second click on the sorted header reverses the order
    int isbnLookup = -1;          // books looked up by ISBN online: 1 yes, 0 no, -1 not asked yet
    QString isbnService;          // the look-up service's address; empty: kDefaultIsbnService
    QString isbnContact;          // the e-mail address a service may reach the user at
    QString isbnSources;          // the look-up's sources, one a line; empty: the defaults
    QString isbnGoogleKey;        // the key Google Books wants

    // Each colour component counts by its low 8 bits.
    QColor Background() const;
    QColor Foreground() const;
};

inline const QString kDefaultIsbnService = QStringLiteral("https://openlibrary.org");

// The copies' folder when the settings name none: under the user's data folder.
QString DefaultBackupFolder();

AppSettings& Settings();

// Reads the values (defaults where missing) and writes each straight back.
void LoadSettings();
// Writes the values in their order.
void SaveSettings();

// The size a resizable dialog was last closed at, or an invalid size.
QSize LoadDialogSize(const QString& dialog);
void SaveDialogSize(const QString& dialog, const QSize& size);

// The main window's place and size as the user left it (maximised or not), or empty.
QByteArray LoadWindowGeometry();
void SaveWindowGeometry(const QByteArray& geometry);

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
