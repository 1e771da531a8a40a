#include "app/RecentFiles.h"
#include "shell/AppSettings.h"
#include "support/GuiDriver.h"

#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QUrl>

namespace {
QString MakeCatalogue(TestCatalogue& c, const char* title) {
    c.db->InsertType("Roman");
    c.db->InsertState("Acasa");
    c.add(MakeBook(title));
    return QString::fromStdString(c.path("test.mdb"));
}

QStringList MenuTexts(QMenu* menu) {
    QStringList out;
    for (QAction* a : menu->actions()) {
        out << (a->isSeparator() ? QStringLiteral("-")
                                 : a->text() + (a->isEnabled() ? "" : " (off)"));
    }
    return out;
}
} // namespace

class TestMainFrame : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void firstStartWritesBackTheDefaults() {
        RunningApp run;
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - Untitled"));
        QVERIFY(run.frame()->windowState() & Qt::WindowMaximized);
        QVERIFY(run.prompts.messages.isEmpty());
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
        QCOMPARE(SettingsStore()->childKeys().size(), 14);
        QCOMPARE(StoredSettings(), (QStringList{"255", "255", "255", "0", "0", "0", "0", ""}));
        const auto s = SettingsStore();
        QCOMPARE((QStringList{s->value("Backups").toString(), s->value("Backup Daily").toString(),
                              s->value("Backup Monthly").toString()}),
                 (QStringList{"1", "7", "12"}));
        // ISBN look-ups: not asked yet, at the default service.
        QCOMPARE(
            (QStringList{s->value("ISBN Lookup").toString(), s->value("ISBN Service").toString()}),
            (QStringList{"-1", ""}));
        const QPalette p = run.view()->palette();
        QCOMPARE(p.color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(p.color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(run.frame()->statusBar()->currentMessage(), QStringLiteral("Ready"));
    }

    void coloursUseTheLowEightBits() {
        StoreSettings({{"BGRed", 256 + 10}, {"BGGreen", 20}, {"BGBlue", 30}, {"FGRed", 511}});
        RunningApp run;
        QCOMPARE(run.view()->palette().color(QPalette::Base), QColor(10, 20, 30));
        QCOMPARE(run.view()->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(StoredSettings()[0], QStringLiteral("266")); // written back as read
    }

    // However a catalogue comes to be opened, its books are listed under its name and it is
    // remembered.
    void aCatalogueIsOpenedAndRemembered_data() {
        QTest::addColumn<QString>("how");
        for (const char* how : {"command line", "default open", "dropped"}) {
            QTest::newRow(how) << how;
        }
    }
    void aCatalogueIsOpenedAndRemembered() {
        QFETCH(QString, how);
        TestCatalogue c;
        const QString path = MakeCatalogue(c, "Ion");
        c.db->Close();
        if (how == "default open") {
            StoreSettings({{"Default Open", 2}, {"DB Path", path}});
        }
        RunningApp run(how == "command line" ? path : QString());
        if (how == "dropped") {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            const QPoint at = run.frame()->rect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(run.frame(), &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(run.frame(), &drop);
        }
        QVERIFY(run.prompts.messages.isEmpty());
        QVERIFY(run.doc()->GetDatabase()->IsOpen());
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - test.mdb"));
        QCOMPARE(run.column(1), QStringList{"Ion"});
        QCOMPARE(run.column(4), QStringList{"Roman"});
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
        QCOMPARE(RecentFiles::Load(), QStringList{path});
        QVERIFY(!run.action("fileRecentPlaceholder")->isVisible());
        QCOMPARE(run.action("fileRecent1")->text(), "&1 " + path);
    }

    void defaultOpenOfAWrongPathReportsAndRunsOn() {
        StoreSettings({{"Default Open", 1}, {"DB Path", "/no/such/catalogue.mdb"}});
        RunningApp run;
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{shown::kCannotOpen} + QStringList(3, shown::kSelectFailed));
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
        QCOMPARE(run.view()->Model()->rowCount(), 0);
    }

    void menusAreInTheirOrder() {
        RunningApp run;
        QStringList titles;
        for (QAction* a : run.frame()->menuBar()->actions()) {
            titles << a->text();
        }
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&View", "&Records", "&Search",
                                      "S&tatistics", "Settin&gs", "&Help"}));
        auto menu = [&](int i) { return run.frame()->menuBar()->actions()[i]->menu(); };
        QCOMPARE(MenuTexts(menu(0)),
                 (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "Save &As...",
                              "Copii de &siguranta...", "-", "&Import...", "&Export...", "-",
                              "&Print...\tCtrl+P", "Print Pre&view", "Export P&DF...", "-",
                              "Recent File (off)", "-", "E&xit"}));
        QCOMPARE(MenuTexts(menu(1)),
                 (QStringList{"&Undo\tCtrl+Z (off)", "&Redo\tCtrl+Y (off)", "-",
                              "Cu&t\tCtrl+X (off)", "&Copy\tCtrl+C", "&Paste\tCtrl+V (off)"}));
        QCOMPARE(MenuTexts(menu(2)),
                 (QStringList{"Toate cartile", "Cartile citite", "Cartile necitite", "Sterge lista",
                              "-", "&Toolbar", "&Status Bar"}));
        QCOMPARE(run.action("viewAll")->statusTip(),
                 QStringLiteral("Show all books in the database"));
        QCOMPARE(run.action("fileNew")->statusTip(), QStringLiteral("Create a new document"));
        QCOMPARE(run.action("fileSave")->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(run.action("editUndo")->shortcuts(),
                 (QList<QKeySequence>{QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
        QCOMPARE(MenuTexts(menu(7)), QStringList{"&About Shelfwarden..."});
        // Tool tips name the command without the shortcut's tab.
        QCOMPARE(run.action("fileNew")->toolTip(), QStringLiteral("New"));
        QCOMPARE(run.action("recordsAdd")->toolTip(), QStringLiteral("Adauga"));
    }

    // Each command that works on a catalogue says so, and only so, when none is open.
    void commandsNeedACatalogue_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("closed"); // or never opened
        for (const char* command : {"recordsAdd",           "recordsDelete",
                                    "recordsModify",        "recordsTypes",
                                    "recordsStates",        "searchTitle",
                                    "searchAuthor",         "searchPublisher",
                                    "searchType",           "searchPages",
                                    "searchChapters",       "searchVolumes",
                                    "searchFirstPublished", "searchVolumePublished",
                                    "searchRating",         "searchState",
                                    "searchComposite",      "statsGeneral",
                                    "statsAuthors",         "statsPublishers",
                                    "recordsLend",          "recordsReturn",
                                    "recordsLoans",         "fileBackups",
                                    "fileImport",           "fileExport"}) {
            QTest::addRow("%s", command) << command << false;
            QTest::addRow("%s after Close", command) << command << true;
        }
    }
    void commandsNeedACatalogue() {
        QFETCH(QString, command);
        QFETCH(bool, closed);
        Library books;
        RunningApp run(closed ? books.path : QString());
        run.trigger("fileClose");
        run.trigger(command.toUtf8().constData());
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kNoCatalogue});
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
    }

    void aboutShowsTheVersionLine() {
        RunningApp run;
        QString seen;
        WhenModal([&](QWidget* dlg) {
            seen = dlg->windowTitle();
            for (QLabel* l : dlg->findChildren<QLabel*>()) {
                if (!l->text().isEmpty()) {
                    seen += "|" + l->text();
                }
            }
            static_cast<QDialog*>(dlg)->accept();
        });
        run.trigger("helpAbout");
        QCOMPARE(seen, QStringLiteral("About Shelfwarden|Shelfwarden Version 1.0"));
    }

    void recentFilesKeepFourNewestFirst() {
        QTemporaryDir dir;
        QStringList paths;
        for (int i = 1; i <= 5; ++i) {
            paths << dir.filePath(QStringLiteral("c%1.mdb").arg(i));
            RecentFiles::Add(paths.last());
        }
        RecentFiles::Add(paths[2]);
        QCOMPARE(RecentFiles::Load(), (QStringList{paths[2], paths[4], paths[3], paths[1]}));
        RunningApp run;
        QCOMPARE(run.action("fileRecent1")->text(), "&1 " + paths[2]);
        QVERIFY(run.action("fileRecent4"));
        QVERIFY(!run.action("fileRecent5"));
    }

    // Sequences a person runs: Save never writes where the user has not confirmed.
    void saveNeverWritesAnUnchosenFile_data() {
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<bool>("asksForAName");
        QTest::addColumn<QString>("title");
        QTest::newRow("new then save")
            << QStringList{"fileNew"} << true << "Shelf Warden - Untitled";
        QTest::newRow("close then save") << QStringList{"fileClose"} << true << "Shelfwarden";
        QTest::newRow("open another then save")
            << QStringList{"fileOpen"} << false << "Shelfwarden - other.mdb";
        QTest::newRow("save as then save")
            << QStringList{"fileSaveAs"} << false << "Shelfwarden - copy.mdb";
    }
    void saveNeverWritesAnUnchosenFile() {
        QFETCH(QStringList, commands);
        QFETCH(bool, asksForAName);
        QFETCH(QString, title);
        Library books;
        Library other;
        const QString otherPath = QFileInfo(other.path).dir().filePath("other.mdb");
        QVERIFY(QFile::rename(other.path, otherPath));
        const QByteArray before = FileBytes(books.path);
        RunningApp run(books.path);
        if (commands[0] == "fileOpen" || commands[0] == "fileSaveAs") {
            run.prompts.files.push_back(commands[0] == "fileOpen" ? otherPath
                                                                  : run.path("copy.mdb"));
        }
        run.trigger(commands[0].toUtf8().constData());
        run.prompts.fileRequests.clear();
        if (asksForAName) {
            run.prompts.files.push_back(std::nullopt); // Save's chooser: cancelled
        }
        run.trigger("fileSave");
        QCOMPARE(run.prompts.fileRequests.size(), asksForAName ? 1 : 0);
        if (asksForAName) {
            QCOMPARE(run.prompts.fileRequests,
                     QStringList{QStringLiteral("save|%1|mdb").arg(shown::kMdbFilter)});
        }
        QCOMPARE(run.frame()->windowTitle(), title);
        QCOMPARE(FileBytes(books.path), before);
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void saveAsOntoAFileWithNoCatalogueOpenLeavesItAlone() {
        Library books;
        const QByteArray before = FileBytes(books.path);
        RunningApp run(books.path);
        run.trigger("fileNew");
        run.prompts.files.push_back(books.path); // the user confirmed replacing it
        run.trigger("fileSaveAs");
        QCOMPARE(run.prompts.takeMessages(),
                 (QStringList{shown::kCannotCreate, shown::kCannotCreateTable}));
        QCOMPARE(FileBytes(books.path), before);
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelf Warden - Untitled"));
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
    }

    void afterSaveAsCommandsActOnTheCopysOwnBooks() {
        Library books;
        RunningApp run(books.path);
        const QString copy = run.path("copy.mdb");
        run.prompts.files.push_back(copy);
        run.trigger("fileSaveAs");
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - copy.mdb"));
        QCOMPARE(RecentFiles::Load().first(), copy);
        const QByteArray source = FileBytes(books.path);
        // Row 0 is "Abandonata", the fourth book stored: the copy must know it by that number.
        QCOMPARE(run.column(0), (QStringList{"0004", "0001", "0002", "0003"}));
        run.selectRow(0);
        run.trigger("recordsDelete");
        QCOMPARE(RawCatalogue(copy.toStdString()).rows("SELECT titlu FROM books ORDER BY id"),
                 (std::vector<std::string>{"Dune", "Ion", "Odiseea"}));
        QCOMPARE(FileBytes(books.path), source);
        // A book added to the copy never takes a number the source has given.
        run.doc()->GetDatabase()->InsertBook("Nou", "A", "E", 0, 1, 1, 1, 1, 1, 0, 6, 0);
        QCOMPARE(run.doc()->GetDatabase()->GetLastInsertedId(), 5);
    }

    void aNewCatalogueHasNoneOfTheOldLookups() {
        Library books;
        RunningApp run(books.path);
        run.trigger("fileNew");
        QCOMPARE(run.view()->Types().GetSize(), 0);
        run.prompts.files.push_back(run.path("new.mdb"));
        run.trigger("fileSaveAs");
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - new.mdb"));
        run.trigger("recordsAdd");
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kNoType});
    }

    void anEmptyCatalogueOpenedByTheFrameworkShowsNoOldRows() {
        Library books;
        TestCatalogue empty;
        empty.db->Close();
        RunningApp run(books.path);
        QCOMPARE(run.rows().size(), 4);
        run.frame()->OpenDocumentFile(QString::fromStdString(empty.path("test.mdb")));
        QVERIFY(run.rows().isEmpty());
        QCOMPARE(run.view()->Types().GetSize(), 0);
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void aBooksTableWithoutAColumnIsReportedAndTheProgramGoesOn() {
        Library books;
        {
            RawCatalogue raw(books.file());
            QVERIFY(raw.exec("DROP INDEX IF EXISTS books_autor"));
            QVERIFY2(raw.exec("ALTER TABLE books DROP COLUMN autor"),
                     raw.one("SELECT group_concat(name) FROM sqlite_master").c_str());
        }
        RunningApp run(books.path);
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kSelectFailed});
        QVERIFY(run.rows().isEmpty());
        run.frame()->View()->OnColumnClick(1);
        run.trigger("viewAll");
        QCOMPARE(run.prompts.takeMessages(), QStringList(2, shown::kSelectFailed));
        QVERIFY(run.doc()->GetDatabase()->IsOpen());
    }

    // The driver's own promise: what a test did not script fails it instead of passing or hanging.
    void anUnscriptedQuestionOrDialogFailsTheTest() {
        RunningApp run;
        QEXPECT_FAIL("", "a question nobody queued an answer for", Continue);
        AskYesNo("Unscripted?");
        QCOMPARE(run.prompts.questions, QStringList{"Unscripted?"});
        QEXPECT_FAIL("", "a dialog nobody closes", Continue);
        run.trigger("helpAbout");
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void exitClosesTheCatalogueWithoutAQuestion() {
        TestCatalogue c;
        const QString path = MakeCatalogue(c, "Exit");
        c.db->Close();
        RunningApp run(path);
        QVERIFY(run.doc()->GetDatabase()->IsOpen());
        run.trigger("fileExit");
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
        QVERIFY(run.prompts.questions.isEmpty());
        QVERIFY(run.prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
