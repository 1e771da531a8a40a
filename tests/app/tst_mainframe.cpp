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
#include <filesystem>
#include <sys/stat.h>

namespace {
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

    // However a catalogue comes to be opened, its books are listed under its name and it is
    // remembered.
    void aCatalogueIsOpenedAndRemembered_data() {
        QTest::addColumn<QString>("how");
        // A catalogue named on the command line that does not open leaves the one of the
        // settings open.
        for (const char* how : {"command line", "default open", "dropped", "named wrong"}) {
            QTest::newRow(how) << how;
        }
    }
    void aCatalogueIsOpenedAndRemembered() {
        QFETCH(QString, how);
        TestCatalogue c;
        c.db->InsertType("Roman");
        c.db->InsertState("Acasa");
        c.add(MakeBook("Ion"));
        const QString path = QString::fromStdString(c.path("test.mdb"));
        c.db->Close();
        if (how == "default open" || how == "named wrong") {
            StoreSettings({{"Default Open", how == "named wrong" ? 1 : 2}, {"DB Path", path}});
        }
        RunningApp run(how == "command line"  ? path
                       : how == "named wrong" ? QStringLiteral("/no/such/named.mdb")
                                              : QString());
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
        QCOMPARE(run.prompts.takeMessages().mid(0, 1),
                 how == "named wrong" ? QStringList{shown::kCannotOpenMissing} : QStringList());
        QVERIFY(run.doc()->GetDatabase()->IsOpen());
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - test.mdb"));
        QCOMPARE(run.column(1) + run.column(4), (QStringList{"Ion", "Roman"}));
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
        QCOMPARE(RecentFiles::Load(), QStringList{path});
        QVERIFY(!run.action("fileRecentPlaceholder")->isVisible());
        QCOMPARE(run.action("fileRecent1")->text(), "&1 " + path);
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

    // Sequences a person runs: Save never writes where the user has not confirmed.
    void saveNeverWritesAnUnchosenFile_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("asksForAName");
        QTest::addColumn<QString>("title");
        QTest::newRow("new then save") << "fileNew" << true << "Shelf Warden - Untitled";
        QTest::newRow("close then save") << "fileClose" << true << "Shelfwarden";
        QTest::newRow("open another then save") << "fileOpen" << false << "Shelfwarden - other.mdb";
        QTest::newRow("save as then save") << "fileSaveAs" << false << "Shelfwarden - copy.mdb";
    }
    void saveNeverWritesAnUnchosenFile() {
        QFETCH(QString, command);
        QFETCH(bool, asksForAName);
        QFETCH(QString, title);
        Library books;
        Library other;
        const QString otherPath = QFileInfo(other.path).dir().filePath("other.mdb");
        QVERIFY(QFile::rename(other.path, otherPath));
        const QByteArray before = FileBytes(books.path);
        RunningApp run(books.path);
        if (command == "fileOpen" || command == "fileSaveAs") {
            run.prompts.files.push_back(command == "fileOpen" ? otherPath : run.path("copy.mdb"));
        }
        run.trigger(command.toUtf8().constData());
        run.prompts.fileRequests.clear();
        if (asksForAName) {
            run.prompts.files.push_back(std::nullopt); // Save's chooser: cancelled
        }
        run.trigger("fileSave");
        QCOMPARE(run.prompts.fileRequests,
                 asksForAName ? QStringList{QStringLiteral("save|%1|mdb").arg(shown::kMdbFilter)}
                              : QStringList());
        QCOMPARE(run.frame()->windowTitle(), title);
        QCOMPARE(FileBytes(books.path), before);
        QVERIFY(run.prompts.messages.isEmpty());
        if (command == "fileNew") { // Save As onto a file, no catalogue open, leaves it alone
            run.prompts.files.push_back(books.path); // the user confirmed replacing it
            run.trigger("fileSaveAs");
            QCOMPARE(run.prompts.takeMessages(),
                     (QStringList{shown::kCannotCreateOverAFile, shown::kCannotCreateTable}));
            QCOMPARE(FileBytes(books.path), before);
            QCOMPARE(run.frame()->windowTitle(), title);
            QVERIFY(!run.doc()->GetDatabase()->IsOpen());
        }
    }

