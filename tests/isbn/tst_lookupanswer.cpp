#include "isbn/ui/LookupAnswer.h"

#include <QTest>

namespace {
const std::string kIsbn = "9780451526533";

// An answer in the service's documented shape.
QByteArray Answer(const QByteArray& fields) {
    return "{\"ISBN:9780451526533\": {\"url\": \"https://openlibrary.org/books/OL1017798M\", " +
           fields + "}}";
}

// "kind|title|authors|publisher|pages|year|cover" as read from `json`; "?" for a number not
// given.
QString Read(const QByteArray& json) {
    const LookupAnswer a = ReadLookupAnswer(json, kIsbn);
    const auto number = [](std::int32_t n) {
        return n == kUnknownNumber ? QStringLiteral("?") : QString::number(n);
    };
    const char* kinds[] = {"found", "not found", "malformed"};
    return QStringList{kinds[int(a.kind)],
                       QString::fromStdString(a.book.titlu),
                       QString::fromStdString(a.book.autor),
                       QString::fromStdString(a.book.editura),
                       number(a.book.pagini),
                       number(a.book.publicare),
                       a.coverUrl}
        .join('|');
}
} // namespace

class TestLookupAnswer : public QObject {
    Q_OBJECT
private slots:
    // What is not named is not in the answer: no text, an unknown number.
    void answersAreRead() {
        QCOMPARE(
            Read(Answer("\"title\": \"The adventures of Tom Sawyer\", \"authors\": [{\"url\": "
                        "\"u\", \"name\": \"Mark Twain\"}], \"number_of_pages\": 216, "
                        "\"publishers\": [{\"name\": \"Signet Classic\"}, {\"name\": \"Other\"}], "
                        "\"publish_date\": \"1997\", \"cover\": {\"small\": \"s\", \"medium\": "
                        "\"https://covers.openlibrary.org/b/id/295577-M.jpg\"}")),
            QStringLiteral("found|The adventures of Tom Sawyer|Mark Twain|Signet Classic|216|1997|"
                           "https://covers.openlibrary.org/b/id/295577-M.jpg"));
        // A subtitle, two authors, a dated month.
        QCOMPARE(Read(Answer("\"title\": \"Dune\", \"subtitle\": \"roman\", \"authors\": "
                             "[{\"name\": \"Frank Herbert\"}, {\"name\": \"Ștefan Ionescu\"}], "
                             "\"publish_date\": \"May 16, 2005\"")),
                 QStringLiteral("found|Dune: roman|Frank Herbert, Ștefan Ionescu||?|2005|"));
        // Pages as free text, or more than the catalogue can hold.
        QCOMPARE(Read(Answer("\"title\": \"Ion\", \"pagination\": \"ix, 179 p. :\", "
                             "\"publish_date\": \"June 2005\"")),
                 QStringLiteral("found|Ion|||?|2005|"));
        QCOMPARE(Read(Answer("\"title\": \"Atlas\", \"number_of_pages\": 40000")),
                 QStringLiteral("found|Atlas|||?|?|"));
        // Nothing, or another ISBN's answer; an HTML page, an answer cut short, an array.
        QStringList read;
        for (const QByteArray& json :
             {QByteArray("{}"), QByteArray("{\"ISBN:9791032305690\": {\"title\": \"x\"}}"),
              QByteArray("<html><body>busy</body></html>"), Answer("\"title\": \"Ion\"").left(30),
              QByteArray("[]")}) {
            read << Read(json);
        }
        QCOMPARE(read, (QStringList{"not found||||?|?|", "not found||||?|?|", "malformed||||?|?|",
                                    "malformed||||?|?|", "malformed||||?|?|"}));
    }
};

QTEST_APPLESS_MAIN(TestLookupAnswer)
#include "tst_lookupanswer.moc"
