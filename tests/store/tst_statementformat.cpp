#include "store/StatementFormat.h"

#include <QTest>

class TestStatementFormat : public QObject {
    Q_OBJECT
private slots:
    // Identifiers go into IN lists a few thousand at a time, every one of them once, in order.
    void identifiersGoIntoListsInParts() {
        QCOMPARE(IdList({}), std::string());
        QCOMPARE(IdList({7, -2, 2147483647}), std::string("7,-2,2147483647"));
        std::vector<std::int32_t> ids(9001);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            ids[i] = static_cast<std::int32_t>(i) + 1;
        }
        std::vector<std::string> parts;
        ForEachIdList(ids, [&parts](const std::string& list) { parts.push_back(list); });
        QCOMPARE(parts.size(), std::size_t{3});
        QCOMPARE(parts[0] + "," + parts[1] + "," + parts[2], IdList(ids));
        QVERIFY(parts[2].starts_with("8001,"));
        int calls = 0;
        ForEachIdList({}, [&calls](const std::string&) { ++calls; });
        QCOMPARE(calls, 0);
    }
    void insertsNumbersAndTexts() {
        QCOMPARE(FormatStatement("SELECT * FROM books WHERE tip = %d ORDER BY titlu", 4),
                 std::string("SELECT * FROM books WHERE tip = 4 ORDER BY titlu"));
        QCOMPARE(FormatStatement("DELETE * FROM books WHERE id = %ld", -12),
                 std::string("DELETE * FROM books WHERE id = -12"));
        QCOMPARE(FormatStatement("a = '%s'\tb = %d", "x y ", 7), std::string("a = 'x y '\tb = 7"));
    }

    void doublesEverySingleQuote() {
        QCOMPARE(FormatStatement("titlu = '%s'", "Harry Potter and the Philosopher's Stone"),
                 std::string("titlu = 'Harry Potter and the Philosopher''s Stone'"));
        QCOMPARE(FormatStatement("'%s'", "''"), std::string("''''''"));
        QCOMPARE(FormatStatement("'%s'", "x'); DROP TABLE books; --"),
                 std::string("'x''); DROP TABLE books; --'"));
    }

    void leavesPercentAndBackslashInTextAlone() {
        QCOMPARE(FormatStatement("'%s' %%", "100% \\n %d"), std::string("'100% \\n %d' %"));
    }

    void refusesMismatchedArguments() {
        QVERIFY_THROWS_EXCEPTION(std::logic_error, FormatStatement("%d %d", 1));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, FormatStatement("%d", 1, 2));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, FormatStatement("%d", "text"));
    }
};

QTEST_APPLESS_MAIN(TestStatementFormat)
#include "tst_statementformat.moc"