    // Save As onto the open catalogue under another name ("./", a link) writes nothing over it.
    void saveAsOntoTheOpenCatalogueByAnotherNameKeepsIt() {
        Library books;
        QVERIFY(
            RawCatalogue(books.file()).exec("CREATE TABLE mine(x); INSERT INTO mine VALUES (1)"));
        const QString folder = QFileInfo(books.path).absolutePath();
        QVERIFY(QFile::link(books.path, folder + "/link.mdb"));
        struct stat before {};
        QCOMPARE(::stat(books.file().c_str(), &before), 0);
        RunningApp run(books.path);
        for (const QString& other : {folder + "/./test.mdb", folder + "/link.mdb"}) {
            run.prompts.files.push_back(other);
            run.trigger("fileSaveAs");
            QCOMPARE(RawCatalogue(books.file())
                         .rows("SELECT count(*) FROM mine UNION ALL "
                               "SELECT count(*) FROM books"),
                     (Texts{"1", "4"}));
            struct stat after {};
            QCOMPARE(::stat(books.file().c_str(), &after), 0);
            QCOMPARE(after.st_ino, before.st_ino); // the file itself, not a copy in its place
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
        run.trigger("editUndo");
        QCOMPARE(RawCatalogue(copy.toStdString()).rows("SELECT titlu FROM books ORDER BY id"),
                 (Texts{"Dune", "Ion", "Odiseea", "Abandonata"}));
        QCOMPARE(FileBytes(books.path), source);
        // Still ordered by the header clicked before the copy.
        QCOMPARE(run.column(8), (QStringList{"-700", "1965"}));
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - copy.mdb"));
        QCOMPARE(RecentFiles::Load().first(), copy);
        // "Abandonata" is the fourth book stored: the copy must know it by that number.
        run.trigger("viewAll");
        const int row = run.column(1).indexOf("Abandonata");
        QCOMPARE(run.column(0).at(row), QStringLiteral("0004"));
        run.selectRow(row);
        run.trigger("recordsDelete");
        QCOMPARE(RawCatalogue(copy.toStdString()).rows("SELECT titlu FROM books ORDER BY id"),
                 (Texts{"Dune", "Ion", "Odiseea"}));
        QCOMPARE(FileBytes(books.path), source);
        QVERIFY(run.prompts.messages.isEmpty());
        // The copy of a catalogue open for reading only is open for writing.
        run.doc()->OpenReadOnly(books.path);
        QVERIFY(!run.action("recordsAdd")->isEnabled());
        run.prompts.files.push_back(run.path("writable.mdb"));
        run.trigger("fileSaveAs");
        QVERIFY(run.action("recordsAdd")->isEnabled());
        QVERIFY(!run.doc()->IsReadOnly());
    }

    // The first start writes back the defaults and shows the menus in their order; the window
    // comes back where and how big the user left it, maximised the first time and when left so;
    // stored colours, recent files and the catalogue to open are read back.
    void theFirstStartAndWhatTheNextOnesReadBack() {
        {
            RunningApp run;
            QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - Untitled"));
            QVERIFY(run.frame()->isMaximized());
            QVERIFY(run.prompts.messages.isEmpty());
            QVERIFY(!run.doc()->GetDatabase()->IsOpen());
            QCOMPARE(SettingsStore()->childKeys().size(), 18);
            QCOMPARE(StoredSettings(), (QStringList{"255", "255", "255", "0", "0", "0", "0", ""}));
            // Copies on; ISBN look-ups not asked yet, at the default service, without a contact.
            QStringList more;
            for (const char* key :
                 {"Backups", "Backup Daily", "Backup Monthly", "ISBN Lookup", "ISBN Service",
                  "ISBN Contact", "ISBN Sources", "ISBN Google Key"}) {
                more << SettingsStore()->value(key).toString();
            }
            QCOMPARE(more, (QStringList{"1", "7", "12", "-1", "", "", "", ""}));
            QCOMPARE(run.frame()->statusBar()->currentMessage(), QStringLiteral("Ready"));
            // The menus, and About's version line.
            QCOMPARE(MenuTexts(run.frame()->menuBar()),
                     (QStringList{"&File", "&Edit", "&View", "&Records", "&Search", "S&tatistics",
                                  "Settin&gs", "&Help"}));
            auto menu = [&](int i) { return run.frame()->menuBar()->actions()[i]->menu(); };
            QCOMPARE(
                MenuTexts(menu(0)),
                (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "Save &As...",
                             "Copii de &siguranta...", "-", "&Import...", "&Export...", "-",
                             "&Print...\tCtrl+P", "Print Pre&view", "Export P&DF...",
                             "Tipareste e&tichete...", "-", "Recent File (off)", "-", "E&xit"}));
            QCOMPARE(MenuTexts(menu(1)),
                     (QStringList{"&Undo\tCtrl+Z (off)", "&Redo\tCtrl+Y (off)", "-",
                                  "Cu&t\tCtrl+X (off)", "&Copy\tCtrl+C", "&Paste\tCtrl+V (off)"}));
            QCOMPARE(MenuTexts(menu(2)),
                     (QStringList{"Toate cartile", "Cartile citite", "Cartile necitite",
                                  "Sterge lista", "&Coperti", "-", "&Toolbar", "&Status Bar"}));
            QCOMPARE(run.action("viewAll")->statusTip(),
                     QStringLiteral("Show all books in the database"));
            QCOMPARE(run.action("fileNew")->statusTip(), QStringLiteral("Create a new document"));
            QCOMPARE(run.action("fileSave")->shortcut(), QKeySequence("Ctrl+S"));
            QCOMPARE(run.action("editUndo")->shortcuts(),
                     (QList<QKeySequence>{QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
            QCOMPARE(MenuTexts(menu(7)), QStringList{"&About Shelfwarden..."});
            // Tool tips name the command without the shortcut's tab.
            QStringList tips;
            for (const char* name : {"fileNew", "recordsAdd", "viewToolbar", "viewStatusBar"}) {
                tips << run.action(name)->toolTip();
            }
            QCOMPARE(tips, (QStringList{"New", "Adauga", "Toggle ToolBar", "Toggle StatusBar"}));
            // The newer File items prompt in Romanian, like their menu texts.
            for (const char* name : {"fileBackups", "fileImport", "fileExport", "fileExportPdf"}) {
                const QString prompt = run.action(name)->statusTip();
                QVERIFY2(!prompt.contains(QStringLiteral("the ")), qPrintable(prompt));
            }
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
            run.frame()->showNormal();
            run.frame()->setGeometry(40, 50, 640, 420);
            run.frame()->close();
        }
        {
            RunningApp run;
            QVERIFY(!run.frame()->isMaximized());
            QCOMPARE(run.frame()->geometry(), QRect(40, 50, 640, 420));
            run.frame()->showMaximized();
            run.frame()->close();
        }
        // Colours use the low eight bits of what is stored; a catalogue to open at start that is
        // not there is reported, and the program runs on without it.
        StoreSettings({{"BGRed", 256 + 10}, {"BGGreen", 20}, {"BGBlue", 30}, {"FGRed", 511}});
        StoreSettings({{"Default Open", 1}, {"DB Path", "/no/such/catalogue.mdb"}});
        // The four newest recent files are kept, the last opened first.
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
        QVERIFY(run.action("fileRecent4") && !run.action("fileRecent5"));
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{shown::kCannotOpenMissing} + QStringList(3, shown::kSelectFailed));
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
        QCOMPARE(run.view()->Model()->rowCount(), 0);
        QVERIFY(run.frame()->isMaximized());
        QCOMPARE(run.view()->palette().color(QPalette::Base), QColor(10, 20, 30));
        QCOMPARE(run.view()->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(StoredSettings()[0], QStringLiteral("266")); // written back as read
    }

    // Under a Romanian desktop without an icon theme the framework's buttons, file chooser and
    // text menus speak Romanian, the program's own menus stay as they are, and every toolbar button
    // shows the program's own picture of its command.
    void theProgramFitsTheUsersDesktop() {
        const QStringList searchPaths = QIcon::themeSearchPaths();
        const QString theme = QIcon::themeName();
        QIcon::setThemeSearchPaths({});
        QIcon::setThemeName(QStringLiteral("none"));
        QLocale::setDefault(QLocale(QLocale::Romanian, QLocale::Romania));
        {
            RunningApp run;
            for (const QString pair :
                 {"fileNew document-new", "fileOpen document-open", "fileSave document-save",
                  "editCut edit-cut", "editCopy edit-copy", "editPaste edit-paste",
                  "filePrint document-print", "helpAbout help-about"}) {
                const QString action = pair.section(' ', 0, 0);
                const QImage shown = run.action(qPrintable(action))->icon().pixmap(16).toImage();
                const QImage own =
                    QIcon(":/icons/" + pair.section(' ', 1) + ".png").pixmap(16).toImage();
                QVERIFY2(!own.isNull() && shown == own, qPrintable(action));
            }
            QDialogButtonBox buttons(QDialogButtonBox::Yes | QDialogButtonBox::No);
            QCOMPARE(buttons.button(QDialogButtonBox::Yes)->text(), QStringLiteral("&Da"));
            QLineEdit edit;
            std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
            const QString texts = MenuTexts(menu.get()).join(',');
            QVERIFY2(texts.contains(QStringLiteral("&Copiaza\t")), qPrintable(texts));
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
        QIcon::setThemeSearchPaths(searchPaths);
        QIcon::setThemeName(theme);
        QLocale::setDefault(QLocale::c());
        RunningApp run;
        QCOMPARE(QDialogButtonBox(QDialogButtonBox::Yes).button(QDialogButtonBox::Yes)->text(),
                 QStringLiteral("&Yes"));
    }

    // A new catalogue and those the framework opens show only their own rows and lookups; Exit
    // closes the last without a question.
    void eachCatalogueShowsOnlyItsOwnRowsAndLookups() {
        Library books;
        TestCatalogue empty;
        empty.db->Close();
        RunningApp run(books.path);
        run.trigger("fileNew");
        QCOMPARE(run.view()->Types().GetSize(), 0);
        run.prompts.files.push_back(run.path("new.mdb"));
        run.trigger("fileSaveAs");
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - new.mdb"));
        WhenModal([](QWidget* starterSet) { Press(starterSet, "cancel"); });
        run.trigger("recordsAdd");
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kNoType});
        // A name that is not UTF-8 (an old disk's Latin-1 "cafe" with an accent) is the bytes
        // given.
        const std::string name = books.c.dir.path().toStdString() + "/caf\xe9.mdb";
        QCOMPARE(::rename(books.file().c_str(), name.c_str()), 0);
        run.frame()->OpenDocumentFile(name);
        QCOMPARE(run.rows().size(), 4);
        QCOMPARE(run.doc()->GetDatabase()->GetPath(), name);
        run.frame()->OpenDocumentFile(QString::fromStdString(empty.path("test.mdb")));
        // Temporary folders cannot remove a name that is not UTF-8 (nor the copies' folder named
        // after it) themselves.
        const std::string copies = SettingsStore()->value("Backup Folder").toString().toStdString();
        for (const auto& entry : std::filesystem::directory_iterator(copies)) {
            if (entry.path().filename().string().starts_with("caf\xe9")) {
                std::filesystem::remove_all(entry.path());
            }
        }
        std::filesystem::remove(name);
        QVERIFY(run.rows().isEmpty());
        QCOMPARE(run.view()->Types().GetSize(), 0);
        run.trigger("fileExit");
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
        QVERIFY(run.prompts.questions.isEmpty());
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void aBooksTableWithoutAColumnIsReportedAndTheProgramGoesOn() {
        Library books;
        QVERIFY(RawCatalogue(books.file())
                    .exec("DROP INDEX IF EXISTS books_autor; ALTER TABLE books DROP COLUMN autor"));
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
};

QTEST_MAIN(TestMainFrame)
#include "tst_mainframe.moc"
