#include "stats/GeneralStatistics.h"
#include "stats/NameStatistics.h"
#include "support/CoreTestSupport.h"

#include <map>

namespace {
std::map<int, std::string> Figures(CBookDatabase& db) {
    std::map<int, std::string> out;
    const auto s = ComputeGeneralStatistics(db);
    if (s) {
        for (const auto& f : GeneralStatisticsFigures(*s)) {
            out[f.control] = f.text;
        }
    }
    return out;
}

BookRecord Book(const char* titlu, int pagini, int capitole, int publicare, bool read,
                const char* autor = "A", const char* editura = "E", int volume = 1) {
    return MakeBook(titlu, autor, editura,
                    {.pagini = pagini,
                     .capitole = capitole,
                     .volume = volume,
                     .publicare = publicare,
                     .citita = read,
                     .calificativ = read ? 0 : 6});
}

using Rows = std::vector<NameStatisticsRow>;
} // namespace

class TestStatistics : public QObject {
    Q_OBJECT
private slots:
    void anEmptyCatalogue() {
        TestCatalogue c;
        const auto f = Figures(*c.db);
        QCOMPARE(f.size(), std::size_t(24));
        for (int control :
             {1021, 1022, 1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1023, 1048}) {
            QCOMPARE(f.at(control), std::string("0"));
        }
        for (int control : {1032, 1033, 1034, 1035, 1036, 1037}) {
            QCOMPARE(f.at(control), std::string("0.00"));
        }
        QVERIFY(ComputeNameStatistics(*c.db, NameStatisticsMode::Authors).empty());
        QVERIFY(c.messages.messages.empty());
    }

