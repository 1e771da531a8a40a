#include "isbn/ui/LookupAnswer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {
const std::string kIsbn = "9780451526533";

// An answer in the service's documented shape.
QByteArray Answer(const QByteArray& fields) {
    return "{\"ISBN:9780451526533\": {\"url\": \"https://openlibrary.org/books/OL1017798M\", " +
           fields + "}}";
}

// "kind|title|authors|publisher|pages|first year/volume year|cover" as read from `json`; "?" for a
// number not given.
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
                       number(a.book.publicare) + "/" + number(a.book.publicare_volum),
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
            QStringLiteral(
                "found|The adventures of Tom Sawyer|Mark Twain|Signet Classic|216|?/1997|"
                "https://covers.openlibrary.org/b/id/295577-M.jpg"));
        // A subtitle, two authors, a dated month.
        QCOMPARE(Read(Answer("\"title\": \"Dune\", \"subtitle\": \"roman\", \"authors\": "
                             "[{\"name\": \"Frank Herbert\"}, {\"name\": \"Ștefan Ionescu\"}], "
                             "\"publish_date\": \"May 16, 2005\"")),
                 QStringLiteral("found|Dune: roman|Frank Herbert, Ștefan Ionescu||?|?/2005|"));
        // Pages as free text, or more than the catalogue can hold.
        QCOMPARE(Read(Answer("\"title\": \"Ion\", \"pagination\": \"ix, 179 p. :\", "
                             "\"publish_date\": \"June 2005\"")),
                 QStringLiteral("found|Ion|||?|?/2005|"));
        QCOMPARE(Read(Answer("\"title\": \"Atlas\", \"number_of_pages\": 40000")),
                 QStringLiteral("found|Atlas|||?|?/?|"));
        // Nothing, or another ISBN's answer; an HTML page, an answer cut short, an array.
        QStringList read;
        for (const QByteArray& json :
             {QByteArray("{}"), QByteArray("{\"ISBN:9791032305690\": {\"title\": \"x\"}}"),
              QByteArray("<html><body>busy</body></html>"), Answer("\"title\": \"Ion\"").left(30),
              QByteArray("[]")}) {
            read << Read(json);
        }
        // An answer about another ISBN says nothing of this one: it is no "not found" to keep.
        QCOMPARE(read,
                 (QStringList{"not found||||?|?/?|", "malformed||||?|?/?|", "malformed||||?|?/?|",
                              "malformed||||?|?/?|", "malformed||||?|?/?|"}));
    }

    // The work's first year comes from a search of its own; "?" where the answer cannot be read.
    void firstYearsAreRead() {
        QStringList years;
        for (const QByteArray& json :
             {QByteArray("{\"numFound\": 1, \"docs\": [{\"first_publish_year\": 1930}]}"),
              QByteArray("{\"numFound\": 0, \"docs\": []}"), QByteArray("{\"docs\": [{}]}"),
              QByteArray("{\"docs\": [{\"first_publish_year\": 40000}]}"),
              QByteArray("{\"docs\": [{\"first_publish_year\": \"1930\"}]}"), QByteArray("{}"),
              QByteArray("<html>busy</html>")}) {
            const auto year = ReadFirstPublishYear(json);
            years << (year ? QString::number(*year) : QStringLiteral("?"));
        }
        QCOMPARE(years, (QStringList{"1930", "0", "0", "0", "0", "?", "?"}));
    }

    // An answer's texts pass the checks a typed text passes: markup stays text, control
    // characters go, and what the catalogue cannot hold is cut at a word's end, and said.
    void hostileTextsAreMadeFit() {
        const auto json = [](const QString& title, const QString& author) {
            QJsonObject book{{"title", title},
                             {"authors", QJsonArray{QJsonObject{{"name", author}}}},
                             {"publishers", QJsonArray{QJsonObject{{"name", "Polirom"}}}}};
            return QJsonDocument(QJsonObject{{"ISBN:" + QString::fromStdString(kIsbn), book}})
                .toJson();
        };
        const QString markup = "<img src=\"file:///dev/zero\"><b>Titlu</b> &amp; zero";
        LookupAnswer a =
            ReadLookupAnswer(json(markup, QString("Ana") + QChar(0) + "\t Blandiana\n"), kIsbn);
        QCOMPARE(QString::fromStdString(a.book.titlu), markup);
        QCOMPARE(QString::fromStdString(a.book.autor), QString("Ana Blandiana"));
        QCOMPARE(a.shortened, QStringList());
        // 10,000 characters in words of five, and 256 "ș" with no blank at all.
        const QString words = QString("abcd ").repeated(2000);
        a = ReadLookupAnswer(json(words, QString("ș").repeated(256)), kIsbn);
        const QString title = QString::fromStdString(a.book.titlu);
        QCOMPARE(title, QString("abcd ").repeated(50).chopped(1) + "...");
        QCOMPARE(title.size(), 252);
        QCOMPARE(QString::fromStdString(a.book.autor), QString("ș").repeated(252) + "...");
        QCOMPARE(a.shortened, (QStringList{"Titlu", "Autor"}));
        // Exactly as many characters as a column holds is not cut.
        a = ReadLookupAnswer(json(QString("ă").repeated(255), "x"), kIsbn);
        QCOMPARE(QString::fromStdString(a.book.titlu), QString("ă").repeated(255));
        QCOMPARE(a.shortened, QStringList());
    }
};

QTEST_APPLESS_MAIN(TestLookupAnswer)
#include "tst_lookupanswer.moc"
