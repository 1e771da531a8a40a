#include "bulk/BulkEditFields.h"
#include "bulk/ui/CBulkCommands.h"
#include "loans/CLoanRegister.h"
#include "support/GuiDriver.h"
#include "view/ui/CRecordCommands.h"

#include <QItemSelectionModel>
#include <QListWidget>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableWidget>
#include <QUndoStack>

// The commands for many books, as a person uses them: select rows, open the command, answer.
namespace {
const QDate kToday(2026, 12, 7);

struct BulkApp : LibraryApp {
    explicit BulkApp(std::initializer_list<BookRecord> extra = {}) : LibraryApp(extra) {
        frame()->CommandTarget<CBulkCommands>()->SetClock([] { return kToday; });
    }
    // Selects these rows as Ctrl+clicks would.
    void select(std::initializer_list<int> rows) {
        view()->clearSelection();
        for (const int row : rows) {
            view()->selectionModel()->select(view()->model()->index(row, 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows);
        }
    }
    QString selectedText() const {
        auto* label = frame()->findChild<QLabel*>("selectedCount");
        return label->isVisibleTo(frame()) ? label->text() : QString();
    }
    QUndoStack* history() { return frame()->CommandTarget<CRecordCommands>()->History(); }
    std::vector<std::string> raw(const char* sql) { return RawCatalogue(file()).rows(sql); }
};

} // namespace

class TestBulkCommands : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    // The commands follow the selection; the status bar counts it.
    void theCommandsFollowTheSelection() {
        BulkApp run;
        const char* many[] = {"recordsModifySelection", "recordsDeleteSelection",
                              "recordsLendSelection"};
        run.selectRow(1);
        for (const char* name : many) {
            QVERIFY2(!run.action(name)->isEnabled(), name);
        }
        QCOMPARE(run.selectedText(), QString());
        QVERIFY(run.action("recordsDoubles")->isEnabled());
        run.select({0, 1, 3});
        for (const char* name : many) {
            QVERIFY2(run.action(name)->isEnabled(), name);
        }
        QCOMPARE(run.selectedText(), QStringLiteral("3 selectate"));
        run.trigger("recordsSelectAll");
        QCOMPARE(run.selectedText(), QStringLiteral("4 selectate"));
        run.trigger("viewClear");
        QCOMPARE(run.selectedText(), QString());
        QVERIFY(!run.action("recordsDeleteSelection")->isEnabled());
    }

    // One dialog moves many books to a new shelf and gives them a publisher; only the fields
    // checked change, the rows change where they stand, and one Undo takes all of it back.
    void aBulkMoveIsOneDialogAndOneStep() {
        BulkApp run;
        const QStringList before = run.rows();
        const auto stored = run.raw("SELECT * FROM books ORDER BY id");
        run.select({1, 2, 3}); // Dune, Ion, Odiseea
        QStringList told;
        WhenModal([&](QWidget* dlg) {
            Tick(dlg, "schimba_titlu"); // checked and left empty: refused
            Press(dlg, "ok");
            Tick(dlg, "schimba_titlu");
            Tick(dlg, "schimba_citita"); // nothing chosen: refused
            Press(dlg, "ok");
            Choose(dlg, "citita", 1); // without the rating: refused
            Press(dlg, "ok");
            Tick(dlg, "schimba_citita");
            TypeInto(dlg, "editura", "Polirom");
            QTest::keyClicks(dlg->findChild<QComboBox*>("locatie")->lineEdit(), "Raft nou");
            told << QString::number(dlg->findChild<QCheckBox*>("schimba_editura")->isChecked())
                 << QString::number(dlg->findChild<QCheckBox*>("schimba_locatie")->isChecked())
                 << QString::number(dlg->findChild<QCheckBox*>("schimba_autor")->isChecked());
            Press(dlg, "ok");
        });
        run.trigger("recordsModifySelection");
        QCOMPARE(told, (QStringList{"1", "1", "0"}));
        QCOMPARE(run.prompts.takeMessages(),
                 (QStringList{"Trebuie specificat un titlu!", msg::kChooseAValue,
                              msg::kReadAndRatingTogether}));
        QCOMPARE(run.column(3), (QStringList{"Nicio", "Polirom", "Polirom", "Polirom"}));
        QCOMPARE(run.column(1), (QStringList{"Abandonata", "Dune", "Ion", "Odiseea"}));
        QCOMPARE(run.view()->selectionModel()->selectedRows().size(), 3);
        QCOMPARE(run.raw("SELECT id, locatie FROM book_details ORDER BY id"),
                 (std::vector<std::string>{"1|Raft nou", "2|Raft nou", "3|Raft nou"}));
        QCOMPARE(run.history()->undoText(), QStringLiteral("Anuleaza modificarea a 3 carti"));
        run.trigger("editUndo");
        QCOMPARE(run.rows(), before);
        QCOMPARE(run.raw("SELECT * FROM books ORDER BY id"), stored);
        QCOMPARE(run.raw("SELECT count(*) FROM book_details"), std::vector<std::string>{"0"});

        // One ISBN for books of different titles is asked about; No changes nothing.
        run.select({1, 2});
        run.prompts.answers = {false};
        WhenModal([](QWidget* dlg) {
            TypeInto(dlg, "isbn", "9780141439518");
            Press(dlg, "ok");
        });
        run.trigger("recordsModifySelection");
        QCOMPARE(run.prompts.questions,
                 QStringList{"(nu) Acelasi ISBN se da la 2 carti cu 2 titluri diferite, desi un "
                             "ISBN numeste o singura editie. Continuati?"});
        QCOMPARE(run.raw("SELECT count(*) FROM book_details"), std::vector<std::string>{"0"});
    }

