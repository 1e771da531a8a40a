#include "transfer/ListingPages.h"

#include <QTest>
#include <numeric>

namespace {
RowTexts Book(const std::string& title, const std::string& author = "Autor",
              const std::string& publisher = "Editura") {
    return {"0001", title,  author, publisher, "Roman",     "320",  "1",
            "1",    "1997", "2003", "Da",      "Excelenta", "Acasa"};
}

ListingPages LaidOut(const std::vector<RowTexts>& rows, double pageCharacters, int pageLines) {
    ListingPages pages;
    for (const RowTexts& row : rows) {
        pages.Measure(row);
    }
    pages.FixColumns(pageCharacters);
    for (const RowTexts& row : rows) {
        pages.AddRow(row);
    }
    pages.Paginate(pageLines);
    return pages;
}
} // namespace

class TestListingPages : public QObject {
    Q_OBJECT
private slots:
    // Words wrap whole where they can; a word longer than the line is cut; letters, not bytes.
    void wrappingByWord() {
        struct Case {
            const char* text;
            std::size_t width;
            int lines;
        };
        for (const auto& [text, width, lines] :
             {Case{"", 10, 1}, Case{"Ion", 10, 1}, Case{"Ion Creanga", 11, 1},
              Case{"Ion Creanga", 10, 2}, Case{"Amintiri din copilarie si alte povesti", 15, 3},
              Case{"abcdefghijklmnopqrstuvwxy", 10, 3}, Case{"Pădurea spânzuraților", 10, 3}}) {
            QVERIFY2(ListingPages::WrappedLines(text, width) == lines, text);
        }
    }

    // Where the printer knows a text's real width, a row takes the lines its texts fill there:
    // a short publisher that a count of characters would wrap gives no empty second line.
    void realWidthsDecideTheLines() {
        const std::vector<RowTexts> rows{Book("Ion", "Liviu Rebreanu", "Minerva"),
                                         Book("Ion", "Liviu Rebreanu", "Minerva si Cartea")};
        ListingPages pages;
        for (const RowTexts& row : rows) {
            pages.Measure(row);
        }
        pages.FixColumns(40);
        std::vector<std::size_t> asked;
        for (const RowTexts& row : rows) {
            pages.AddRow(row, [&](std::size_t column, std::string_view text) {
                asked.push_back(column);
                return column == 3 && text.size() > 10 ? 2 : 1;
            });
        }
        QCOMPARE(asked.size(), 2 * kBookColumnCount);
        QCOMPARE(pages.RowLines(0), 1);
        QCOMPARE(pages.RowLines(1), 2);
    }

    // Texts wide, numbers narrow: on a page of 200 characters (A4 across, as printed) a title
    // gets far more than 20 characters a line and wraps past them, a publisher too, while a
    // one-digit column is only as wide as its header.
    void widthsFollowTheContent() {
        const ListingPages pages =
            LaidOut({Book("The Curious Incident of the Dog in the Night-Time", "Mark Haddon",
                          "Vintage Contemporaries")},
                    200, 60);
        const auto& chars = pages.ColumnCharacters();
        QCOMPARE(std::accumulate(pages.ColumnShares().begin(), pages.ColumnShares().end(), 0.0),
                 1.0);
        QVERIFY2(chars[1] >= 30, std::to_string(chars[1]).c_str());
        QVERIFY(chars[2] >= std::string("Mark Haddon").size());
        QVERIFY(chars[6] <= 12);          // Capitole, "1"
        QVERIFY(chars[6] * 3 < chars[1]); // a third of the title's room, at most
        QCOMPARE(pages.RowLines(0), 2);   // the title and the publisher wrap
    }

    // On a narrow page the long texts give way and wrap within their row, which grows; a number
    // never wraps and never loses room to a title.
    void aTextThatDoesNotFitWraps() {
        const std::string title(30, 'a');
        const RowTexts row = Book(title + " " + title + " " + title);
        const ListingPages wide = LaidOut({row}, 400, 60);
        const ListingPages narrow = LaidOut({row}, 170, 60);
        QCOMPARE(wide.RowLines(0), 1);
        QVERIFY(narrow.RowLines(0) > 1);
        QVERIFY(narrow.ColumnCharacters()[1] < wide.ColumnCharacters()[1]);
        for (std::size_t c : {0, 5, 8, 9, 11}) {
            QCOMPARE(narrow.ColumnCharacters()[c], wide.ColumnCharacters()[c]);
            QVERIFY(narrow.ColumnCharacters()[c] >= row[c].size());
        }
    }

    // Rows run on from page to page by the lines they take, under headers on every page; a
    // long header wraps over its narrow column ("An publicare volum" over four digits).
    void rowsRunOnFromPageToPage_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("tallRows"); // every second row's title takes four lines
        QTest::addColumn<int>("headerLines");
        QTest::addColumn<QList<int>>("firstRows");
        QTest::newRow("empty listing: one page of headers") << 0 << false << 2 << QList<int>{0};
        QTest::newRow("one row") << 1 << false << 2 << QList<int>{0};
        QTest::newRow("a page full") << 40 << false << 2 << QList<int>{0};
        QTest::newRow("one more") << 41 << false << 2 << QList<int>{0, 40};
        // The title takes the room the headers had: "An publicare volum" takes three lines,
        // and 39 are left. 1 + 4 lines a pair: 36 lines to row 14, and row 15 no longer fits.
        QTest::newRow("tall rows take more room") << 40 << true << 3 << QList<int>{0, 15, 30};
    }

    void rowsRunOnFromPageToPage() {
        QFETCH(int, rows);
        QFETCH(bool, tallRows);
        QFETCH(int, headerLines);
        QFETCH(QList<int>, firstRows);
        std::vector<RowTexts> listing;
        for (int i = 0; i < rows; ++i) {
            // Two 50-letter words in a title column of 48 characters a line: each is cut once.
            listing.push_back(tallRows && i % 2 == 1
                                  ? Book(std::string(50, 't') + " " + std::string(50, 'u'))
                                  : Book("Short"));
        }
        const ListingPages pages = LaidOut(listing, 200, 42);
        QCOMPARE(pages.HeaderLines(), headerLines);
        QList<int> seen;
        for (int page = 0; page < pages.PageCount(); ++page) {
            seen << pages.FirstRow(page);
            QCOMPARE(pages.EndRow(page), page + 1 < pages.PageCount() ? firstRows[page + 1] : rows);
        }
        QCOMPARE(seen, firstRows);
    }
};

QTEST_APPLESS_MAIN(TestListingPages)
#include "tst_listingpages.moc"
