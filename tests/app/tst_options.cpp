#include "app/COptionsSheet.h"
#include "backup/ui/UserBackupSettings.h"
#include "shell/AppSettings.h"
#include "support/GuiDriver.h"

#include <QDir>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

// The sheet at its ISBN page.
void ShowIsbnPage(QWidget* sheet) {
    sheet->findChild<QTabWidget*>("pages")->setCurrentIndex(3);
}

QTreeWidget* SourceList(QWidget* sheet) {
    return sheet->findChild<QTreeWidget*>("isbnSources");
}

// The sources listed, "[x] Name" when on, "[ ] Name" when off.
QStringList Sources(QWidget* sheet) {
    QTreeWidget* list = SourceList(sheet);
    QStringList out;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        out << (item->checkState(0) == Qt::Checked ? "[x] " : "[ ] ") + item->text(0);
    }
    return out;
}

// Keys go to the active window: a dialog just up, or the sheet when a dialog above it closed.
void Activate(QWidget* window) {
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
}

// Runs `act` on the next dialog to come up above `below`, however long its command takes to
// open it (a button's accelerator clicks it a moment later).
void WhenAbove(QWidget* below, std::function<void(QWidget*)> act, int tries = 0) {
    QTimer::singleShot(10, [below, act, tries] {
        QWidget* top = QApplication::activeModalWidget();
        if (top != nullptr && top != below) {
            act(top);
        } else if (tries < 500) {
            WhenAbove(below, act, tries + 1);
        } else {
            QTest::qFail("no dialog came up", __FILE__, __LINE__);
        }
    });
}

QString Focused() {
    QWidget* focus = QApplication::focusWidget();
    return focus == nullptr ? QStringLiteral("(none)") : focus->objectName();
}

// A key pressed where the focus is, as a person presses it.
void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (QApplication::focusWidget() == nullptr) {
        QTest::qFail("no control has the focus", __FILE__, __LINE__);
        return;
    }
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
}

// A button's accelerator (Alt and its letter), waiting for the click it animates.
void Accelerator(QWidget* sheet, const char* button, Qt::Key letter) {
    Key(letter, Qt::AltModifier);
    auto* pressed = sheet->findChild<QPushButton*>(button);
    QVERIFY(QTest::qWaitFor([pressed] { return !pressed->isDown(); }));
}

// The source at this row chosen with the arrow keys, from the list's top.
void GoToSource(QWidget* sheet, int row) {
    SourceList(sheet)->setFocus();
    Key(Qt::Key_Home);
    for (int i = 0; i < row; ++i) {
        Key(Qt::Key_Down);
    }
}

