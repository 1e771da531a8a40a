#include "shell/AppSettings.h"

#include <QSettings>
#include <QStandardPaths>

namespace {
const QString kOrganisation = QStringLiteral("Local AppWizard-Generated Applications");
const QString kApplication = QStringLiteral("Shelfwarden");

struct IntKey {
    const char* key;
    int AppSettings::*member;
    int fallback;
};

constexpr IntKey kIntKeys[] = {
    {"BGRed", &AppSettings::bgRed, 255},
    {"BGGreen", &AppSettings::bgGreen, 255},
    {"BGBlue", &AppSettings::bgBlue, 255},
    {"FGRed", &AppSettings::fgRed, 0},
    {"FGGreen", &AppSettings::fgGreen, 0},
    {"FGBlue", &AppSettings::fgBlue, 0},
    {"Default Open", &AppSettings::defaultOpen, 0},
    {"Backups", &AppSettings::backups, 1},
    {"Backup Daily", &AppSettings::backupDaily, 7},
    {"Backup Monthly", &AppSettings::backupMonthly, 12},
    {"Reverse Sort", &AppSettings::reverseOnSecondClick, 0},
    {"ISBN Lookup", &AppSettings::isbnLookup, -1},
};

struct TextKey {
    const char* key;
    QString AppSettings::*member;
};

constexpr TextKey kTextKeys[] = {
    {"DB Path", &AppSettings::dbPath},           {"Backup Folder", &AppSettings::backupFolder},
    {"ISBN Service", &AppSettings::isbnService}, {"ISBN Contact", &AppSettings::isbnContact},
    {"ISBN Sources", &AppSettings::isbnSources}, {"ISBN Google Key", &AppSettings::isbnGoogleKey},
};
const QString kPathKey = QStringLiteral("DB Path");
} // namespace

QColor AppSettings::Background() const {
    return QColor(bgRed & 0xFF, bgGreen & 0xFF, bgBlue & 0xFF);
}

QColor AppSettings::Foreground() const {
    return QColor(fgRed & 0xFF, fgGreen & 0xFF, fgBlue & 0xFF);
}

QString DefaultBackupFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Shelfwarden/backups");
}

AppSettings& Settings() {
    static AppSettings settings;
    return settings;
}

SettingsStore::SettingsStore(const QString& group)
    : m_settings(new QSettings(kOrganisation, kApplication)) {
    m_settings->beginGroup(group);
}

SettingsStore::~SettingsStore() {
    m_settings->endGroup();
    m_settings->sync();
    delete m_settings;
}

void LoadSettings() {
    SettingsStore store;
    QSettings& s = store.Get();
    AppSettings& values = Settings();
    for (const IntKey& k : kIntKeys) {
        bool ok = false;
        const int v = s.value(k.key, k.fallback).toInt(&ok);
        values.*k.member = ok ? v : k.fallback;
        s.setValue(k.key, values.*k.member);
    }
    for (const TextKey& k : kTextKeys) {
        values.*k.member = s.value(k.key, QString()).toString();
        s.setValue(k.key, values.*k.member);
    }
}

void SaveSettings() {
    SettingsStore store;
    QSettings& s = store.Get();
    const AppSettings& values = Settings();
    for (const IntKey& k : kIntKeys) {
        s.setValue(k.key, values.*k.member);
    }
    for (const TextKey& k : kTextKeys) {
        s.setValue(k.key, values.*k.member);
    }
}

QSize LoadDialogSize(const QString& dialog) {
    SettingsStore store;
    return store.Get().value(dialog + QStringLiteral(" Size")).toSize();
}

void SaveDialogSize(const QString& dialog, const QSize& size) {
    SettingsStore store;
    store.Get().setValue(dialog + QStringLiteral(" Size"), size);
}

QByteArray LoadWindowGeometry() {
    SettingsStore store;
    return store.Get().value(QStringLiteral("Window Geometry")).toByteArray();
}

void SaveWindowGeometry(const QByteArray& geometry) {
    SettingsStore store;
    store.Get().setValue(QStringLiteral("Window Geometry"), geometry);
}
