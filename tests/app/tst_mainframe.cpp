#include "app/RecentFiles.h"
#include "shell/AppSettings.h"
#include "support/GuiDriver.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QUrl>
#include <cstdio>

namespace {
QString MakeCatalogue(TestCatalogue& c, const char* title) {
    c.db->InsertType("Roman");
    c.db->InsertState("Acasa");
    c.add(MakeBook(title));
    return QString::fromStdString(c.path("test.mdb"));
}

// A menu's or the menu bar's items, "-" for a separator, "(off)" after one disabled.
QStringList MenuTexts(QWidget* menu) {
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
        QCOMPARE(SettingsStore()->childKeys().size(), 15);
        QCOMPARE(StoredSettings(), (QStringList{"255", "255", "255", "0", "0", "0", "0", ""}));
        // Copies on; ISBN look-ups not asked yet, at the default service.
        QStringList more;
        for (const char* key :
             {"Backups", "Backup Daily", "Backup Monthly", "ISBN Lookup", "ISBN Service"}) {
            more << SettingsStore()->value(key).toString();
        }
        QCOMPARE(more, (QStringList{"1", "7", "12", "-1", ""}));
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
                 QStringList{shown::kCannotOpenMissing} + QStringList(3, shown::kSelectFailed));
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
        QCOMPARE(run.view()->Model()->rowCount(), 0);
    }

    void menusAreInTheirOrder() {
        RunningApp run;
        QCOMPARE(MenuTexts(run.frame()->menuBar()),
                 (QStringList{"&File", "&Edit", "&View", "&Records", "&Search", "S&tatistics",
                              "Settin&gs", "&Help"}));
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
        QCOMPARE(run.action("viewToolbar")->toolTip(), QStringLiteral("Toggle ToolBar"));
        QCOMPARE(run.action("viewStatusBar")->toolTip(), QStringLiteral("Toggle StatusBar"));
        // The newer File items prompt in Romanian, like their menu texts.
        for (const char* name : {"fileBackups", "fileImport", "fileExport", "fileExportPdf"}) {
            const QString prompt = run.action(name)->statusTip();
            QVERIFY2(!prompt.contains(QStringLiteral("the ")), qPrintable(prompt));
        }
    }

    // A catalogue named on the command line that does not open leaves the one of the settings
    // open, and the title names that one.
    void theTitleNamesTheCatalogueOpen() {
        TestCatalogue c;
        const QString path = MakeCatalogue(c, "Ion");
        c.db->Close();
        StoreSettings({{"Default Open", 1}, {"DB Path", path}});
        RunningApp run(QStringLiteral("/no/such/named.mdb"));
        QCOMPARE(run.prompts.takeMessages().first(), shown::kCannotOpenMissing);
        QVERIFY(run.doc()->GetDatabase()->IsOpen());
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - test.mdb"));
        QCOMPARE(run.column(1), QStringList{"Ion"});
    }

    // Each command that works on a catalogue says so, and only so, when none is open.
    void commandsNeedACatalogue_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("closed"); // or never opened
        const char* const commands[] = {
            "recordsAdd",           "recordsDelete",         "recordsModify",  "recordsTypes",
            "recordsStates",        "searchTitle",           "searchAuthor",   "searchPublisher",
            "searchType",           "searchPages",           "searchChapters", "searchVolumes",
            "searchFirstPublished", "searchVolumePublished", "searchRating",   "searchState",
            "searchComposite",      "statsGeneral",          "statsAuthors",   "statsPublishers",
            "recordsLend",          "recordsReturn",         "recordsLoans",   "fileImport",
            "fileExport",
        };
        for (const char* command : commands) {
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
                 (QStringList{shown::kCannotCreateOverAFile, shown::kCannotCreateTable}));
        QCOMPARE(FileBytes(books.path), before);
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelf Warden - Untitled"));
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
    }

    void afterSaveAsCommandsActOnTheCopysOwnBooks() {
        LibraryApp run;
        const QString copy = run.path("copy.mdb");
        run.prompts.files.push_back(copy);
        run.trigger("fileSaveAs");
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - copy.mdb"));
        QCOMPARE(RecentFiles::Load().first(), copy);
        const QByteArray source = FileBytes(run.Library::path);
        // Row 0 is "Abandonata", the fourth book stored: the copy must know it by that number.
        QCOMPARE(run.column(0), (QStringList{"0004", "0001", "0002", "0003"}));
        run.selectRow(0);
        run.trigger("recordsDelete");
        QCOMPARE(RawCatalogue(copy.toStdString()).rows("SELECT titlu FROM books ORDER BY id"),
                 (Texts{"Dune", "Ion", "Odiseea"}));
        QCOMPARE(FileBytes(run.Library::path), source);
    }

    // Save As onto the open catalogue under another name ("./", a link) writes nothing over it.
    void saveAsOntoTheOpenCatalogueByAnotherNameKeepsIt() {
        Library books;
        QVERIFY(
            RawCatalogue(books.file()).exec("CREATE TABLE mine(x); INSERT INTO mine VALUES (1)"));
        const QString folder = QFileInfo(books.path).absolutePath();
        QVERIFY(QFile::link(books.path, folder + "/link.mdb"));
        RunningApp run(books.path);
        for (const QString& other : {folder + "/./test.mdb", folder + "/link.mdb"}) {
            run.prompts.files.push_back(other);
            run.trigger("fileSaveAs");
            QCOMPARE(RawCatalogue(books.file())
                         .rows("SELECT count(*) FROM mine UNION ALL "
                               "SELECT count(*) FROM books"),
                     (Texts{"1", "4"}));
        }
        QVERIFY(QFileInfo(folder + "/link.mdb").isSymLink());
        QCOMPARE(run.rows().size(), 4);
    }

    // The copy keeps every identifier: the rows shown, their order, the statement behind them
    // and the history go on, acting on the copy.
    void saveAsKeepsTheListingAndTheHistory() {
        Library books;
        RunningApp run(books.path);
        run.trigger("viewRead");
        run.view()->OnColumnClick(5); // Pagini
        run.selectRow(0);             // Odiseea
        run.trigger("recordsDelete");
        run.trigger("viewRead");
        run.view()->OnColumnClick(8); // An aparitie
        const QStringList rows = run.rows();
        const QByteArray source = FileBytes(books.path);
        const QString copy = run.path("copy.mdb");
        run.prompts.files.push_back(copy);
        run.trigger("fileSaveAs");
        QCOMPARE(run.rows(), rows);
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books WHERE citita = -1"));
        QCOMPARE(run.view()->horizontalHeader()->sortIndicatorSection(), 8);
        QVERIFY(run.action("editUndo")->isEnabled());
        run.trigger("editUndo");
        QCOMPARE(RawCatalogue(copy.toStdString()).rows("SELECT titlu FROM books ORDER BY id"),
                 (Texts{"Dune", "Ion", "Odiseea", "Abandonata"}));
        QCOMPARE(FileBytes(books.path), source);
        // Still ordered by the header clicked before the copy.
        QCOMPARE(run.column(8), (QStringList{"-700", "1965"}));
        QVERIFY(run.prompts.messages.isEmpty());
    }

    // Where and how big the user left the window; maximised the first time and when left so.
    void theWindowComesBackWhereItWasLeft() {
        {
            RunningApp run;
            QVERIFY(run.frame()->isMaximized());
            run.frame()->showNormal();
            run.frame()->setGeometry(40, 50, 640, 420);
            run.frame()->close();
        }
        {
            RunningApp run;
            QVERIFY(!run.frame()->isMaximized());
            QCOMPARE(run.frame()->geometry().size(), QSize(640, 420));
            QCOMPARE(run.frame()->geometry().topLeft(), QPoint(40, 50));
            run.frame()->showMaximized();
            run.frame()->close();
        }
        RunningApp run;
        QVERIFY(run.frame()->isMaximized());
    }

    // Without an icon theme every toolbar button shows the program's own picture of its
    // command.
    void toolbarIconsFallBackOnTheirOwnPictures() {
        const QStringList searchPaths = QIcon::themeSearchPaths();
        const QString theme = QIcon::themeName();
        QIcon::setThemeSearchPaths({});
        QIcon::setThemeName(QStringLiteral("none"));
        {
            RunningApp run;
            for (const auto& [action, picture] : {std::pair{"fileNew", "document-new"},
                                                  {"fileOpen", "document-open"},
                                                  {"fileSave", "document-save"},
                                                  {"editCut", "edit-cut"},
                                                  {"editCopy", "edit-copy"},
                                                  {"editPaste", "edit-paste"},
                                                  {"filePrint", "document-print"},
                                                  {"helpAbout", "help-about"}}) {
                const QImage shown = run.action(action)->icon().pixmap(16).toImage();
                const QImage own =
                    QIcon(QStringLiteral(":/icons/%1.png").arg(picture)).pixmap(16).toImage();
                QVERIFY2(!own.isNull() && shown == own, action);
            }
        }
        QIcon::setThemeSearchPaths(searchPaths);
        QIcon::setThemeName(theme);
    }

    // Under a Romanian desktop the framework's buttons, file chooser and text menus speak
    // Romanian; the program's own menus stay as they are.
    void theFrameworkSpeaksTheUsersLanguage() {
        QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));
        {
            RunningApp run;
            QCOMPARE(QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No)
                         .button(QDialogButtonBox::Yes)
                         ->text(),
                     QStringLiteral("&Da"));
            QLineEdit edit;
            std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
            QStringList texts;
            for (QAction* a : menu->actions()) {
                texts << a->text().section(QLatin1Char('\t'), 0, 0);
            }
            QVERIFY2(texts.contains(QStringLiteral("&Copiaza")), qPrintable(texts.join(',')));
            QFileDialog chooser(nullptr, QString(), QString(), QStringLiteral("*.mdb"));
            chooser.setOption(QFileDialog::DontUseNativeDialog);
            QCOMPARE(chooser.findChild<QLabel*>("lookInLabel")->text(),
                     QStringLiteral("Cauta in:"));
            QCOMPARE(run.action("fileOpen")->text(), QStringLiteral("&Open...\tCtrl+O"));
            QStringList captions;
            WhenModal([&](QWidget* sheet) {
                captions << sheet->findChild<QPushButton*>("ok")->text()
                         << sheet->findChild<QPushButton*>("cancel")->text();
                Press(sheet, "cancel");
            });
            run.trigger("settingsOptions");
            QCOMPARE(captions, (QStringList{"OK", "Cancel"}));
        }
        QLocale::setDefault(QLocale::c());
        RunningApp run;
        QCOMPARE(QDialogButtonBox(QDialogButtonBox::Yes).button(QDialogButtonBox::Yes)->text(),
                 QStringLiteral("&Yes"));
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

    // A name that is not UTF-8 (an old disk's Latin-1 "cafe" with an accent) is the bytes given.
    void aCatalogueNameIsOpenedAsTheBytesGiven() {
        Library books;
        const std::string name = books.c.dir.path().toStdString() + "/caf\xe9.mdb";
        QCOMPARE(::rename(books.file().c_str(), name.c_str()), 0);
        RunningApp run;
        run.frame()->OpenDocumentFile(name);
        QCOMPARE(run.rows().size(), 4);
        QCOMPARE(run.doc()->GetDatabase()->GetPath(), name);
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
        LibraryApp run;
        QVERIFY(run.doc()->GetDatabase()->IsOpen());
        run.trigger("fileExit");
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
        QVERIFY(run.prompts.questions.isEmpty());
        QVERIFY(run.prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
