#include "lookup/LookupSources.h"
#include "lookup/SruQuery.h"

#include <QTest>

namespace {

const char* const kDefaultsText =
    "on|openlibrary|Open Library|https://openlibrary.org\n"
    "off|googlebooks|Google Books|https://www.googleapis.com/books/v1\n"
    "on|sru-marc21|Library of Congress|http://lx2.loc.gov:210/LCDB\n"
    "on|sru-marc21|Deutsche Nationalbibliothek|https://services.dnb.de/sru/dnb\n"
    "on|sru-unimarc|Bibliotheque nationale de France|https://catalogue.bnf.fr/api/SRU\n";

QString Formatted(std::string_view settingText) {
    return QString::fromStdString(FormatSources(ParseSources(settingText)));
}

} // namespace

class TestLookupSources : public QObject {
    Q_OBJECT
private slots:
    void defaults() {
        QCOMPARE(QString::fromStdString(FormatSources(DefaultSources())), kDefaultsText);
        QCOMPARE(ParseSources(kDefaultsText), DefaultSources());
        // Missing, blank, or nothing that can be read.
        QCOMPARE(ParseSources(""), DefaultSources());
        QCOMPARE(ParseSources("\n \r\n"), DefaultSources());
        QCOMPARE(ParseSources("on|openlibrary|Open Library\n"), DefaultSources());
    }

    void linesThatCannotBeReadAreSkipped() {
        const char* text = " off | z3950-unimarc | Biblioteca Centrală | 10.0.0.5:210/BCU \r\n"
                           "yes|openlibrary|Open Library|https://openlibrary.org\n"
                           "on|worldcat|WorldCat|https://worldcat.org\n"
                           "on|sru-marc21||https://example.org/sru\n"
                           "on|sru-marc21|Local|ftp://example.org/sru\n"
                           "on|sru-marc21|Local|https://example.org/my sru\n"
                           "on|openlibrary|\n"
                           "\n"
                           "1|sru-unimarc|Biblioteca | Cluj|https://sru.example.ro/bcu";
        QCOMPARE(Formatted(text), "off|z3950-unimarc|Biblioteca Centrală|10.0.0.5:210/BCU\n"
                                  "on|sru-unimarc|Biblioteca | Cluj|https://sru.example.ro/bcu\n");
    }

    void formatReadsBackTheSame() {
        const std::vector<LookupSource> sources = {
            {false, SourceKind::Z3950Marc21, "Library | of | Congress", "lx2.loc.gov:210/LCDB"},
            {true, SourceKind::GoogleBooks, "Google\nBooks", "https://www.googleapis.com/books/v1"},
            {true, SourceKind::SruMarc21, "Pipe", "https://example.org/sru?a=1|2"},
        };
        const std::string text = FormatSources(sources);
        QCOMPARE(QString::fromStdString(text),
                 "off|z3950-marc21|Library | of | Congress|lx2.loc.gov:210/LCDB\n"
                 "on|googlebooks|Google Books|https://www.googleapis.com/books/v1\n"
                 "on|sru-marc21|Pipe|https://example.org/sru?a=1%7C2\n");
        QCOMPARE(Formatted(text), QString::fromStdString(text));
        QCOMPARE(ParseSources(text).front(), sources.front());
    }

    // A Z39.50 target is host:port/database, and nothing else.
    void z3950Targets() {
        QStringList fit;
        for (const char* address :
             {"z3950.loc.gov:7090/Voyager", "127.0.0.1:210/Default", "lib-a.ro:1/cat_2.b+c",
              "host:65535/db", "host:65536/db", "host:0/db", "host:/db", ":210/db", "host:210/",
              "host:210", "http://host:210/db", "host name:210/db", "host:21a/db", "host:210/d b",
              "host:2100000/db"}) {
            if (IsZ3950Target(address)) {
                fit << address;
            }
        }
        QCOMPARE(fit, (QStringList{"z3950.loc.gov:7090/Voyager", "127.0.0.1:210/Default",
                                   "lib-a.ro:1/cat_2.b+c", "host:65535/db"}));
    }

    void sruQueries_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("isbn");
        QTest::addColumn<QString>("url");
        const int marc21 = int(SourceKind::SruMarc21);
        const int unimarc = int(SourceKind::SruUnimarc);
        QTest::newRow("LoC") << marc21 << "http://lx2.loc.gov:210/LCDB"
                             << "9789734609123"
                             << "http://lx2.loc.gov:210/LCDB?version=1.1&operation=searchRetrieve"
                                "&query=bath.isbn%3D9789734609123&maximumRecords=1"
                                "&recordSchema=marcxml";
        QTest::newRow("DNB") << marc21 << "https://services.dnb.de/sru/dnb"
                             << "973460912X"
                             << "https://services.dnb.de/sru/dnb?version=1.1&operation="
                                "searchRetrieve&query=num%3D973460912X&maximumRecords=1"
                                "&recordSchema=MARC21-xml";
        QTest::newRow("BnF") << unimarc << "https://Catalogue.BnF.fr/api/SRU"
                             << "9789734609123"
                             << "https://Catalogue.BnF.fr/api/SRU?version=1.2&operation="
                                "searchRetrieve&query=bib.isbn%20all%20%229789734609123%22"
                                "&maximumRecords=1&recordSchema=unimarcxchange";
        QTest::newRow("own MARC 21, with a query")
            << marc21 << "https://sru.example.ro/bcu?x-info=ro"
            << "9786060000001"
            << "https://sru.example.ro/bcu?x-info=ro&version=1.1&operation=searchRetrieve"
               "&query=bath.isbn%3D9786060000001&maximumRecords=1&recordSchema=marcxml";
        QTest::newRow("own UNIMARC") << unimarc << "http://127.0.0.1:8080/sru"
                                     << "9786060000001"
                                     << "http://127.0.0.1:8080/sru?version=1.1&operation="
                                        "searchRetrieve&query=bath.isbn%3D9786060000001"
                                        "&maximumRecords=1&recordSchema=unimarcxchange";
        QTest::newRow("not SRU") << int(SourceKind::OpenLibrary) << "https://openlibrary.org"
                                 << "9789734609123"
                                 << "";
    }
    void sruQueries() {
        QFETCH(int, kind);
        QFETCH(QString, address);
        QFETCH(QString, isbn);
        const LookupSource source{true, SourceKind(kind), "S", address.toStdString()};
        QTEST(QString::fromStdString(SruQueryUrl(source, isbn.toStdString())), "url");
    }
};

QTEST_APPLESS_MAIN(TestLookupSources)
#include "tst_lookupsources.moc"
