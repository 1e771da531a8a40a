#include "store/CountedNoun.h"

#include <QTest>

class TestCountedNoun : public QObject {
    Q_OBJECT
private slots:
    void romanianCounts_data() {
        QTest::addColumn<long long>("n");
        QTest::addColumn<QString>("text");
        const std::pair<long long, const char*> rows[] = {
            {0, "0 carti"},        {1, "1 carte"},       {2, "2 carti"},
            {19, "19 carti"},      {20, "20 de carti"},  {52, "52 de carti"},
            {100, "100 de carti"}, {101, "101 carti"},   {119, "119 carti"},
            {120, "120 de carti"}, {1001, "1001 carti"}, {1000000, "1000000 de carti"},
        };
        for (const auto& [n, text] : rows) {
            QTest::newRow(text) << n << QString::fromUtf8(text);
        }
    }

    void romanianCounts() {
        QFETCH(long long, n);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(CountedNoun(n, "carte", "carti")), text);
    }
};

QTEST_APPLESS_MAIN(TestCountedNoun)
#include "tst_countednoun.moc"
