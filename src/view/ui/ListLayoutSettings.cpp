#include "view/ui/ListLayoutSettings.h"

#include "shell/AppSettings.h"

#include <QSettings>

namespace {
const QString kWidthsKey = QStringLiteral("Column Widths");
const QString kOrderKey = QStringLiteral("Column Order");
const QString kSortKey = QStringLiteral("Sort Column");
const QString kDescendingKey = QStringLiteral("Sort Descending");
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
