#include "store/CBookDatabase.h"
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
        // The list, a header click, a result number and a grouped result.
        for (const char* statement :
             {"SELECT * FROM books ORDER BY titlu", "SELECT * FROM books ORDER BY Autor",
              "SELECT titlu FROM books WHERE citita = 0 ORDER BY 1",
              "SELECT titlu, count(id) as idn FROM books GROUP by titlu"}) {
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
};

QTEST_APPLESS_MAIN(TestTextOrder)
#include "tst_textorder.moc"