const QStringList kDefaultSources = {"[x] Open Library", "[ ] Google Books",
                                     "[x] Library of Congress", "[x] Deutsche Nationalbibliothek",
                                     "[x] Bibliotheque nationale de France"};

} // namespace

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
            // Never asked, the first look-up still asks whether ISBNs may be sent.
            QCOMPARE(SettingsStore()->value("ISBN Lookup").toInt(), -1);
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
        QCOMPARE(UserBackupSettings().daily, 3);
        QCOMPARE(UserBackupSettings().monthly, 5);
        // Off: opening a catalogue makes no copy, nor does closing it changed.
        run.prompts.files = {library.path};
        run.trigger("fileOpen");
        QCOMPARE(run.column(1).size(), 4);
        run.selectRow(0);
        run.trigger("recordsDelete");
        QCOMPARE(run.column(1).size(), 3);
        run.trigger("fileClose");
        QVERIFY(!QDir(folder).exists());
    }

    // The sources of the ISBN page: moved with the buttons and their accelerators, turned off
    // with Space, Google Books on only with a key, two library catalogues added (wrong addresses
    // and a name in use refused) and one removed; stored as one line each, and shown the same
    // when the sheet opens again.
    void theIsbnSourcesAreSetOnTheIsbnPage() {
        RunningApp run;
        QStringList seen;
        WhenModal([&](QWidget* sheet) {
            ShowIsbnPage(sheet);
            Activate(sheet);
            QCOMPARE(Sources(sheet), kDefaultSources);
            // The program's own sources cannot be removed; the tool tip says so.
            QVERIFY(!sheet->findChild<QPushButton*>("sourceRemove")->isEnabled());
            QVERIFY(sheet->findChild<QPushButton*>("sourceRemove")->toolTip().contains("nu se"));

            // Tab goes through the list and on, skipping the buttons that cannot act.
            sheet->findChild<QLineEdit*>("isbnContact")->setFocus();
            for (int i = 0; i < 5; ++i) {
                Key(Qt::Key_Tab);
                seen << Focused();
            }
            // Alt+R reaches the list from anywhere.
            Key(Qt::Key_R, Qt::AltModifier);
            seen << Focused();

            // Deutsche Nationalbibliothek to the top by its key, Google Books to the bottom by
            // the button; Sus does nothing at the top.
            GoToSource(sheet, 3);
            for (int i = 0; i < 4; ++i) {
                Accelerator(sheet, "sourceUp", Qt::Key_S);
            }
            QVERIFY(!sheet->findChild<QPushButton*>("sourceUp")->isEnabled());
            GoToSource(sheet, 2);
            Press(sheet, "sourceDown");
            Press(sheet, "sourceDown");
            QVERIFY(!sheet->findChild<QPushButton*>("sourceDown")->isEnabled());
            GoToSource(sheet, 0);
            Accelerator(sheet, "sourceDown", Qt::Key_J);
            Accelerator(sheet, "sourceUp", Qt::Key_S);
            seen << SourceList(sheet)->currentItem()->text(0);

            // Space turns the Library of Congress off; Google Books stays off without a key.
            GoToSource(sheet, 2);
            Key(Qt::Key_Space);
            GoToSource(sheet, 4);
            Key(Qt::Key_Space);
            seen << Focused();
            TypeInto(sheet, "isbnGoogleKey", "AIza-cheie");
            GoToSource(sheet, 4);
            Key(Qt::Key_Space);
            seen << Sources(sheet).last();
            TypeInto(sheet, "isbnGoogleKey", ""); // no key, no Google Books
            seen << Sources(sheet).last();
            TypeInto(sheet, "isbnGoogleKey", " AIza-cheie ");
            GoToSource(sheet, 4);
            Key(Qt::Key_Space);

            // Two catalogues added, each after a refusal; a third added and removed.
            WhenAbove(sheet, [&](QWidget* add) {
                Activate(add);
                Fill({{"sourceName", "open library"}, {"sourceAddress", "http://127.0.0.1:9/sru"}},
                     {{"sourceKind", 0}})(add);
                seen << Focused();
                TypeInto(add, "sourceName", "Biblioteca\tCentrala");
                TypeInto(add, "sourceAddress", "ftp://127.0.0.1:9/sru");
                Press(add, "ok");
                seen << Focused();
                // A tab the setting would write as a blank: the source would not come back.
                TypeInto(add, "sourceAddress", "http://127.0.0.1:9/sru");
                Press(add, "ok");
                seen << Focused();
                TypeInto(add, "sourceName", " Biblioteca Centrala Universitara ");
                Press(add, "ok");
            });
            Press(sheet, "sourceAdd");
            Activate(sheet);
            WhenAbove(sheet, [&](QWidget* add) {
                Activate(add);
                Fill({{"sourceName", "Biblioteca Nationala"},
                      {"sourceAddress", "http://127.0.0.1:210/BNR"}},
                     {{"sourceKind", 3}})(add);
                TypeInto(add, "sourceAddress", "127.0.0.1:99999/BNR");
                Press(add, "ok");
                TypeInto(add, "sourceAddress", "127.0.0.1:210/BNR");
                Press(add, "ok");
            });
            Accelerator(sheet, "sourceAdd", Qt::Key_A);
            Activate(sheet);
            WhenAbove(sheet,
                      Fill({{"sourceName", "De sters"}, {"sourceAddress", "https://x.example/sru"}},
                           {{"sourceKind", 1}}));
            Press(sheet, "sourceAdd");
            Activate(sheet);
            seen << Sources(sheet).last();
            Accelerator(sheet, "sourceRemove", Qt::Key_T);
            // A source of the program's own stays, whatever is pressed.
            GoToSource(sheet, 0);
            Accelerator(sheet, "sourceRemove", Qt::Key_T);
            Press(sheet, "ok");
        });
        run.trigger("settingsOptions");
        QCOMPARE(seen, (QStringList{"isbnSources", "sourceDown", "sourceAdd", "isbnGoogleKey", "ok",
                                    "isbnSources", "Deutsche Nationalbibliothek", "isbnGoogleKey",
                                    "[x] Google Books", "[ ] Google Books", "sourceName",
                                    "sourceAddress", "sourceName", "[x] De sters"}));
        QCOMPARE(run.prompts.takeMessages(),
                 (QStringList{"Google Books cere o cheie.",
                              "Exista deja o sursa numita \"open library\".",
                              "Adresa unui catalog SRU incepe cu http:// sau https:// si numeste "
                              "serverul, de exemplu https://catalog.exemplu.ro/sru.",
                              "Numele sau adresa are un semn care nu poate fi pastrat."} +
                  QStringList(2, "Adresa unui catalog Z39.50 este de forma gazda:port/baza, de "
                                 "exemplu z3950.loc.gov:7090/Voyager.")));
        const QString stored =
            "on|sru-marc21|Deutsche Nationalbibliothek|https://services.dnb.de/sru/dnb\n"
            "on|openlibrary|Open Library|https://openlibrary.org\n"
            "off|sru-marc21|Library of Congress|http://lx2.loc.gov:210/LCDB\n"
            "on|sru-unimarc|Bibliotheque nationale de France|https://catalogue.bnf.fr/api/SRU\n"
            "on|googlebooks|Google Books|https://www.googleapis.com/books/v1\n"
            "on|sru-marc21|Biblioteca Centrala Universitara|http://127.0.0.1:9/sru\n"
            "on|z3950-unimarc|Biblioteca Nationala|127.0.0.1:210/BNR\n";
        QCOMPARE(SettingsStore()->value("ISBN Sources").toString(), stored);
        QCOMPARE(SettingsStore()->value("ISBN Google Key").toString(), QString("AIza-cheie"));

        QStringList shown;
        WhenModal([&](QWidget* sheet) {
            ShowIsbnPage(sheet);
            shown = Sources(sheet) << Value(sheet, "isbnGoogleKey");
            Press(sheet, "ok");
        });
        run.trigger("settingsOptions");
        QCOMPARE(shown,
                 (QStringList{"[x] Deutsche Nationalbibliothek", "[x] Open Library",
                              "[ ] Library of Congress", "[x] Bibliotheque nationale de France",
                              "[x] Google Books", "[x] Biblioteca Centrala Universitara",
                              "[x] Biblioteca Nationala", "AIza-cheie"}));
        QCOMPARE(SettingsStore()->value("ISBN Sources").toString(), stored);
    }

    // A list as the program gives it is stored as no text, so later defaults reach the user;
    // Google Books ticked in the setting without a key shows off.
    void theDefaultSourcesAreStoredAsNoText() {
        StoreSettings(
            {{"ISBN Sources",
              "on|openlibrary|Open Library|https://openlibrary.org\n"
              "on|googlebooks|Google Books|https://www.googleapis.com/books/v1\n"
              "on|sru-marc21|Library of Congress|http://lx2.loc.gov:210/LCDB\n"
              "on|sru-marc21|Deutsche Nationalbibliothek|https://services.dnb.de/sru/dnb\n"
              "on|sru-unimarc|Bibliotheque nationale de France|"
              "https://catalogue.bnf.fr/api/SRU\n"}});
        RunningApp run;
        QStringList shown;
        WhenModal([&](QWidget* sheet) {
            ShowIsbnPage(sheet);
            Activate(sheet);
            shown = Sources(sheet);
            // Off and on again: the list is the program's once more.
            GoToSource(sheet, 2);
            Key(Qt::Key_Space);
            Key(Qt::Key_Space);
            Press(sheet, "ok");
        });
        run.trigger("settingsOptions");
        QCOMPARE(shown, kDefaultSources);
        QCOMPARE(SettingsStore()->value("ISBN Sources", "(none)").toString(), QString());
        QCOMPARE(run.prompts.takeMessages(), QStringList());
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
