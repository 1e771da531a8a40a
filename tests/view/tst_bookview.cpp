#include "support/GuiDriver.h"
#include "view/ListedDetails.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QSettings>

class TestBookView : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    // A header click sorts ascending; with the option set, a second click on it sorts descending
    // and a third ascending again; the arrow shows which. A writer's books stand by
    // title both ways.
    void aSecondClickOnTheSameHeader_data() {
        QTest::addColumn<bool>("reverses");
        QTest::addColumn<QStringList>("authorsThenTitles");
        QTest::addColumn<QList<Qt::SortOrder>>("arrows");
        const QStringList up{"Herbert: Dune",  "Herbert: Zebra",     "Homer: Alfa",
                             "Homer: Odiseea", "Nimeni: Abandonata", "Rebreanu: Ion"};
        QStringList down{"Rebreanu: Ion",  "Nimeni: Abandonata", "Homer: Alfa",
                         "Homer: Odiseea", "Herbert: Dune",      "Herbert: Zebra"};
        QTest::newRow("always ascending")
            << false << (up + up + up) << QList<Qt::SortOrder>(3, Qt::AscendingOrder);
        QTest::newRow("reversing, when set")
            << true << (up + down + up)
            << QList<Qt::SortOrder>{Qt::AscendingOrder, Qt::DescendingOrder, Qt::AscendingOrder};
    }

    void aSecondClickOnTheSameHeader() {
        QFETCH(bool, reverses);
        QFETCH(QStringList, authorsThenTitles);
        QFETCH(QList<Qt::SortOrder>, arrows);
        // Added after the others, so their ids do not follow their titles.
        LibraryApp run({MakeBook("Zebra", "Herbert"), MakeBook("Alfa", "Homer")});
        WhenModal([&](QWidget* sheet) {
            auto* box = sheet->findChild<QCheckBox*>("reverseSort");
            QCOMPARE(box->text(),
                     QStringLiteral("Al doilea clic pe acelasi antet inverseaza ordinea"));
            QVERIFY(!box->isChecked());
            box->setChecked(reverses);
            Press(sheet, "ok");
        });
        run.trigger("settingsOptions");
        QHeaderView* header = run.view()->horizontalHeader();
        QStringList seen;
        QList<Qt::SortOrder> shown;
        for (int click = 0; click < 3; ++click) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(2) + 5, 5));
            for (const QString& row : run.rows()) {
                seen << row.section('|', 2, 2) + QStringLiteral(": ") + row.section('|', 1, 1);
            }
            QCOMPARE(header->sortIndicatorSection(), 2);
            shown << header->sortIndicatorOrder();
        }
        QCOMPARE(seen, authorsThenTitles);
        QCOMPARE(shown, arrows);
        QCOMPARE(SettingsStore()->value("Reverse Sort").toInt(), reverses ? 1 : 0);
    }

    // Every kind of book is listed; in a desktop's larger font the state of a lent book is still
    // read whole. Titlu, Autor and Editura fill a wide window; widths and order are there again at
    // the next start, which lists by title whatever header was clicked last.
    void theListShowsEveryBookAndComesBackAsLeft() {
        const QFont font = QApplication::font();
        QFont large = font;
        large.setPixelSize(16);
        QApplication::setFont(large);
        const auto restore = qScopeGuard([&] { QApplication::setFont(font); });
        Library lib;
        RawCatalogue(lib.file()).exec("UPDATE books SET id = 12345 WHERE titlu = 'Ion'");
        {
            RunningApp run(lib.path);
            CShelfwardenView* view = run.view();
            QAbstractItemModelTester tester(view->Model(),
                                            QAbstractItemModelTester::FailureReportingMode::QtTest);
            QCOMPARE(
                run.rows(),
                (QStringList{"0004|Abandonata|Nimeni|Nicio|[nedefinit]|1|1|1|2001|2002|Nu|De "
                             "citit|[nedefinita]",
                             "0001|Dune|Herbert|Nemira|SF|600|1|1|1965|2003|Da|Deosebita|Acasa",
                             "12345|Ion|Rebreanu|Minerva|Clasic|400|1|1|1920|1980|Nu|De "
                             "citit|Acasa",
                             "0003|Odiseea|Homer|Univers|SF|300|1|1|-700|1970|Da|Foarte "
                             "buna|Acasa"}));
            QHeaderView* header = view->horizontalHeader();
            QCOMPARE(header->sectionSize(0), 50);
            QCOMPARE(header->sectionSize(6), 55);
            QVERIFY(header->sectionSize(12) >
                    view->fontMetrics().horizontalAdvance(QStringLiteral("Imprumutata")));
            run.frame()->setWindowState(Qt::WindowNoState);
            run.frame()->resize(1600, 1000);
            QTRY_COMPARE(header->length(), view->viewport()->width());
            QVERIFY(view->columnWidth(1) > 2 * 150);
            QCOMPARE(view->columnWidth(6), 55);
            header->resizeSection(6, 120);
            header->actions().at(0)->trigger(); // ISBN shown, the list still fits
            QCOMPARE(header->length(), view->viewport()->width());
            header->resizeSection(kIsbnColumn, 140);
            header->moveSection(header->visualIndex(12), 0);
            header->moveSection(header->visualIndex(kIsbnColumn), 1);
            for (int click = 0; click < 2; ++click) {
                view->OnColumnClick(2);
            }
        }
        RunningApp run(lib.path);
        QHeaderView* header = run.view()->horizontalHeader();
        QCOMPARE(
            (QList<int>{header->sectionSize(6), header->logicalIndex(0), header->logicalIndex(1),
                        header->sectionSize(kIsbnColumn), header->sortIndicatorSection()}),
            (QList<int>{120, 12, 0, 140, -1}));
        QVERIFY(!run.view()->isColumnHidden(kIsbnColumn));
        QVERIFY(run.view()->isColumnHidden(kLocationColumn));
        QCOMPARE(run.column(1), (QStringList{"Abandonata", "Dune", "Ion", "Odiseea"}));
    }

    // Copy puts the selected rows under the headers, tab-separated; Delete and Enter act on the
    // selected row; a right-click offers what can be done to a row.
    void copyKeysTheRowMenuAndTheViewCommands() {
        LibraryApp run;
        run.view()->selectRow(1);
        run.view()->selectionModel()->select(run.view()->Model()->index(3, 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows);
        run.trigger("editCopy");
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("ID\tTitlu\tAutor\tEditura\tTip\tPagini\tCapitole\tVolume\t"
                                "An aparitie\tAn publicare volum\tCitita\tCalificativ\tStare\n"
                                "0001\tDune\tHerbert\tNemira\tSF\t600\t1\t1\t1965\t2003\tDa\t"
                                "Deosebita\tAcasa\n"
                                "0003\tOdiseea\tHomer\tUnivers\tSF\t300\t1\t1\t-700\t1970\tDa\t"
                                "Foarte buna\tAcasa\n"));
        QStringList offered;
        for (QAction* a : run.view()->actions()) {
            offered << a->objectName();
        }
        QCOMPARE(offered,
                 (QStringList{"recordsModify", "recordsDelete", "editCopy", "viewSortBy"}));

        run.selectRow(1);
        WhenModal([](QWidget* dlg) {
            QCOMPARE(dlg->findChild<QLineEdit*>("titlu")->text(), QStringLiteral("Dune"));
            Press(dlg, "cancel");
        });
        QTest::keyClick(run.view(), Qt::Key_Return);
        QTest::keyClick(run.view(), Qt::Key_Delete);
        QCOMPARE(run.column(1), (QStringList{"Abandonata", "Ion", "Odiseea"}));

        // The view commands, and header clicks, sort the current statement.
        run.trigger("viewUnread");
        QCOMPARE(run.column(1), (QStringList{"Abandonata", "Ion"}));
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books WHERE citita = 0"));
        run.trigger("viewClear");
        QCOMPARE(run.view()->Model()->rowCount(), 0);
        QCOMPARE(run.view()->CurrentQuery(), std::string());
        run.view()->OnColumnClick(1); // nothing to sort after the list was cleared
        QCOMPARE(run.view()->Model()->rowCount(), 0);
        run.trigger("viewAll");
        QCOMPARE(run.view()->Model()->rowCount(), 3);
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));

        QHeaderView* header = run.view()->horizontalHeader();
        auto click = [&](int logical) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(logical) + 5, 5));
        };
        click(8); // "An aparitie" sorts by publicare
        QCOMPARE(run.column(8), (QStringList{"-700", "1920", "2001"}));
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));

        // A dragged header keeps sorting by its own column.
        header->moveSection(header->visualIndex(9), 0);
        run.trigger("viewAll");
        click(9);
        QCOMPARE(run.column(9), (QStringList{"1970", "1980", "2002"}));
        QVERIFY(run.prompts.messages.isEmpty());
    }

    // Cancelled choosers change nothing; Close and New leave nothing listed and nothing to choose.
    void fileCommandsAndTheTitle() {
        Library lib;
        RunningApp run;
        run.prompts.files = {std::nullopt, lib.path, std::nullopt};
        run.trigger("fileOpen");
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - Untitled"));
        QCOMPARE(run.prompts.fileRequests,
                 QStringList{QStringLiteral("open|%1|mdb").arg(shown::kMdbFilter)});
        run.trigger("fileOpen");
        run.trigger("fileSaveAs");
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - test.mdb"));
        QCOMPARE(run.view()->Types().GetSize(), 2);

        run.trigger("fileClose");
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden"));
        QCOMPARE(run.view()->Model()->rowCount(), 0);
        QCOMPARE(run.view()->Types().GetSize(), 0);
        run.frame()->setWindowTitle("unchanged");
        run.trigger("fileClose"); // nothing open: nothing happens
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("unchanged"));

        run.prompts.files.push_back(lib.path);
        run.trigger("fileOpen");
        run.trigger("fileNew");
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
        QCOMPARE(run.view()->Model()->rowCount(), 0);
        QVERIFY(run.prompts.messages.isEmpty());

        // A failed copy keeps the open catalogue; a bad file is reported and leaves nothing open.
        run.prompts.files = {lib.path, run.path("missing/folder/copy.mdb")};
        run.trigger("fileOpen");
        run.trigger("fileSaveAs");
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kCannotCreateNoFolder});
        QVERIFY(run.doc()->GetDatabase()->IsOpen());
        QCOMPARE(run.doc()->GetDatabase()->GetPath(), lib.file());
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - test.mdb"));
        QCOMPARE(run.view()->Model()->rowCount(), 4);

        const QString bad = run.path("bad.mdb");
        WriteFile(bad, "not a catalogue");
        run.prompts.files.push_back(bad);
        run.trigger("fileOpen");
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kCannotOpenNotACatalogue} +
                                                 QStringList(3, shown::kSelectFailed));
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - bad.mdb"));
        QVERIFY(!run.doc()->GetDatabase()->IsOpen());
        run.trigger("viewAll");
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kSelectFailed});
    }
};

QTEST_MAIN(TestBookView)
#include "tst_bookview.moc"
