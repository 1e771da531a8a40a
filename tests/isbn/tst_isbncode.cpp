#include "isbn/IsbnCode.h"

#include <QTest>

namespace {
// The ISBN-13 taken from each typed text, or the problem found in it.
QStringList Checked(std::initializer_list<const char*> typed) {
    QStringList out;
    for (const char* text : typed) {
        const IsbnCheck check = CheckIsbn(text);
        const char* problem = check.problem == IsbnProblem::None              ? ""
                              : check.problem == IsbnProblem::WrongCheckDigit ? "wrong check digit"
                                                                              : "not an ISBN";
        out << QString::fromStdString(check.isbn13) + problem;
    }
    return out;
}
} // namespace

class TestIsbnCode : public QObject {
    Q_OBJECT
private slots:
    void typedOrScannedIsbns() {
        // ISBN-13 plain, with hyphens, spaces and a scanner's line ends; ISBN-10 plain and with
        // hyphens.
        QCOMPARE(Checked({"9780451526533", "978-0-451-52653-3", " 978 0451 526533 ",
                          "9780451526533\n", "9780451526533\r\n", "0451526538", "0-451-52653-8"}),
                 QStringList(7, "9780451526533"));
        // A 979 ISBN; X as the check digit, either case; another ISBN-10.
        QCOMPARE(Checked({"9791032305690", "080442957X", "0-8044-2957-x", "0306406152"}),
                 (QStringList{"9791032305690", "9780804429573", "9780804429573", "9780306406157"}));
        // A wrong check digit in an ISBN-13, a 979 one, an ISBN-10; X where a digit belongs.
        QCOMPARE(Checked({"9780451526534", "9791032305691", "0451526539", "045152653X"}),
                 QStringList(4, "wrong check digit"));
        // X not last; 13 digits not 978 or 979; X in an ISBN-13; nine or twelve digits; a letter;
        // nothing.
        QCOMPARE(Checked({"04515X6538", "9770451526533", "978045152653X", "451526538",
                          "978045152653", "97804515A6533", ""}),
                 QStringList(7, "not an ISBN"));
    }
};

QTEST_APPLESS_MAIN(TestIsbnCode)
#include "tst_isbncode.moc"
