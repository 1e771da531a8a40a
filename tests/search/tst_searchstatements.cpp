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
        // Every field set, in the order the struct declares them.
        const CompositeCriteria all{"", "a", "e", 4, 250, 2, 3, -5, 1999, 0, 0, 0};
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