    // Deleting a selection asks once, names the books lent, closes their loans with them, and
    // one Undo brings the books and the open loan back.
    void aBulkDeleteAsksOnceAndUndoes() {
        BulkApp run;
        const QStringList before = run.rows();
        QVERIFY(CLoanRegister(*run.doc()->GetDatabase(), nullptr).Lend(1, "Ana", "2026-11-01", ""));
        run.select({1, 2}); // Dune (lent), Ion
        run.prompts.answers = {false, true};
        run.trigger("recordsDeleteSelection"); // No: nothing goes
        QCOMPARE(run.rows(), before);
        run.trigger("recordsDeleteSelection");
        const QString asked = "(nu) Stergeti cele 2 carti selectate?\n\"Dune\" este imprumutata "
                              "lui Ana; imprumutul se inchide azi, odata cu stergerea.";
        QCOMPARE(run.prompts.questions, (QStringList{asked, asked}));
        QCOMPARE(run.column(1), (QStringList{"Abandonata", "Odiseea"}));
        QCOMPARE(run.raw("SELECT book, returned FROM loans"),
                 std::vector<std::string>{"1|2026-12-07"});
        QCOMPARE(run.frame()->findChild<QLabel*>("loanCount")->text(),
                 QStringLiteral("0 carti imprumutate, 0 intarziate"));
        run.trigger("editUndo");
        QCOMPARE(run.rows(), before);
        QCOMPARE(run.raw("SELECT book, quote(returned) FROM loans"),
                 std::vector<std::string>{"1|NULL"});
    }

    // Lending a selection lends the books in, to one borrower, and names those out already.
    void aBulkLendSkipsTheBooksOut() {
        BulkApp run;
        QVERIFY(CLoanRegister(*run.doc()->GetDatabase(), nullptr).Lend(1, "Ana", "2026-11-01", ""));
        run.select({1, 2, 3});
        QString title;
        WhenModal([&](QWidget* dlg) {
            title = dlg->findChild<QLabel*>("title")->text();
            QTest::keyClicks(dlg->findChild<QComboBox*>("borrower")->lineEdit(), "Dan");
            Press(dlg, "ok");
        });
        run.trigger("recordsLendSelection");
        QCOMPARE(
            run.prompts.takeMessages(),
            QStringList{"Imprumutate: 2 carti.\nImprumutate deja, lasate asa:\nDune (la Ana)"});
        QCOMPARE(run.raw("SELECT book, borrower FROM loans ORDER BY id"),
                 (std::vector<std::string>{"1|Ana", "2|Dan", "3|Dan"}));
    }

    // The doubles window: a group marked as copies is not offered again; a merge leaves one
    // book, which Undo takes back.
    void theDoublesWindowMergesAndKeepsCopiesApart() {
        BulkApp run({MakeBook("ION", "Rebreanu"), MakeBook("Dune", "Herbert")});
        const QStringList before = run.rows();
        QStringList groups;
        QStringList sideBySide;
        WhenModal([&](QWidget* dlg) {
            auto* list = dlg->findChild<QListWidget*>("groups");
            for (int i = 0; i < list->count(); ++i) {
                groups << list->item(i)->text();
            }
            auto* books = dlg->findChild<QTableWidget*>("books");
            sideBySide << books->horizontalHeaderItem(0)->text()
                       << books->horizontalHeaderItem(1)->text()
                       << books->verticalHeaderItem(1)->text() << books->item(1, 0)->text();
            Press(dlg, "copies"); // the two Dune are two real copies
            Choose(dlg, "keep", 1);
            Press(dlg, "merge"); // the Ion entered twice become one, the second kept
            groups << QString::number(list->count());
            dlg->close();
        });
        run.trigger("recordsDoubles");
        QCOMPARE(groups, (QStringList{"Dune - Herbert (2 carti, acelasi titlu si autor)",
                                      "Ion - Rebreanu (2 carti, acelasi titlu si autor)", "0"}));
        QCOMPARE(sideBySide, (QStringList{"0001", "0006", "Titlu", "Dune"}));
        QCOMPARE(run.column(1), (QStringList{"Abandonata", "Dune", "Dune", "ION", "Odiseea"}));
        QCOMPARE(run.history()->undoText(), QStringLiteral("Anuleaza unirea a 2 carti"));
        run.trigger("recordsDoubles");
        QCOMPARE(run.prompts.takeMessages(), QStringList{"Nu s-au gasit carti duble."});
        run.trigger("editUndo");
        QCOMPARE(run.rows(), before);
        WhenModal([&](QWidget* dlg) {
            groups = QStringList{dlg->findChild<QListWidget*>("groups")->item(0)->text()};
            dlg->close();
        });
        run.trigger("recordsDoubles");
        QCOMPARE(groups, QStringList{"Ion - Rebreanu (2 carti, acelasi titlu si autor)"});
    }

