#include "view/ui/ListLayoutSettings.h"

#include "shell/AppSettings.h"

#include <QSettings>

namespace {
const QString kWidthsKey = QStringLiteral("Column Widths");
const QString kOrderKey = QStringLiteral("Column Order");
const QString kShowIsbnKey = QStringLiteral("Show ISBN");
const QString kShowLocationKey = QStringLiteral("Show Location");
const QString kIsbnWidthKey = QStringLiteral("ISBN Width");
const QString kLocationWidthKey = QStringLiteral("Location Width");

int WidthOr(const QVariant& stored, int fallback) {
    bool ok = false;
    const int width = stored.toInt(&ok);
    return ok && width >= 1 && width <= 10000 ? width : fallback;
}
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

DetailColumns LoadDetailColumns() {
    SettingsStore store;
    QSettings& s = store.Get();
    DetailColumns columns;
    columns.isbn = s.value(kShowIsbnKey).toInt() != 0;
    columns.location = s.value(kShowLocationKey).toInt() != 0;
    columns.isbnWidth = WidthOr(s.value(kIsbnWidthKey), columns.isbnWidth);
    columns.locationWidth = WidthOr(s.value(kLocationWidthKey), columns.locationWidth);
    return columns;
}

void SaveDetailColumns(const DetailColumns& columns) {
    SettingsStore store;
    QSettings& s = store.Get();
    s.setValue(kShowIsbnKey, columns.isbn ? 1 : 0);
    s.setValue(kShowLocationKey, columns.location ? 1 : 0);
    s.setValue(kIsbnWidthKey, columns.isbnWidth);
    s.setValue(kLocationWidthKey, columns.locationWidth);
}
