#include "support/GuiDriver.h"

namespace {
QLineEdit* FilterBox(RunningApp& run) {
    return run.frame()->findChild<QLineEdit*>("quickFilter");
}
QString Count(RunningApp& run) {
    return run.frame()->findChild<QLabel*>("bookCount")->text();
}
} // namespace

class TestFilterBox : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void typingNarrowsTheListUntilAnotherCatalogueOpens() {
        LibraryApp run;
        QCOMPARE(Count(run), QStringLiteral("4 carti"));
        run.trigger("editFilter"); // Ctrl+F
        QLineEdit* box = FilterBox(run);
        QTest::keyClicks(box, "HERB");
        QCOMPARE(run.column(1), QStringList{"Dune"});
        QCOMPARE(Count(run), QStringLiteral("1 din 4 carti"));
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(box->text(), QString());
        QCOMPARE(run.column(1), (QStringList{"Abandonata", "Dune", "Ion", "Odiseea"}));
        QCOMPARE(Count(run), QStringLiteral("4 carti"));

        // The filter stays when the listing changes.
        QTest::keyClicks(box, "sf");
        run.view()->OnColumnClick(5); // Pagini
        QCOMPARE(run.column(1), (QStringList{"Odiseea", "Dune"}));
        run.trigger("viewRead");
        QCOMPARE(run.column(1), (QStringList{"Dune", "Odiseea"}));
        QCOMPARE(Count(run), QStringLiteral("2 din 2 carti"));
        WhenModal(Answer("Homer"));
        run.trigger("searchAuthor");
        QCOMPARE(run.column(1), QStringList{"Odiseea"});

        // Commands act on the row picked.
        QTest::keyClick(box, Qt::Key_Escape);
        run.trigger("viewAll");
        QTest::keyClicks(box, "odis");
        run.selectRow(0);
        WhenModal(Fill({{"pagini", "333"}}));
        run.trigger("recordsModify");
        QCOMPARE(run.rows(), QStringList{"0003|Odiseea|Homer|Univers|SF|333|1|1|-700|1970|Da|"
                                         "Foarte buna|Acasa"});
        // Changed under the filter, the book is matched by its new texts from then on.
        run.selectRow(0);
        WhenModal(Fill({{"autor", "Vergiliu"}}));
        run.trigger("recordsModify");
        for (const auto& [typed, titles] :
             {std::pair{"vergil", QStringList{"Odiseea"}}, std::pair{"homer", QStringList{}},
              std::pair{"odis", QStringList{"Odiseea"}}}) {
            FilterBox(run)->clear();
            QTest::keyClicks(FilterBox(run), typed);
            QCOMPARE(run.column(1), titles);
        }
        run.selectRow(0);
        run.trigger("recordsDelete");
        QVERIFY(run.rows().isEmpty());
        QCOMPARE(Count(run), QStringLiteral("0 din 3 carti"));

        // Words typed for one catalogue do not hide the books of the next one opened.
        Library other;
        run.prompts.files.push_back(other.path);
        run.trigger("fileOpen");
        QCOMPARE(FilterBox(run)->text(), QString());
        QCOMPARE(Count(run), QStringLiteral("4 carti"));
        QTest::keyClicks(FilterBox(run), "ion");
        run.frame()->OpenDocumentFile(run.Library::path); // the recent-file list, a file dropped
        QCOMPARE(FilterBox(run)->text(), QString());
        QCOMPARE(run.view()->Model()->rowCount(), 3);
    }

    // The count says books the Romanian way; a cleared list has nothing for a filter to hide.
    void theCountInTheStatusBar_data() {
        QTest::addColumn<int>("books");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("count");
        QTest::newRow("one") << 1 << QString() << "1 carte";
        QTest::newRow("nineteen") << 19 << QString() << "19 carti";
        QTest::newRow("twenty") << 20 << QString() << "20 de carti";
        QTest::newRow("filtered") << 52 << "carte 52"
                                  << "1 din 52 de carti";
    }

    void theCountInTheStatusBar() {
        QFETCH(int, books);
        QFETCH(QString, typed);
        QFETCH(QString, count);
        TestCatalogue c;
        c.db->InsertType("Roman");
        c.db->InsertState("Acasa");
        for (int i = 1; i <= books; ++i) {
            c.add(MakeBook("Carte " + std::to_string(i)));
        }
        c.db->Close();
        RunningApp run(QString::fromStdString(c.path("test.mdb")));
        QTest::keyClicks(FilterBox(run), typed);
        QCOMPARE(Count(run), count);
        run.trigger("viewClear");
        QCOMPARE(Count(run), QStringLiteral("0 carti"));
    }
};

QTEST_MAIN(TestFilterBox)
#include "tst_filterbox.moc"
