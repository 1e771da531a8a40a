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
        // Sorted by publisher, then by title.
        row("whole author", "searchAuthor", "Herbert", "autor = 'Herbert'", {"Dune", "Zzz", "Aaa"});
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
        WhenModal([&](QWidget* dlg) {
            QCOMPARE(dlg->findChild<QLabel*>("label")->text(), QStringLiteral("Search for"));
            Answer(text)(dlg);
        });
        run.trigger(command.toUtf8().constData());
        run.view()->OnColumnClick(3); // sorting keeps the search, or finds nothing again
        if (!statement.isEmpty()) {
            QCOMPARE(QString::fromStdString(run.view()->CurrentQuery()),
                     "SELECT * FROM books WHERE " + statement);
        }
        if (titles.isEmpty()) {
            QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kNoSuchTitle});
            QCOMPARE(run.view()->Model()->rowCount(), 8); // rows kept
            QCOMPARE(RawCatalogue(run.file()).one("SELECT count(*) FROM books"), std::string("8"));
        } else {
            QCOMPARE(run.column(1), titles);
            QVERIFY(run.prompts.messages.isEmpty());
        }
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
        WhenModal([&](QWidget* dlg) {
            QStringList seen{dlg->windowTitle()};
            auto* combo = dlg->findChild<QComboBox*>("selection");
            for (int i = 0; i < combo->count(); ++i) {
                seen << combo->itemText(i);
            }
            QCOMPARE(seen, QStringList{"Dialog"} + offered);
            Choose(dlg, "selection", chosen);
            Press(dlg, "ok");
        });
        run.trigger(command.toUtf8().constData());
        QCOMPARE(QString::fromStdString(run.view()->CurrentQuery()),
                 "SELECT * FROM books WHERE " + condition);
        if (titles.isEmpty()) {
            QCOMPARE(run.prompts.takeMessages(),
                     QStringList{"Nu exista nici o inregistrare cu acest calificativ!"});
        } else {
            QCOMPARE(run.column(1), titles);
        }
    }
};

QTEST_MAIN(TestFieldSearches)
#include "tst_fieldsearches.moc"
