#include "isbn/CBookDetailsStore.h"
#include "loans/CLoanRegister.h"
#include "stats/ChartFigures.h"
#include "store/LookupList.h"
#include "support/CoreTestSupport.h"

#include <map>

namespace {

const std::string kNoType = "[nedefinit]";
const std::string kNoState = "[nedefinita]";

// "label=count" per bar, "*" after a bar shown apart.
Texts Bars(const std::vector<ChartBar>& bars) {
    Texts out;
    for (const ChartBar& bar : bars) {
        out.push_back(bar.label + "=" + std::to_string(bar.count) + (bar.apart ? "*" : ""));
    }
    return out;
}

struct Charts {
    TestCatalogue c;
    LookupList types;
    LookupList states;

    Charts() {
        types.Add(LookupEntry(1, "Roman"));
        types.Add(LookupEntry(2, "Poezie"));
        states.Add(LookupEntry(1, "Buna"));
        states.Add(LookupEntry(2, "Imprumutata"));
    }
    void add(const char* title, const char* author, const BookNumbers& n = {},
             const char* publisher = "Editura") {
        QVERIFY(c.add(MakeBook(title, author, publisher, n)));
    }
    std::vector<ChartBar> chart(ChartKind kind, const std::string& listing = {}) {
        const auto bars = ComputeChart(*c.db, kind, listing, {types, kNoType, states, kNoState});
        return bars ? *bars : std::vector<ChartBar>{{"failed", -1, {}, false}};
    }
    // The titles a bar lists, as the list would show them by title.
    Texts listed(const ChartBar& bar) { return ListedTitles(*c.db, bar.books + " ORDER BY titlu"); }
};

BookNumbers Year(std::int32_t publicare, std::int32_t citita = 0) {
    BookNumbers n;
    n.publicare = publicare;
    n.citita = citita;
    n.calificativ = citita ? 0 : 6;
    return n;
}

} // namespace

class TestChartFigures : public QObject {
    Q_OBJECT
private slots:
    void decadesKeepUnknownYearsApart() {
        Charts t;
        t.add("Iliada", "Homer", Year(-750));
        t.add("Odiseea", "Homer", Year(-741));
        t.add("Ion", "Rebreanu", Year(1920));
        t.add("Padurea", "Rebreanu", Year(1929));
        t.add("Baltagul", "Sadoveanu", Year(1930));
        t.add("Fara an", "Anonim", Year(kUnknownNumber));
        t.add("Zero", "Anonim", Year(0));
        const auto bars = t.chart(ChartKind::Decades);
        QCOMPARE(Bars(bars), (Texts{"-750=2", "0=1", "1920=2", "1930=1", "An necunoscut=1*"}));
        QCOMPARE(t.listed(bars[0]), (Texts{"Iliada", "Odiseea"}));
        QCOMPARE(t.listed(bars[2]), (Texts{"Ion", "Padurea"}));
        QCOMPARE(t.listed(bars[4]), Texts{"Fara an"});

        // A search's result: only its books are counted, and a bar lists only them.
        const std::string rebreanu = "SELECT * FROM books WHERE autor = 'Rebreanu'";
        const auto subset = t.chart(ChartKind::Decades, rebreanu);
        QCOMPARE(Bars(subset), Texts{"1920=2"});
        QCOMPARE(t.listed(subset[0]), (Texts{"Ion", "Padurea"}));
        QCOMPARE(CountListing(*t.c.db, rebreanu), std::optional<std::int64_t>(2));
        QCOMPARE(CountListing(*t.c.db, ""), std::optional<std::int64_t>(7));
        // A bar's books are a listing like any other: narrowed again, they chart again.
        QCOMPARE(Bars(t.chart(ChartKind::Authors, subset[0].books)), Texts{"Rebreanu=2"});
    }

