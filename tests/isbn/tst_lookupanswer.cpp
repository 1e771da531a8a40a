#include "isbn/ui/LookupAnswer.h"

#include <QTest>

Q_DECLARE_METATYPE(LookupAnswer::Kind)

namespace {
const std::string kIsbn = "9780451526533";

// An answer in the service's documented shape.
QByteArray Answer(const QByteArray& fields) {
    return "{\"ISBN:9780451526533\": {\"url\": \"https://openlibrary.org/books/OL1017798M\", " +
           fields + "}}";
}
} // namespace

class TestLookupAnswer : public QObject {
    Q_OBJECT
private slots:
    void answersAreRead_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<LookupAnswer::Kind>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("authors");
        QTest::addColumn<QString>("publisher");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("cover");
        using K = LookupAnswer::Kind;
        // What is not named is not in the answer: no text, an unknown number.
        auto row = [](const char* name, const QByteArray& json, K kind, const QString& title = {},
                      const QString& authors = {}, const QString& publisher = {},
                      int pages = kUnknownNumber, int year = kUnknownNumber,
                      const QString& cover = {}) {
            QTest::newRow(name) << json << kind << title << authors << publisher << pages << year
                                << cover;
        };
        row("every field",
            Answer("\"title\": \"The adventures of Tom Sawyer\", \"authors\": [{\"url\": "
                   "\"u\", \"name\": \"Mark Twain\"}], \"number_of_pages\": 216, "
                   "\"publishers\": [{\"name\": \"Signet Classic\"}, {\"name\": \"Other\"}], "
                   "\"publish_date\": \"1997\", \"cover\": {\"small\": \"s\", \"medium\": "
                   "\"https://covers.openlibrary.org/b/id/295577-M.jpg\"}"),
            K::Found, "The adventures of Tom Sawyer", "Mark Twain", "Signet Classic", 216, 1997,
            "https://covers.openlibrary.org/b/id/295577-M.jpg");
        row("subtitle, two authors, a dated month",
            Answer("\"title\": \"Dune\", \"subtitle\": \"roman\", \"authors\": [{\"name\": "
                   "\"Frank Herbert\"}, {\"name\": \"Ștefan Ionescu\"}], \"publish_date\": "
                   "\"May 16, 2005\""),
            K::Found, "Dune: roman", "Frank Herbert, Ștefan Ionescu", "", kUnknownNumber, 2005);
        row("only a title; pages as free text",
            Answer("\"title\": \"Ion\", \"pagination\": \"ix, 179 p. :\", \"publish_date\": "
                   "\"June 2005\""),
            K::Found, "Ion", "", "", kUnknownNumber, 2005);
        row("pages the catalogue cannot hold",
            Answer("\"title\": \"Atlas\", \"number_of_pages\": 40000"), K::Found, "Atlas");
        row("not found", "{}", K::NotFound);
        row("another ISBN's answer", "{\"ISBN:9791032305690\": {\"title\": \"x\"}}", K::NotFound);
        row("an HTML page", "<html><body>busy</body></html>", K::Malformed);
        row("cut short", Answer("\"title\": \"Ion\"").left(30), K::Malformed);
        row("an array", "[]", K::Malformed);
    }
    void answersAreRead() {
        QFETCH(QByteArray, json);
        QFETCH(LookupAnswer::Kind, kind);
        const LookupAnswer answer = ReadLookupAnswer(json, kIsbn);
        QCOMPARE(answer.kind, kind);
        QTEST(QString::fromStdString(answer.book.titlu), "title");
        QTEST(QString::fromStdString(answer.book.autor), "authors");
        QTEST(QString::fromStdString(answer.book.editura), "publisher");
        QTEST(int(answer.book.pagini), "pages");
        QTEST(int(answer.book.publicare), "year");
        QTEST(answer.coverUrl, "cover");
    }
};

QTEST_APPLESS_MAIN(TestLookupAnswer)
#include "tst_lookupanswer.moc"
