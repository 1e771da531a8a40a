#include "store/BookFieldChecks.h"
#include "store/IntegerText.h"
#include "support/Messages.h"

#include <QTest>

namespace {
BookFieldValues Valid() {
    BookFieldValues v;
    v.titlu = "Dune";
    v.autor = "Herbert";
    v.editura = "Nemira";
    v.pagini = v.capitole = v.volume = v.publicareVolum = 1;
    return v;
}
QString Check(const BookFieldValues& v) {
    const char* m = FirstFailedFieldCheck(v);
    return m ? QString::fromUtf8(m) : QString();
}
} // namespace

class TestBookFieldChecks : public QObject {
    Q_OBJECT
private slots:
    void fieldChecksInTheirOrder() {
        QCOMPARE(Check(Valid()), QString());
        BookFieldValues v = Valid();
        v.titlu = " ";
        QCOMPARE(Check(v), QString()); // one space is a title
        v.publicareVolum = 0;
        v.volume = 0;
        v.capitole = 0;
        v.pagini = -3;
        v.editura.clear();
        v.autor.clear();
        QCOMPARE(Check(v), QStringLiteral("Trebuie specificat un autor!"));
        v.autor = "a";
        QCOMPARE(Check(v), QStringLiteral("Trebuie specificat o editura!"));
        v.editura = "e";
        QCOMPARE(Check(v), QStringLiteral("Numarul de pagini trebuie sa fie mai mare decat 0!"));
        v.pagini = 1;
        QCOMPARE(Check(v), QStringLiteral("Numarul de capitole trebuie sa fie mai mare decat 0!"));
        v.capitole = 1;
        QCOMPARE(Check(v), QStringLiteral("Numarul de volume trebuie sa fie mai mare decat 0!"));
        v.volume = 1;
        QCOMPARE(Check(v),
                 QStringLiteral("Anul publicarii volumului trebuie sa fie mai mare decat 0!"));
        v.titlu.clear();
        QCOMPARE(Check(v), QString(shown::kNoTitle));
    }

    void ratingAgainstRead() {
        const QString clash = shown::kRatingClash;
        QCOMPARE(QString::fromUtf8(CheckRatingAgainstRead("Nu", "Deosebita")), clash);
        QCOMPARE(QString::fromUtf8(CheckRatingAgainstRead("Da", "De citit")), clash);
        QVERIFY(!CheckRatingAgainstRead("Nu", "De citit"));
        QVERIFY(!CheckRatingAgainstRead("Da", "Slaba"));
    }

    void integerFields() {
        QCOMPARE(ParseIntegerField("0"), std::optional<int>(0));
        QCOMPARE(ParseIntegerField(" -500 "), std::optional<int>(-500));
        QCOMPARE(ParseIntegerField("+7"), std::optional<int>(7));
        QCOMPARE(ParseIntegerField("32768"), std::optional<int>(32768));
        QCOMPARE(ParseIntegerField("2147483647"), std::optional<int>(2147483647));
        for (const char* bad :
             {"", "  ", "99999999999", "12a", "a12", "1 2", "--1", "+-1", "1.5"}) {
            QVERIFY2(!ParseIntegerField(bad), bad);
        }
    }
};

QTEST_APPLESS_MAIN(TestBookFieldChecks)
#include "tst_bookfieldchecks.moc"