    void typesStatesReadAndNames() {
        Charts t;
        BookNumbers poem = Year(1900, -1);
        poem.tip = 2;
        poem.stare = 2;
        BookNumbers lost = Year(1900);
        lost.tip = 9;
        lost.stare = 7;
        t.add("A", "Eminescu", poem);
        t.add("B", "Eminescu", poem, "Junimea");
        t.add("C", "O'Neill", Year(1950), "Junimea");
        t.add("D", "", lost, "");
        t.add("E", "eminescu", Year(1960, -1));
        QVERIFY(RawCatalogue(t.c.path("test.mdb")).exec("INSERT INTO books(titlu) VALUES ('F')"));
        QCOMPARE(Bars(t.chart(ChartKind::Types)),
                 (Texts{"Roman=2", "Poezie=2", "[nedefinit]=1", "[nedefinit]=1"}));
        const auto states = t.chart(ChartKind::States);
        QCOMPARE(Bars(states),
                 (Texts{"Buna=2", "Imprumutata=2", "[nedefinita]=1", "[nedefinita]=1"}));
        QCOMPARE(t.listed(states[2]), Texts{"F"});
        QCOMPARE(t.listed(states[3]), Texts{"D"});
        const auto read = t.chart(ChartKind::Read);
        QCOMPARE(Bars(read), (Texts{"Citite=3", "Necitite=3"}));
        QCOMPARE(t.listed(read[1]), (Texts{"C", "D", "F"}));

        // Names exactly as written, an apostrophe too, ties in the program's text order; the empty
        // name and a missing one apart.
        const auto authors = t.chart(ChartKind::Authors);
        QCOMPARE(Bars(authors), (Texts{"Eminescu=2", "(fara autor)=1", "(fara autor)=1",
                                       "eminescu=1", "O'Neill=1"}));
        QCOMPARE(t.listed(authors[3]), Texts{"E"});
        QCOMPARE(t.listed(authors[4]), Texts{"C"});
        QCOMPARE(Bars(t.chart(ChartKind::Publishers)),
                 (Texts{"Editura=2", "Junimea=2", "(fara editura)=1", "(fara editura)=1"}));
    }

    void theTwentyNamesWithMostBooks() {
        Charts t;
        for (int author = 0; author < 25; ++author) {
            for (int copy = 0; copy <= author % 4; ++copy) {
                const std::string name = "Autor " + std::to_string(100 + author);
                t.add(("T" + std::to_string(author) + "-" + std::to_string(copy)).c_str(),
                      name.c_str());
            }
        }
        const auto bars = t.chart(ChartKind::Authors);
        QCOMPARE(bars.size(), std::size_t(20));
        QCOMPARE(Bars({bars.begin(), bars.begin() + 3}),
                 (Texts{"Autor 103=4", "Autor 107=4", "Autor 111=4"}));
        QCOMPARE(Bars({bars.end() - 1, bars.end()}), Texts{"Autor 104=1"});
    }

    void booksAddedPerMonth() {
        Charts t;
        for (const char* title : {"A", "B", "C", "D", "E"}) {
            t.add(title, "X");
        }
        // Without details every book's date is unknown.
        QCOMPARE(Bars(t.chart(ChartKind::Added)), Texts{"Data necunoscuta=5*"});
        CBookDetailsStore details(*t.c.db, t.c.messages.sink());
        const std::map<std::int32_t, const char*> added = {
            {1, "2025-11-30"}, {2, "2025-11-02"}, {3, "2026-02-01"}, {4, ""}};
        for (const auto& [id, date] : added) {
            BookDetails d;
            d.locatie = "Raft 1";
            d.adaugata = date;
            QVERIFY(details.Write(id, d));
        }
        const auto bars = t.chart(ChartKind::Added);
        QCOMPARE(Bars(bars), (Texts{"noi 2025=2", "dec 2025=0", "ian 2026=0", "feb 2026=1",
                                    "Data necunoscuta=2*"}));
        QCOMPARE(t.listed(bars[0]), (Texts{"A", "B"}));
        QCOMPARE(t.listed(bars[1]), Texts{});
        QCOMPARE(t.listed(bars[4]), (Texts{"D", "E"}));
        QCOMPARE(Bars(t.chart(ChartKind::Added, "SELECT * FROM books WHERE titlu > 'B'")),
                 (Texts{"feb 2026=1", "Data necunoscuta=2*"}));
        // A date centuries off is drawn apart from the others, without the empty months between.
        BookDetails old;
        old.locatie = "Raft 2";
        old.adaugata = "1026-02-01";
        QVERIFY(details.Write(5, old));
        QCOMPARE(Bars(t.chart(ChartKind::Added, "SELECT * FROM books WHERE titlu > 'B'")),
                 (Texts{"feb 1026=1", "feb 2026=1", "Data necunoscuta=1*"}));
        QVERIFY(t.c.messages.messages.empty());
    }

