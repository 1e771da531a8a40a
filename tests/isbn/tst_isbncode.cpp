#include "isbn/IsbnCode.h"

#include <QTest>

Q_DECLARE_METATYPE(IsbnProblem)

class TestIsbnCode : public QObject {
    Q_OBJECT
private slots:
    void typedOrScannedIsbns_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<IsbnProblem>("problem");
        QTest::addColumn<QString>("isbn13");
        const auto ok = IsbnProblem::None;
        const auto wrong = IsbnProblem::WrongCheckDigit;
        const auto none = IsbnProblem::NotAnIsbn;
        QTest::newRow("ISBN-13") << "9780451526533" << ok << "9780451526533";
        QTest::newRow("ISBN-13, 979") << "9791032305690" << ok << "9791032305690";
        QTest::newRow("ISBN-13, hyphens") << "978-0-451-52653-3" << ok << "9780451526533";
        QTest::newRow("ISBN-13, spaces") << " 978 0451 526533 " << ok << "9780451526533";
        QTest::newRow("scanner's line end") << "9780451526533\n" << ok << "9780451526533";
        QTest::newRow("scanner's CR LF") << "9780451526533\r\n" << ok << "9780451526533";
        QTest::newRow("ISBN-10") << "0451526538" << ok << "9780451526533";
        QTest::newRow("ISBN-10, hyphens") << "0-451-52653-8" << ok << "9780451526533";
        QTest::newRow("ISBN-10, X") << "080442957X" << ok << "9780804429573";
        QTest::newRow("ISBN-10, small x") << "0-8044-2957-x" << ok << "9780804429573";
        QTest::newRow("ISBN-10, another") << "0306406152" << ok << "9780306406157";
        QTest::newRow("ISBN-13, wrong check") << "9780451526534" << wrong << "";
        QTest::newRow("979, wrong check") << "9791032305691" << wrong << "";
        QTest::newRow("ISBN-10, wrong check") << "0451526539" << wrong << "";
        QTest::newRow("ISBN-10, X where a digit belongs") << "045152653X" << wrong << "";
        QTest::newRow("X not last") << "04515X6538" << none << "";
        QTest::newRow("13 digits, not 978/979") << "9770451526533" << none << "";
        QTest::newRow("X in an ISBN-13") << "978045152653X" << none << "";
        QTest::newRow("nine digits") << "451526538" << none << "";
        QTest::newRow("twelve digits") << "978045152653" << none << "";
        QTest::newRow("a letter") << "97804515A6533" << none << "";
        QTest::newRow("empty") << "" << none << "";
    }
    void typedOrScannedIsbns() {
        QFETCH(QString, typed);
        QFETCH(IsbnProblem, problem);
        QFETCH(QString, isbn13);
        const IsbnCheck check = CheckIsbn(typed.toStdString());
        QCOMPARE(check.problem, problem);
        QCOMPARE(QString::fromStdString(check.isbn13), isbn13);
    }
};

QTEST_APPLESS_MAIN(TestIsbnCode)
#include "tst_isbncode.moc"
