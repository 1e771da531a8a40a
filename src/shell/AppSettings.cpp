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
const QString kWidthsKey = QStringLiteral("Column Widths");
const QString kOrderKey = QStringLiteral("Column Order");
const QString kSortKey = QStringLiteral("Sort Column");
const QString kDescendingKey = QStringLiteral("Sort Descending");
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

ListLayout LoadListLayout() {
    SettingsStore store;
    QSettings& s = store.Get();
    ListLayout layout = DefaultListLayout();
    if (auto widths = ParseColumnWidths(s.value(kWidthsKey).toString().toStdString())) {
        layout.widths = *widths;
    }
    if (auto order = ParseColumnOrder(s.value(kOrderKey).toString().toStdString())) {
        layout.order = *order;
    }
    bool ok = false;
    const int sort = s.value(kSortKey, -1).toInt(&ok);
    if (ok && sort >= 0 && sort < kBookColumnCount) {
        layout.sortColumn = sort;
        layout.sortDescending = s.value(kDescendingKey, false).toBool();
    }
    return layout;
}

void SaveListLayout(const ListLayout& layout) {
    SettingsStore store;
    QSettings& s = store.Get();
    s.setValue(kWidthsKey, QString::fromStdString(JoinColumnNumbers(layout.widths)));
    s.setValue(kOrderKey, QString::fromStdString(JoinColumnNumbers(layout.order)));
    s.setValue(kSortKey, layout.sortColumn);
    s.setValue(kDescendingKey, layout.sortDescending);
}

QSize LoadDialogSize(const QString& dialog) {
    SettingsStore store;
    return store.Get().value(dialog + QStringLiteral(" Size")).toSize();
}

void SaveDialogSize(const QString& dialog, const QSize& size) {
    SettingsStore store;
    store.Get().setValue(dialog + QStringLiteral(" Size"), size);
}
