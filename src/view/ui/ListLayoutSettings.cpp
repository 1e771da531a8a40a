#include "view/ui/ListLayoutSettings.h"

#include "shell/AppSettings.h"

#include <QSettings>

namespace {
const QString kWidthsKey = QStringLiteral("Column Widths");
const QString kOrderKey = QStringLiteral("Column Order");
} // namespace

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
    return layout;
}

void SaveListLayout(const ListLayout& layout) {
    SettingsStore store;
    QSettings& s = store.Get();
    s.setValue(kWidthsKey, QString::fromStdString(JoinColumnNumbers(layout.widths)));
    s.setValue(kOrderKey, QString::fromStdString(JoinColumnNumbers(layout.order)));
}
