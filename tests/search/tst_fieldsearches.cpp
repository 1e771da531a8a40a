#include "support/GuiDriver.h"

class TestFieldSearches : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void textGoesInAsTyped_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("statement");  // empty: not compared
        QTest::addColumn<QStringList>("titles"); // empty: none found, the list kept
        auto row = [](const char* name, const char* command, const QString& text,
                      const char* statement, const QStringList& titles) {
            QTest::newRow(name) << command << text << statement << titles;
        };
        row("whole author", "searchAuthor", "Herbert", "autor = 'Herbert'", {"Aaa", "Dune", "Zzz"});
        row("publisher", "searchPublisher", "Minerva", "editura = 'Minerva'", {"Ion"});
        row("apostrophe", "searchAuthor", "O'Brien", "autor = 'O''Brien'", {" Dune "});
        row("long title", "searchTitle", "Harry Potter and the Philosopher's Stone", "",
            {"Harry Potter and the Philosopher's Stone"});
        row("blanks around", "searchTitle", " Dune ", "", {" Dune "});
        row("part of a title", "searchTitle", "Du", "titlu = 'Du'", {});
        row("blanks after", "searchTitle", "Dune  ", "titlu = 'Dune  '", {});
        row("statement", "searchTitle", "x'); DROP TABLE books; --", "", {});
        row("percent", "searchTitle", "100%", "titlu = '100%'", {});
        row("quotes and backslash", "searchTitle", "\\'\"", "", {});
        row("100000 characters", "searchTitle", QString(100000, 'q'), "", {});
    }

    void textGoesInAsTyped() {
        QFETCH(QString, command);
        QFETCH(QString, text);
        QFETCH(QString, statement);
        QFETCH(QStringList, titles);
        LibraryApp run({MakeBook("Zzz", "Herbert", "Nemira"), MakeBook("Aaa", "Herbert", "Other"),
                        MakeBook("Harry Potter and the Philosopher's Stone", "J. K. Rowling"),
                        MakeBook(" Dune ", "O'Brien")});
        QString label;
        WhenModal([&](QWidget* dlg) {
            label = dlg->findChild<QLabel*>("label")->text();
            Answer(text)(dlg);
        });
        run.trigger(command.toUtf8().constData());
        QCOMPARE(label, QStringLiteral("Search for"));
        if (!statement.isEmpty()) {
            QCOMPARE(QString::fromStdString(run.view()->CurrentQuery()),
                     "SELECT * FROM books WHERE " + statement);
        }
        if (titles.isEmpty()) {
            QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kNoSuchTitle});
            QCOMPARE(run.view()->Model()->rowCount(), 8); // rows kept
            run.view()->OnColumnClick(1);                 // finds nothing, changes nothing
            QCOMPARE(run.view()->Model()->rowCount(), 8);
            QCOMPARE(RawCatalogue(run.file()).one("SELECT count(*) FROM books"), std::string("8"));
        } else {
            QCOMPARE(run.column(1), titles);
            QVERIFY(run.prompts.messages.isEmpty());
        }
    }

    void sortingKeepsTheSearch() {
        LibraryApp run({MakeBook("Zzz", "Herbert", "Nemira"), MakeBook("Aaa", "Herbert", "Other")});
        WhenModal(Answer("Herbert"));
        run.trigger("searchAuthor");
        run.view()->OnColumnClick(3);
        QCOMPARE(run.column(3), (QStringList{"Nemira", "Nemira", "Other"}));
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE autor = 'Herbert'"));
    }

    void anEmptyTextIsRefusedAndCancelChangesNothing() {
        LibraryApp run;
        bool stillOpen = false;
        WhenModal([&](QWidget* dlg) {
            Press(dlg, "ok");
            stillOpen = dlg->isVisible();
            Press(dlg, "cancel");
        });
        run.trigger("searchTitle");
        QVERIFY(stillOpen);
        QCOMPARE(run.prompts.takeMessages(), QStringList{"Trebuie selectat un identificator!"});
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
        QCOMPARE(run.view()->Model()->rowCount(), 4);
    }

    void choicesUseTheChosenIdentifier_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QStringList>("titles"); // empty: none found
        auto row = [](const char* name, const char* command, const QStringList& offered, int chosen,
                      const char* condition, const QStringList& titles) {
            QTest::newRow(name) << command << offered << chosen << condition << titles;
        };
        const QStringList ratings{"Deosebita", "Excelenta", "Foarte buna", "Buna",
                                  "Mediocra",  "Slaba",     "De citit"};
        row("type Clasic, identifier 2", "searchType", {"Clasic", "SF"}, 0, "tip = 1", {"Ion"});
        row("state", "searchState", {"Acasa"}, 0, "stare = 0", {"Dune", "Ion", "Odiseea"});
        row("rating De citit", "searchRating", ratings, 6, "calificativ = 6",
            {"Abandonata", "Ion"});
        row("rating Buna", "searchRating", ratings, 3, "calificativ = 3", {});
    }

    void choicesUseTheChosenIdentifier() {
        QFETCH(QString, command);
        QFETCH(QStringList, offered);
        QFETCH(int, chosen);
        QFETCH(QString, condition);
        QFETCH(QStringList, titles);
        LibraryApp run;
        QStringList seen;
        WhenModal([&](QWidget* dlg) {
            seen << dlg->windowTitle();
            auto* combo = dlg->findChild<QComboBox*>("selection");
            for (int i = 0; i < combo->count(); ++i) {
                seen << combo->itemText(i);
            }
            Choose(dlg, "selection", chosen);
            Press(dlg, "ok");
        });
        run.trigger(command.toUtf8().constData());
        QCOMPARE(seen, QStringList{"Dialog"} + offered);
        QCOMPARE(QString::fromStdString(run.view()->CurrentQuery()),
                 "SELECT * FROM books WHERE " + condition);
        if (titles.isEmpty()) {
            QCOMPARE(run.prompts.takeMessages(),
                     QStringList{"Nu exista nici o inregistrare cu acest calificativ!"});
        } else {
            QCOMPARE(run.column(1), titles);
        }
    }

    void withoutEntriesNothingIsSearched() {
        TestCatalogue empty;
        empty.db->Close();
        RunningApp run(QString::fromStdString(empty.path("test.mdb")));
        WhenModal([](QWidget* dlg) { Press(dlg, "ok"); });
        run.trigger("searchType");
        QVERIFY(run.prompts.messages.isEmpty());
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
    }
};

QTEST_MAIN(TestFieldSearches)
#include "tst_fieldsearches.moc"
