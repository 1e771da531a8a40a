#include "store/CBookDatabase.h"
#include "store/TextOrder.h"
#include "support/CoreTestSupport.h"

// Texts sort the Romanian way in every statement the program runs, and compare exactly.
class TestTextOrder : public QObject {
    Q_OBJECT
private slots:
    void textOrderIsRomanianAndEqualityIsExact() {
        TestCatalogue c;
        for (const char* t : {"Zola", "Stefan", "abd", "Ștefan", "Abc", "abc"}) {
            QVERIFY(c.db->InsertBook(t, t, "e", 0, 1, 1, 1, 1, 1, 0, 0, 0));
        }
        const Texts natural{"abc", "Abc", "abd", "Stefan", "Ștefan", "Zola"};
        // The list, a header click, a result number and grouped results, filtered or not.
        for (const char* statement :
             {"SELECT * FROM books ORDER BY titlu", "SELECT * FROM books ORDER BY Autor",
              "SELECT titlu FROM books WHERE citita = 0 ORDER BY 1",
              "SELECT titlu, count(id) as idn FROM books GROUP by titlu",
              "SELECT titlu, count(id) as idn FROM books WHERE citita = 0 GROUP by titlu",
              "SELECT titlu, count(id) FROM books WHERE id > 0 GROUP BY titlu ORDER BY titlu"}) {
            QCOMPARE(ListedTitles(*c.db, statement), natural);
        }
        auto exact = c.db->OpenQuery("SELECT * FROM books WHERE titlu = 'abc'");
        QCOMPARE(exact->GetRecordCount(), 1L);
        auto distinct = c.db->SelectAuthors();
        QCOMPARE(distinct->GetRecordCount(), 6L);
        auto grouped = c.db->OpenQuery("SELECT autor, count(id) as idn FROM books GROUP by autor");
        QCOMPARE(grouped->GetRecordCount(), 6L);
        // Numbers still sort as numbers.
        QCOMPARE(ListedTitles(*c.db, "SELECT titlu FROM books ORDER BY id DESC").front(),
                 std::string("abc"));
    }

    // A listing of the books that ends in an order of their columns is split from it, so the
    // list can sort it; any other statement is left whole.
    void aListingsTrailingOrderIsSplitOff_data() {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("split");
        QTest::newRow("the list") << "SELECT * FROM books ORDER BY titlu"
                                  << "SELECT * FROM books|titlu";
        QTest::newRow("a header click")
            << "select * from Books where citita = -1 order by Pagini DESC, titlu;"
            << "select * from Books where citita = -1|Pagini desc,titlu";
        QTest::newRow("an order inside the condition")
            << "SELECT * FROM books WHERE id IN (SELECT id FROM books ORDER BY autor LIMIT 3) "
               "ORDER BY publicare_volum ASC"
            << "SELECT * FROM books WHERE id IN (SELECT id FROM books ORDER BY autor LIMIT 3)"
               "|publicare_volum";
        for (const char* whole :
             {"SELECT * FROM books", "SELECT * FROM books ORDER BY titlu LIMIT 10",
              "SELECT * FROM books ORDER BY lower(titlu)", "SELECT * FROM books ORDER BY 2",
              "SELECT * FROM books ORDER BY titlu COLLATE BINARY",
              "SELECT * FROM books ORDER BY titlu NULLS LAST", "SELECT * FROM books ORDER BY nota",
              "SELECT * FROM books ORDER BY books.titlu", "SELECT * FROM books ORDER BY titlu,",
              "SELECT titlu FROM books ORDER BY titlu", "SELECT * FROM books b ORDER BY titlu",
              "SELECT * FROM books, types ORDER BY titlu",
              "SELECT * FROM books UNION SELECT * FROM books ORDER BY titlu",
              "SELECT * FROM books GROUP BY autor ORDER BY autor"}) {
            QTest::newRow(whole) << whole << "";
        }
    }

    void aListingsTrailingOrderIsSplitOff() {
        QFETCH(QString, statement);
        QFETCH(QString, split);
        const auto order = SplitTrailingOrder(statement.toStdString(),
                                              {"titlu", "pagini", "autor", "publicare_volum"});
        QString got;
        if (order) {
            QStringList terms;
            for (const auto& term : order->terms) {
                terms << QString::fromStdString(term.column) + (term.descending ? " desc" : "");
            }
            got = QString::fromStdString(order->unordered) + "|" + terms.join(',');
        }
        QCOMPARE(got, split);
    }
};

QTEST_APPLESS_MAIN(TestTextOrder)
#include "tst_textorder.moc"
