#include "shell/AppSettings.h"

#include <QSettings>

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
};
const QString kPathKey = QStringLiteral("DB Path");
} // namespace

QColor AppSettings::Background() const {
    return QColor(bgRed & 0xFF, bgGreen & 0xFF, bgBlue & 0xFF);
}

QColor AppSettings::Foreground() const {
    return QColor(fgRed & 0xFF, fgGreen & 0xFF, fgBlue & 0xFF);
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
    values.dbPath = s.value(kPathKey, QString()).toString();
    s.setValue(kPathKey, values.dbPath);
}

void SaveSettings() {
    SettingsStore store;
    QSettings& s = store.Get();
    const AppSettings& values = Settings();
    for (const IntKey& k : kIntKeys) {
        s.setValue(k.key, values.*k.member);
    }
    s.setValue(kPathKey, values.dbPath);
}
