#include "AppSettings.h"
#include "CBookListModel.h"
#include "CMainFrame.h"
#include "CShelfwardenDoc.h"
#include "CShelfwardenView.h"
#include "CoreTestSupport.h"
#include "GuiDriver.h"
#include "RecentFiles.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QUrl>

namespace {
std::unique_ptr<QSettings> Store() {
    auto s = std::make_unique<QSettings>(QStringLiteral("Local AppWizard-Generated Applications"),
                                         QStringLiteral("Shelfwarden"));
    s->beginGroup(QStringLiteral("Shelfwarden"));
    return s;
}

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
        auto store = Store();
        QSettings& s = *store;
        QCOMPARE(s.childKeys().size(), 8);
        for (const char* key : {"BGRed", "BGGreen", "BGBlue"}) {
            QCOMPARE(s.value(key).toInt(), 255);
        }
        for (const char* key : {"FGRed", "FGGreen", "FGBlue", "Default Open"}) {
            QCOMPARE(s.value(key).toInt(), 0);
        }
        QCOMPARE(s.value("DB Path").toString(), QString());
        const QPalette p = run.view()->palette();
        QCOMPARE(p.color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(p.color(QPalette::Text), QColor(Qt::black));
        QCOMPARE(run.frame()->statusBar()->currentMessage(), QStringLiteral("Ready"));
    }

    void coloursUseTheLowEightBits() {
        {
            auto store = Store();
            QSettings& s = *store;
            s.setValue("BGRed", 256 + 10);
            s.setValue("BGGreen", 20);
            s.setValue("BGBlue", 30);
            s.setValue("FGRed", 511);
        }
        RunningApp run;
        QCOMPARE(run.view()->palette().color(QPalette::Base), QColor(10, 20, 30));
        QCOMPARE(run.view()->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(Store()->value("BGRed").toInt(), 266); // written back as read
    }

    void defaultOpenListsTheCatalogue() {
        TestCatalogue c;
        const QString path = MakeCatalogue(c, "Dune");
        c.db->Close();
        {
            auto store = Store();
            QSettings& s = *store;
            s.setValue("Default Open", 2);
            s.setValue("DB Path", path);
        }
        RunningApp run;
        QVERIFY(run.prompts.messages.isEmpty());
        QVERIFY(run.doc()->GetDatabase()->IsOpen());
        QCOMPARE(run.column(1), QStringList{"Dune"});
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - Untitled"));
    }

    void defaultOpenOfAWrongPathReportsAndRunsOn() {
        {
            auto store = Store();
            QSettings& s = *store;
            s.setValue("Default Open", 1);
            s.setValue("DB Path", "/no/such/catalogue.mdb");
        }
        RunningApp run;
        QCOMPARE(run.prompts.takeMessages(), (QStringList{"Nu se poate deschide baza de date",
                                                          "Nu se pot selecta inregistrarile!",
                                                          "Nu se pot selecta inregistrarile!",
                                                          "Nu se pot selecta inregistrarile!"}));
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
                 (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Close", "Save &As...", "-",
                              "Recent File (off)", "-", "E&xit"}));
        QCOMPARE(MenuTexts(menu(1)), (QStringList{"&Undo\tCtrl+Z (off)", "-", "Cu&t\tCtrl+X (off)",
                                                  "&Copy\tCtrl+C (off)", "&Paste\tCtrl+V (off)"}));
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

    void aCatalogueOnTheCommandLineIsOpenedAndRemembered() {
        TestCatalogue c;
        const QString path = MakeCatalogue(c, "Ion");
        c.db->Close();
        RunningApp run(path);
        QVERIFY(run.prompts.messages.isEmpty());
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - test.mdb"));
        QCOMPARE(run.column(1), QStringList{"Ion"});
        QCOMPARE(run.column(4), QStringList{"Roman"});
        QCOMPARE(RecentFiles::Load(), QStringList{path});
        QVERIFY(!run.action("fileRecentPlaceholder")->isVisible());
        QCOMPARE(run.action("fileRecent1")->text(), "&1 " + path);
    }

    void aDroppedFileIsOpened() {
        TestCatalogue c;
        const QString path = MakeCatalogue(c, "Dropped");
        c.db->Close();
        RunningApp run;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint at = run.frame()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(run.frame(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(run.frame(), &drop);
        QCOMPARE(run.column(1), QStringList{"Dropped"});
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - test.mdb"));
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

    void saveWithoutANameAsksForOne() {
        TestCatalogue c;
        const QString path = MakeCatalogue(c, "Saved");
        c.db->Close();
        RunningApp run(path);
        // Named by the command line: saving to its own path does nothing.
        run.trigger("fileSave");
        QVERIFY(run.prompts.fileRequests.isEmpty());
        run.trigger("fileNew");
        run.doc()->ResetTitle();
        const QString target = run.path("saved.swd");
        run.prompts.files.push_back(target);
        run.trigger("fileSave");
        QCOMPARE(run.prompts.fileRequests, QStringList{"save|Shelfw Files (*.swd)|swd"});
        QVERIFY(QFile::exists(target));
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - saved.swd"));
        QVERIFY(run.doc()->GetDatabase()->IsOpen());
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