    void loansPerMonthAcrossTheYearsEndAndWhoHoldsBooks() {
        Charts t;
        for (const char* title : {"A", "B", "C", "D"}) {
            t.add(title, "X");
        }
        // A catalogue that never lent a book: empty charts, and no loans table made.
        QCOMPARE(Bars(t.chart(ChartKind::Loans)), Texts{});
        QCOMPARE(Bars(t.chart(ChartKind::Borrowers)), Texts{});
        CLoanRegister loans(*t.c.db, t.c.messages.sink());
        QVERIFY(loans.Lend(1, "Ana", "2025-11-20", ""));
        QVERIFY(loans.Return(1, "2025-12-01"));
        QVERIFY(loans.Lend(1, "Dan", "2025-12-31", ""));
        QVERIFY(loans.Return(1, "2026-01-05"));
        QVERIFY(loans.Lend(2, "Ana", "2026-01-01", ""));
        QVERIFY(loans.Lend(1, "O'Hara", "2026-02-10", ""));
        QVERIFY(loans.Lend(3, "Ana", "2026-02-11", ""));
        QVERIFY(loans.Lend(4, "Dan", "2026-02-12", ""));
        const auto bars = t.chart(ChartKind::Loans);
        QCOMPARE(Bars(bars), (Texts{"noi 2025=1", "dec 2025=1", "ian 2026=1", "feb 2026=3"}));
        QCOMPARE(t.listed(bars[1]), Texts{"A"});
        QCOMPARE(t.listed(bars[2]), Texts{"B"});
        QCOMPARE(t.listed(bars[3]), (Texts{"A", "C", "D"}));

        const auto holders = t.chart(ChartKind::Borrowers);
        QCOMPARE(Bars(holders), (Texts{"Ana=2", "Dan=1", "O'Hara=1"}));
        QCOMPARE(t.listed(holders[0]), (Texts{"B", "C"}));
        QCOMPARE(t.listed(holders[2]), Texts{"A"});
        // Over a search's result only its books' loans count.
        const std::string some = "SELECT * FROM books WHERE titlu IN ('A', 'C')";
        QCOMPARE(Bars(t.chart(ChartKind::Loans, some)),
                 (Texts{"noi 2025=1", "dec 2025=1", "ian 2026=0", "feb 2026=2"}));
        QCOMPARE(Bars(t.chart(ChartKind::Borrowers, some)), (Texts{"Ana=1", "O'Hara=1"}));
        QVERIFY(t.c.messages.messages.empty());
    }

    void listingsAreNamedAndAFailureIsTold() {
        QCOMPARE(ListingName(""), std::string("toate cartile"));
        QCOMPARE(ListingName("SELECT * FROM books"), std::string("toate cartile"));
        QCOMPARE(ListingName("SELECT * FROM books WHERE citita = -1"),
                 std::string("cartile citite"));
        QCOMPARE(ListingName("SELECT * FROM books WHERE autor = 'X'"),
                 std::string("rezultatul cautarii"));
        Charts t;
        t.add("A", "X");
        const auto bars = t.chart(ChartKind::Authors);
        QCOMPARE(ListingName(bars.at(0).books), std::string("cartile alese dintr-un grafic"));

        QVERIFY(RawCatalogue(t.c.path("test.mdb")).exec("DROP TABLE books"));
        QCOMPARE(Bars(t.chart(ChartKind::Decades)), Texts{"failed=-1"});
        QCOMPARE(t.c.messages.take(), Texts{shown::kSelectFailed});
        QCOMPARE(CountListing(*t.c.db, ""), std::optional<std::int64_t>());
    }
};

QTEST_GUILESS_MAIN(TestChartFigures)
#include "tst_chartfigures.moc"
