#include "lookup/LookupMerge.h"

#include "lookup/LookupRows.h"

#include <QTest>

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

LookupRecord Full() {
    LookupRecord book;
    book.titlu = "Baltagul";
    book.autor = "Mihail Sadoveanu";
    book.editura = "Polirom";
    book.pagini = 223;
    book.publicare_volum = 2004;
    book.serie = "Biblioteca Polirom";
    book.numar_serie = 12;
    book.coverUrl = "https://covers.openlibrary.org/b/isbn/9789734609123-M.jpg";
    return book;
}

} // namespace

class TestLookupMerge : public QObject {
    Q_OBJECT
private slots:
    void earlierFieldsAreNeverReplaced() {
        LookupRecord first;
        first.titlu = "Baltagul";
        first.editura = "Polirom";
        first.pagini = 223;
        first.shortened = {"Titlu"};
        LookupRecord second = Full();
        second.titlu = "Baltagul: roman";
        second.editura = "Editura Minerva";
        second.pagini = 300;
        second.publicare = 1930;
        second.shortened = {"Titlu", "Autor"};
        MergedLookup merged;
        MergeFrom(merged, first, "Open Library");
        MergeFrom(merged, second, "Deutsche Nationalbibliothek");
        // A third that has nothing left to give is not listed.
        MergeFrom(merged, Full(), "Library of Congress");
        QCOMPARE(RecordRow(merged.record, true),
                 "Baltagul|Mihail Sadoveanu|Polirom|223|1930|2004|Biblioteca "
                 "Polirom|12|https://covers.openlibrary.org/b/isbn/"
                 "9789734609123-M.jpg");
        QCOMPARE(merged.record.shortened, (std::vector<std::string>{"Titlu", "Autor"}));
        QCOMPARE(Text(FoundAtText(merged)), "Gasit la: Open Library, Deutsche Nationalbibliothek");
    }

    void theTitlesSourceComesFirst() {
        LookupRecord authorsOnly;
        authorsOnly.autor = "Ion Creangă";
        LookupRecord titled;
        titled.titlu = "Amintiri din copilărie";
        titled.autor = "Creangă, Ion";
        MergedLookup merged;
        MergeFrom(merged, LookupRecord(), "Open Library");
        MergeFrom(merged, authorsOnly, "Google Books");
        MergeFrom(merged, titled, "Bibliotheque nationale de France");
        QCOMPARE(RecordRow(merged.record), "Amintiri din copilărie|Ion Creangă||||||");
        QCOMPARE(Text(FoundAtText(merged)),
                 "Gasit la: Bibliotheque nationale de France, Google Books");
        QCOMPARE(Text(FoundAtText(MergedLookup())), "");
    }

    void aSeriesKeepsItsOwnNumber() {
        LookupRecord unnumbered;
        unnumbered.serie = "Biblioteca pentru toți";
        LookupRecord otherSeries;
        otherSeries.serie = "Clasicii";
        otherSeries.numar_serie = 3;
        LookupRecord sameSeries;
        sameSeries.serie = "Biblioteca pentru toți";
        sameSeries.numar_serie = 1234;
        MergedLookup merged;
        MergeFrom(merged, unnumbered, "A");
        MergeFrom(merged, otherSeries, "B");
        QCOMPARE(NumberText(merged.record.numar_serie), "");
        MergeFrom(merged, sameSeries, "C");
        QCOMPARE(RecordRow(merged.record), "||||||Biblioteca pentru toți|1234");
        QCOMPARE(merged.sources, (std::vector<std::string>{"A", "C"}));
    }

    void stillMissingWhileAFieldIsEmpty() {
        QVERIFY(!StillMissing(Full()));
        const std::vector<void (*)(LookupRecord&)> emptied = {
            [](LookupRecord& b) { b.titlu.clear(); },
            [](LookupRecord& b) { b.autor.clear(); },
            [](LookupRecord& b) { b.editura.clear(); },
            [](LookupRecord& b) { b.publicare_volum = kUnknownNumber; },
            [](LookupRecord& b) { b.pagini = kUnknownNumber; },
            [](LookupRecord& b) { b.serie.clear(); },
            [](LookupRecord& b) { b.numar_serie = kUnknownNumber; },
            [](LookupRecord& b) { b.coverUrl.clear(); },
        };
        for (std::size_t i = 0; i < emptied.size(); ++i) {
            LookupRecord book = Full();
            emptied[i](book);
            QVERIFY2(StillMissing(book), QByteArray::number(qulonglong(i)));
        }
        // The year of first publication is not worth another request.
        LookupRecord noFirstYear = Full();
        noFirstYear.publicare = kUnknownNumber;
        QVERIFY(!StillMissing(noFirstYear));
    }
};

QTEST_APPLESS_MAIN(TestLookupMerge)
#include "tst_lookupmerge.moc"
