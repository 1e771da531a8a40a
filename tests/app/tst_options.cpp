#include "app/COptionsSheet.h"
#include "shell/AppSettings.h"
#include "support/GuiDriver.h"

#include <QDir>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>

class TestOptions : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void theOpenPageAndTheNextStart() {
        Library books;
        {
            RunningApp run;
            run.prompts.files = {books.path};
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
            QCOMPARE(StoredSettings().mid(6), (QStringList{"1", books.path}));
        }
        RunningApp next;
        QCOMPARE(next.column(1), (QStringList{"Abandonata", "Dune", "Ion", "Odiseea"}));
        // Unchecking keeps the path.
        WhenModal([&](QWidget* sheet) {
            Tick(sheet, "openAtStart");
            Press(sheet, "ok");
        });
        next.trigger("settingsOptions");
        QCOMPARE(StoredSettings().mid(6), (QStringList{"0", books.path}));
    }

    // On one running program: OK untouched, then changes cancelled, keep every value; colours
    // apply at once and a cancelled choice keeps the swatch; the backups and ISBN pages store
    // theirs.
    void theSheetStoresWhatIsChosenAndOnlyThat() {
        Library library;
        RunningApp run;
        for (const bool changedThenCancelled : {false, true}) {
            WhenModal([&](QWidget* sheet) {
                auto* tabs = sheet->findChild<QTabWidget*>("pages");
                QCOMPARE(QStringList({sheet->windowTitle(), tabs->tabText(0), tabs->tabText(1)}),
                         (QStringList{"Shelfwarden Options", "Shelfwarden Options",
                                      "Shelfwarden Colors"}));
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
        run.prompts.colorRequests.clear();
        run.prompts.colors = {QColor(255, 0, 128), std::nullopt, QColor(0, 0, 0)};
        QList<QColor> swatches;
        WhenModal([&](QWidget* sheet) {
            sheet->findChild<QTabWidget*>("pages")->setCurrentIndex(1);
            Press(sheet, "background");
            swatches << sheet->findChild<CColorSwatch*>("backgroundSwatch")->Color();
            Press(sheet, "background"); // cancelled
            swatches << sheet->findChild<CColorSwatch*>("backgroundSwatch")->Color();
            Press(sheet, "foreground");
            swatches << sheet->findChild<CColorSwatch*>("foregroundSwatch")->Color();
            Press(sheet, "ok");
        });
        run.trigger("settingsOptions");
        QCOMPARE(swatches,
                 (QList<QColor>{QColor(255, 0, 128), QColor(255, 0, 128), QColor(0, 0, 0)}));
        QCOMPARE(run.prompts.colorRequests, QList<QColor>(3, QColor(Qt::black)));
        QCOMPARE(StoredSettings(), (QStringList{"255", "0", "128", "0", "0", "0", "0", ""}));
        QCOMPARE(run.view()->palette().color(QPalette::Base), QColor(255, 0, 128));
        const QString folder = run.path("copies");
        run.prompts.files = {folder};
        run.prompts.fileRequests.clear();
        QString tab;
        WhenModal([&](QWidget* sheet) {
            auto* tabs = sheet->findChild<QTabWidget*>("pages");
            tab = tabs->tabText(2);
            tabs->setCurrentIndex(2);
            Tick(sheet, "backupsOn");
            Press(sheet, "backupBrowse");
            sheet->findChild<QSpinBox*>("backupDaily")->setValue(3);
            sheet->findChild<QSpinBox*>("backupMonthly")->setValue(5);
            QCOMPARE(sheet->findChild<QLineEdit*>("isbnService")->placeholderText(),
                     QString("https://openlibrary.org"));
            QVERIFY(!sheet->findChild<QCheckBox*>("isbnLookupOn")->isChecked());
            Tick(sheet, "isbnLookupOn");
            TypeInto(sheet, "isbnService", "http://127.0.0.1:1");
            TypeInto(sheet, "isbnContact", "ana@example.org");
            Press(sheet, "ok");
        });
        run.trigger("settingsOptions");
        QCOMPARE(tab, QStringLiteral("Copii de siguranta"));
        QCOMPARE(run.prompts.fileRequests, QStringList{"folder||"});
        QStringList stored;
        for (const char* key : {"Backups", "Backup Folder", "Backup Daily", "Backup Monthly",
                                "ISBN Lookup", "ISBN Service", "ISBN Contact"}) {
            stored << SettingsStore()->value(key).toString();
        }
        QCOMPARE(stored, (QStringList{"0", folder, "3", "5", "1", "http://127.0.0.1:1",
                                      "ana@example.org"}));
        // Off: opening a catalogue makes no copy.
        run.prompts.files = {library.path};
        run.trigger("fileOpen");
        QCOMPARE(run.column(1).size(), 4);
        QVERIFY(!QDir(folder).exists());
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