    void unknownNumbersAreLeftOutAsSqlLeavesThem() {
        TestCatalogue c;
        c.add(Book("known", 100, 4, 1850, true, "X", "P"));
        c.add(Book("no pages", kUnknownNumber, 2, kUnknownNumber, true, "X", "P"));
        c.add(Book("old", 300, kUnknownNumber, 1700, false, "Y", ""));
        BookRecord nothing = Book("nothing", kUnknownNumber, kUnknownNumber, kUnknownNumber, false,
                                  "Y", "", kUnknownNumber);
        nothing.publicare_volum = kUnknownNumber;
        c.add(nothing);
        RawCatalogue raw(c.path("test.mdb"));
        auto sql = [&](const char* statement) { return raw.one(statement); };
        auto average = [&](const char* sums) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.2f", std::stod(raw.one(sums)));
            return std::string(buf);
        };
        const auto f = Figures(*c.db);
        const std::map<int, std::string> expected{
            {1021, sql("SELECT count(*) FROM books")},
            {1022, sql("SELECT count(*) FROM books WHERE citita = -1")},
            {1024, sql("SELECT sum(pagini) FROM books")},
            {1025, sql("SELECT sum(pagini) FROM books WHERE citita = -1")},
            {1026, sql("SELECT sum(capitole) FROM books")},
            {1027, sql("SELECT sum(capitole) FROM books WHERE citita = -1")},
            {1028, sql("SELECT sum(volume) FROM books")},
            {1029, sql("SELECT sum(volume) FROM books WHERE citita = -1")},
            {1030, sql("SELECT count(DISTINCT autor) FROM books")},
            {1031, sql("SELECT count(DISTINCT editura) FROM books")},
            {1032, average("SELECT avg(pagini) FROM books")},
            {1033, average("SELECT avg(capitole) FROM books")},
            {1034, average("SELECT avg(volume) FROM books")},
            {1035, average("SELECT avg(pagini) FROM books WHERE citita = -1")},
            {1036, average("SELECT avg(capitole) FROM books WHERE citita = -1")},
            {1037, average("SELECT avg(volume) FROM books WHERE citita = -1")},
            {1023, sql("SELECT count(*) FROM books WHERE publicare <= 1800")},
            {1042, sql("SELECT count(*) FROM books WHERE publicare > 1800 AND publicare <= 1900")},
            {1043, "0"},
            {1044, "0"},
            {1045, sql("SELECT count(*) FROM books WHERE publicare <= 1800 AND citita = -1")},
            {1046, sql("SELECT count(*) FROM books WHERE publicare > 1800 AND publicare <= 1900 "
                       "AND citita = -1")},
            {1047, "0"},
            {1048, "0"},
        };
        QCOMPARE(f, expected);
        // Pages per book: 400 over the two books that know theirs, not over all four.
        QCOMPARE(f.at(1032), std::string("200.00"));
        QCOMPARE(f.at(1023), std::string("1"));
        const auto authors = ComputeNameStatistics(*c.db, NameStatisticsMode::Authors);
        QCOMPARE(authors.size(), std::size_t(2));
        QCOMPARE(authors[0][1], std::string("X"));
        QCOMPARE(authors[0][5],
                 sql("SELECT sum(pagini) FROM books WHERE autor = 'X' AND citita = -1"));
        QCOMPARE(authors[0][6],
                 sql("SELECT sum(capitole) FROM books WHERE autor = 'X' AND citita = -1"));
        QCOMPARE(authors[1][1], std::string("Y"));
        QCOMPARE(authors[1][2], std::string("2"));
    }

    void totalsAveragesAndCenturies() {
        TestCatalogue c;
        c.add(Book("a", 100, 1, 0, false, "X"));
        c.add(Book("b", 200, 1, 1800, false, "X"));
        c.add(Book("c", 250, 2, 1801, false, "Y"));
        auto f = Figures(*c.db);
        QCOMPARE(f.at(1024), std::string("550"));
        QCOMPARE(f.at(1032), std::string("183.33"));
        QCOMPARE(f.at(1033), std::string("1.33"));
        QCOMPARE(f.at(1022), std::string("0")); // none read
        QCOMPARE(f.at(1035), std::string("0.00"));
        QCOMPARE(f.at(1030), std::string("2"));

        TestCatalogue d;
        d.add(Book("a", 10, 3, 1900, true));
        d.add(Book("b", 10, 4, 2000, true));
        d.add(Book("c", 10, 1, 2001, false));
        d.add(Book("d", 10, 1, -500, true));
        d.add(Book("e", 10, 1, 1801, false));
        f = Figures(*d.db);
        QCOMPARE(f.at(1022), std::string("3"));
        QCOMPARE(f.at(1036), std::string("2.67"));
        QCOMPARE((Texts{f.at(1023), f.at(1042), f.at(1043), f.at(1044)}),
                 (Texts{"1", "2", "1", "1"}));
        QCOMPARE((Texts{f.at(1045), f.at(1046), f.at(1047), f.at(1048)}),
                 (Texts{"1", "1", "1", "0"}));

        TestCatalogue e;
        e.add(Book("a", 10, 3, 1, true));
        e.add(Book("b", 10, 4, 1, true));
        QCOMPARE(Figures(*e.db).at(1036), std::string("3.50"));
    }

    void oneRowPerAuthor() {
        TestCatalogue c;
        c.add(Book("a", 300, 10, 1, true, "Eminescu", "E", 2));
        c.add(Book("b", 50, 1, 1, false, "Eminescu"));
        c.add(Book("c", 50, 1, 1, false, "Eminescu"));
        c.add(Book("d", 70, 1, 1, false, "Creanga", "P"));
        c.add(Book("e", 5, 1, 1, true, "", "P"));
        c.add(Book("f", 5, 1, 1, true, "eminescu"));
        c.add(Book("g", 5, 1, 1, true, "Eminéscu"));
        c.add(Book("h", 7, 2, 1, true, "O'Neill"));
        const Rows rows = ComputeNameStatistics(*c.db, NameStatisticsMode::Authors);
        QCOMPARE(rows, (Rows{{"1", "", "1", "1", "1", "5", "1"},
                             {"2", "Creanga", "1", "0", "0", "0", "0"},
                             {"3", "eminescu", "1", "1", "1", "5", "1"},
                             {"4", "Eminescu", "3", "1", "2", "300", "10"},
                             {"5", "Eminéscu", "1", "1", "1", "5", "1"},
                             {"6", "O'Neill", "1", "1", "1", "7", "2"}}));
        const Rows publishers = ComputeNameStatistics(*c.db, NameStatisticsMode::Publishers);
        QCOMPARE(publishers, (Rows{{"1", "E", "6", "4", "5", "317", "14"},
                                   {"2", "P", "2", "1", "1", "5", "1"}}));
        auto f = Figures(*c.db);
        QCOMPARE(f.at(1030), std::string("6"));
        QCOMPARE(f.at(1031), std::string("2"));
    }

    void aMissingNameIsNotTheEmptyName() {
        TestCatalogue c;
        c.add(Book("a", 10, 1, 1, true, ""));
        {
            RawCatalogue raw(c.path("test.mdb"));
            QVERIFY(raw.exec("INSERT INTO books(titlu, pagini, citita) VALUES ('n', 20, 0)"));
        }
        const Rows rows = ComputeNameStatistics(*c.db, NameStatisticsMode::Authors);
        QCOMPARE(rows,
                 (Rows{{"1", "", "1", "0", "0", "0", "0"}, {"2", "", "1", "1", "1", "10", "1"}}));
    }

    void aFailedStatementShowsItsMessageOnce() {
        TestCatalogue c;
        {
            RawCatalogue raw(c.path("test.mdb"));
            QVERIFY(raw.exec("DROP TABLE books"));
        }
        QVERIFY(!ComputeGeneralStatistics(*c.db));
        QCOMPARE(c.messages.take(), Texts{shown::kSelectFailed});
        QVERIFY(ComputeNameStatistics(*c.db, NameStatisticsMode::Publishers).empty());
        QCOMPARE(c.messages.take(), std::vector<std::string>(3, shown::kSelectFailed));
    }
};

QTEST_APPLESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