    // A list imported twice: "Uneste toate" asks, merges every twin at once, leaves a group
    // marked as copies and a group of two books out alone, and one Undo brings every book back.
    // A copy that joins the marked ones later is merged; the marked ones stay.
    void mergingEveryGroupIsOneStep() {
        BulkApp run({MakeBook("Dune", "Herbert"), MakeBook("ION", "Rebreanu"),
                     MakeBook("Odiseea", "Homer"), MakeBook("Abandonata", "Nimeni")});
        CLoanRegister loans(*run.doc()->GetDatabase(), nullptr);
        QVERIFY(loans.Lend(4, "Ana", "2026-11-01", ""));
        QVERIFY(loans.Lend(8, "Dan", "2026-11-02", ""));
        const QStringList before = run.rows();
        const auto stored = run.raw("SELECT * FROM books ORDER BY id");
        QStringList left;
        run.prompts.answers = {false, true};
        WhenModal([&](QWidget* dlg) {
            auto* list = dlg->findChild<QListWidget*>("groups");
            list->setCurrentRow(0); // Dune: two real copies
            Press(dlg, "copies");
            Press(dlg, "mergeAll"); // No: nothing merged
            left << QString::number(list->count());
            Press(dlg, "mergeAll");
            for (int i = 0; i < list->count(); ++i) {
                left << list->item(i)->text();
            }
            dlg->close();
        });
        run.trigger("recordsDoubles");
        QCOMPARE(left, (QStringList{"3", "Abandonata - Nimeni (2 carti, acelasi titlu si autor)"}));
        QCOMPARE(run.prompts.questions.size(), 2);
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Sterse prin unire: 2 carti. Au ramas neunite (doua carti din grup "
                             "sunt imprumutate acum, una a fost stearsa intre timp, sau toate sunt "
                             "copii marcate):\nAbandonata - Nimeni (2 carti, acelasi titlu si "
                             "autor)"});
        QCOMPARE(run.column(1),
                 (QStringList{"Abandonata", "Abandonata", "Dune", "Dune", "Ion", "Odiseea"}));
        QCOMPARE(run.history()->undoText(), QStringLiteral("Anuleaza unirea a 4 carti"));
        run.trigger("editUndo");
        QCOMPARE(run.rows(), before);
        QCOMPARE(run.raw("SELECT * FROM books ORDER BY id"), stored);

        // A third Dune comes: the group is offered again, the two marked copies named.
        QVERIFY(run.doc()->GetDatabase()->InsertBook("DUNE", "Herbert", "Nemira", 0, 1, 1, 1, 1, 1,
                                                     0, 0, 0));
        QStringList seen;
        WhenModal([&](QWidget* dlg) {
            auto* list = dlg->findChild<QListWidget*>("groups");
            seen << list->item(0)->text();
            auto* books = dlg->findChild<QTableWidget*>("books");
            for (int b = 0; b < books->columnCount(); ++b) {
                seen << books->horizontalHeaderItem(b)->text();
            }
            Press(dlg, "merge"); // keeps 0001: the new copy goes, the marked 0005 stays
            dlg->close();
        });
        run.trigger("viewAll");
        run.trigger("recordsDoubles");
        QCOMPARE(seen, (QStringList{"Dune - Herbert (3 carti, acelasi titlu si autor), cu copii "
                                    "marcate",
                                    "0001 (copie)", "0005 (copie)", "0009"}));
        QCOMPARE(run.raw("SELECT id FROM books WHERE titlu LIKE 'dune'"),
                 (std::vector<std::string>{"1", "5"}));
    }
};

QTEST_MAIN(TestBulkCommands)
#include "tst_bulkcommands.moc"
