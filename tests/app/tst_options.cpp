#include "app/COptionsSheet.h"
#include "shell/AppSettings.h"
#include "support/GuiDriver.h"

#include <QDir>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>

namespace {
QColor Swatch(QWidget* sheet, const char* name) {
    return sheet->findChild<CColorSwatch*>(name)->Color();
}
} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void coloursApplyAtOnceAndCancelledChoicesKeepTheSwatch() {
        RunningApp run;
        run.prompts.colors = {QColor(255, 0, 128), std::nullopt, QColor(0, 0, 0)};
        QList<QColor> swatches;
        WhenModal([&](QWidget* sheet) {
            sheet->findChild<QTabWidget*>("pages")->setCurrentIndex(1);
            Press(sheet, "background");
            swatches << Swatch(sheet, "backgroundSwatch");
            Press(sheet, "background"); // cancelled
            swatches << Swatch(sheet, "backgroundSwatch");
            Press(sheet, "foreground");
            swatches << Swatch(sheet, "foregroundSwatch");
            Press(sheet, "ok");
        });
        run.trigger("settingsOptions");
        QCOMPARE(swatches,
                 (QList<QColor>{QColor(255, 0, 128), QColor(255, 0, 128), QColor(0, 0, 0)}));
        QCOMPARE(run.prompts.colorRequests, QList<QColor>(3, QColor(Qt::black)));
        QCOMPARE(StoredSettings(), (QStringList{"255", "0", "128", "0", "0", "0", "0", ""}));
        QCOMPARE(run.view()->palette().color(QPalette::Base), QColor(255, 0, 128));
    }

    void okUntouchedOrCancelKeepsEveryValue_data() {
        QTest::addColumn<bool>("changedThenCancelled");
        QTest::newRow("OK untouched") << false;
        QTest::newRow("changed, then cancelled") << true;
    }

    void okUntouchedOrCancelKeepsEveryValue() {
        QFETCH(bool, changedThenCancelled);
        RunningApp run;
        WhenModal([&](QWidget* sheet) {
            auto* tabs = sheet->findChild<QTabWidget*>("pages");
            QCOMPARE(
                QStringList({sheet->windowTitle(), tabs->tabText(0), tabs->tabText(1)}),
                (QStringList{"Shelfwarden Options", "Shelfwarden Options", "Shelfwarden Colors"}));
            QCOMPARE(tabs->currentIndex(), 0);
            QVERIFY(!sheet->findChild<QWidget*>("apply"));
            if (changedThenCancelled) {
                run.prompts.colors = {QColor(1, 2, 3)};
                run.prompts.files = {QStringLiteral("/somewhere/else.mdb")};
                Tick(sheet, "openAtStart");
                Press(sheet, "browse");
                tabs->setCurrentIndex(1);
                Press(sheet, "background");
            }
            Press(sheet, changedThenCancelled ? "cancel" : "ok");
        });
        run.trigger("settingsOptions");
        QCOMPARE(StoredSettings(), (QStringList{"255", "255", "255", "0", "0", "0", "0", ""}));
        QCOMPARE(Settings().defaultOpen, 0);
        QCOMPARE(run.view()->palette().color(QPalette::Base), QColor(Qt::white));
    }

    void theOpenPageAndTheNextStart() {
        TestCatalogue c;
        c.add(MakeBook("Opened at start"));
        c.db->Close();
        const QString path = QString::fromStdString(c.path("test.mdb"));
        {
            RunningApp run;
            run.prompts.files = {path};
            bool checkedAfterBrowse = false;
            WhenModal([&](QWidget* sheet) {
                Tick(sheet, "openAtStart");
                Press(sheet, "browse");
                checkedAfterBrowse = sheet->findChild<QCheckBox*>("openAtStart")->isChecked();
                Press(sheet, "ok");
            });
            run.trigger("settingsOptions");
            QVERIFY(checkedAfterBrowse);
            QCOMPARE(run.prompts.fileRequests,
                     QStringList{QStringLiteral("open|%1|").arg(shown::kMdbFilter)});
            QCOMPARE(StoredSettings().mid(6), (QStringList{"1", path}));
        }
        RunningApp next;
        QCOMPARE(next.column(1), QStringList{"Opened at start"});
        // Unchecking keeps the path.
        WhenModal([&](QWidget* sheet) {
            Tick(sheet, "openAtStart");
            Press(sheet, "ok");
        });
        next.trigger("settingsOptions");
        QCOMPARE(StoredSettings().mid(6), (QStringList{"0", path}));
    }

    void theBackupsPageStoresItsSettings() {
        Library library;
        RunningApp run;
        const QString folder = run.path("copies");
        run.prompts.files = {folder};
        QString tab;
        WhenModal([&](QWidget* sheet) {
            auto* tabs = sheet->findChild<QTabWidget*>("pages");
            tab = tabs->tabText(2);
            tabs->setCurrentIndex(2);
            Tick(sheet, "backupsOn");
            Press(sheet, "backupBrowse");
            sheet->findChild<QSpinBox*>("backupDaily")->setValue(3);
            sheet->findChild<QSpinBox*>("backupMonthly")->setValue(5);
            Press(sheet, "ok");
        });
        run.trigger("settingsOptions");
        QCOMPARE(tab, QStringLiteral("Copii de siguranta"));
        QCOMPARE(run.prompts.fileRequests, QStringList{"folder||"});
        const auto s = SettingsStore();
        QCOMPARE((QStringList{s->value("Backups").toString(), s->value("Backup Folder").toString(),
                              s->value("Backup Daily").toString(),
                              s->value("Backup Monthly").toString()}),
                 (QStringList{"0", folder, "3", "5"}));
        // Off: opening a catalogue makes no copy.
        run.prompts.files = {library.path};
        run.trigger("fileOpen");
        QCOMPARE(run.column(1).size(), 4);
        QVERIFY(!QDir(folder).exists());
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
