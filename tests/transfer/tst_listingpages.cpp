#include "transfer/ListingPages.h"

#include <QTest>
#include <numeric>

class TestListingPages : public QObject {
    Q_OBJECT
private slots:
    void rowsRunOnFromPageToPage() {
        struct Case {
            int rows, perPage, pages, lastFirst, lastEnd;
        };
        for (const Case& c : {Case{0, 40, 1, 0, 0}, Case{1, 40, 1, 0, 1}, Case{40, 40, 1, 0, 40},
                              Case{41, 40, 2, 40, 41}, Case{250, 46, 6, 230, 250}}) {
            ListingPages pages;
            pages.LayOut(c.rows, c.perPage, 200);
            QCOMPARE(pages.PageCount(), c.pages);
            QCOMPARE(pages.FirstRow(c.pages - 1), c.lastFirst);
            QCOMPARE(pages.EndRow(c.pages - 1), c.lastEnd);
        }
    }

    void longTextsGiveWayToShortOnes() {
        ListingPages pages;
        RowTexts row{"0001",  std::string(300, 't'),
                     "Autor", "Editura",
                     "Roman", "320",
                     "1",     "1",
                     "1997",  "2003",
                     "Da",    "Excelenta",
                     "Acasa"};
        pages.Measure(row);
        pages.LayOut(1, 40, 1000);
        const auto wide = pages.ColumnShares();
        pages.LayOut(1, 40, 100);
        const auto narrow = pages.ColumnShares();
        QCOMPARE(std::accumulate(narrow.begin(), narrow.end(), 0.0), 1.0);
        // On a narrow page the title gives up room and every short column gains it.
        QVERIFY(narrow[1] < wide[1]);
        for (std::size_t c : {0, 5, 8, 9, 11}) {
            QVERIFY(narrow[c] > wide[c]);
        }
        // A huge title is capped: the others keep a fair share on a wide page too.
        QVERIFY(wide[1] < 0.3);
    }
};

QTEST_APPLESS_MAIN(TestListingPages)
#include "tst_listingpages.moc"
