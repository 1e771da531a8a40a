#include "search/SearchStatements.h"

#include <QTest>

class TestSearchStatements : public QObject {
    Q_OBJECT
private slots:
    void compositeConditionsComeInTableOrder() {
        CompositeCriteria c;
        QCOMPARE(CompositeStatement(c), std::string());
        c.state = 3;
        c.read = 1;
        c.author = "O'Brien";
        QCOMPARE(CompositeStatement(c),
                 std::string(
                     "SELECT * FROM books WHERE autor = 'O''Brien' AND citita = -1 AND stare = 3"));
        CompositeCriteria all;
        all.title = "";
        all.author = "a";
        all.publisher = "e";
        all.type = 4;
        all.pages = 250;
        all.chapters = 2;
        all.volumes = 3;
        all.firstPublished = -5;
        all.volumePublished = 1999;
        all.read = 0;
        all.rating = 0;
        all.state = 0;
        QCOMPARE(
            CompositeStatement(all),
            std::string(
                "SELECT * FROM books WHERE titlu = '' AND autor = 'a' AND editura = 'e' AND "
                "tip = 4 AND pagini = 250 AND capitole = 2 AND volume = 3 AND publicare = -5 "
                "AND publicare_volum = 1999 AND citita = 0 AND calificativ = 0 AND stare = 0"));
    }
};

QTEST_APPLESS_MAIN(TestSearchStatements)
#include "tst_searchstatements.moc"
