#include "stats/GeneralStatistics.h"
#include "stats/NameStatistics.h"
#include "support/CoreTestSupport.h"

#include <map>

namespace {
std::map<int, std::string> Figures(CBookDatabase& db) {
    std::map<int, std::string> out;
    if (const auto s = ComputeGeneralStatistics(db)) {
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
    void anEmptyCatalogueAndAFailedStatement() {
        TestCatalogue c;
        const auto f = Figures(*c.db);
        QCOMPARE(f.size(), std::size_t(24));
        for (const auto& [control, text] : f) {
            QCOMPARE(text, std::string(control >= 1032 && control <= 1037 ? "0.00" : "0"));
        }
        QVERIFY(ComputeNameStatistics(*c.db, NameStatisticsMode::Authors).empty());
        QVERIFY(c.messages.messages.empty());

        // A failed statement shows its message once.
        QVERIFY(RawCatalogue(c.path("test.mdb")).exec("DROP TABLE books"));
        QVERIFY(!ComputeGeneralStatistics(*c.db));
        QCOMPARE(c.messages.take(), Texts{shown::kSelectFailed});
        QVERIFY(ComputeNameStatistics(*c.db, NameStatisticsMode::Publishers).empty());
        QCOMPARE(c.messages.take(), std::vector<std::string>(3, shown::kSelectFailed));
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
        auto sql = [&](const std::string& statement) { return raw.one(statement); };
        // Each figure over every book, then over the books read, as SQL leaves unknown values out:
        // pages per book is the sum over the books that know theirs, not over all four.
        auto figure = [&](const std::string& what, const std::string& where) {
            const std::string shown =
                what.starts_with("avg") ? "printf('%.2f', " + what + ")" : what;
            return sql("SELECT " + shown + " FROM books WHERE " + where);
        };
        std::map<int, std::string> expected{{1030, figure("count(DISTINCT autor)", "1")},
                                            {1031, figure("count(DISTINCT editura)", "1")}};
        const std::tuple<int, int, const char*, const char*> figures[] = {
            {1021, 1022, "count(*)", "1"},
            {1024, 1025, "sum(pagini)", "1"},
            {1026, 1027, "sum(capitole)", "1"},
            {1028, 1029, "sum(volume)", "1"},
            {1032, 1035, "avg(pagini)", "1"},
            {1033, 1036, "avg(capitole)", "1"},
            {1034, 1037, "avg(volume)", "1"},
            {1023, 1045, "count(*)", "publicare <= 1800"},
            {1042, 1046, "count(*)", "publicare > 1800 AND publicare <= 1900"},
            {1043, 1047, "count(*)", "publicare > 1900 AND publicare <= 2000"},
            {1044, 1048, "count(*)", "publicare > 2000"}};
        for (const auto& [all, read, what, where] : figures) {
            expected[all] = figure(what, where);
            expected[read] = figure(what, std::string(where) + " AND citita = -1");
        }
        QCOMPARE(Figures(*c.db), expected);
        const auto authors = ComputeNameStatistics(*c.db, NameStatisticsMode::Authors);
        QCOMPARE(authors.size(), std::size_t(2));
        QCOMPARE((Texts{authors[0][1], authors[0][5], authors[0][6], authors[1][1], authors[1][2]}),
                 (Texts{"X", sql("SELECT sum(pagini) FROM books WHERE autor = 'X' AND citita = -1"),
                        sql("SELECT sum(capitole) FROM books WHERE autor = 'X' AND citita = -1"),
                        "Y", "2"}));
    }

    void totalsAveragesAndCenturies() {
        auto figures = [](std::initializer_list<BookRecord> books,
                          std::initializer_list<int> controls) {
            TestCatalogue c;
            for (const BookRecord& b : books) {
                c.add(b);
            }
            const auto f = Figures(*c.db);
            Texts out;
            for (int control : controls) {
                out.push_back(f.at(control));
            }
            return out;
        };
        // None read.
        QCOMPARE(figures({Book("a", 100, 1, 0, false, "X"), Book("b", 200, 1, 1800, false, "X"),
                          Book("c", 250, 2, 1801, false, "Y")},
                         {1024, 1032, 1033, 1022, 1035, 1030, 1023, 1042}),
                 (Texts{"550", "183.33", "1.33", "0", "0.00", "2", "2", "1"}));
        QCOMPARE(figures({Book("a", 10, 3, 1900, true), Book("b", 10, 4, 2000, true),
                          Book("c", 10, 1, 2001, false), Book("d", 10, 1, -500, true),
                          Book("e", 10, 1, 1801, false)},
                         {1022, 1036, 1023, 1042, 1043, 1044, 1045, 1046, 1047, 1048}),
                 (Texts{"3", "2.67", "1", "2", "1", "1", "1", "1", "1", "0"}));
        QCOMPARE(figures({Book("a", 10, 3, 1, true), Book("b", 10, 4, 1, true)}, {1036}),
                 Texts{"3.50"});
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
        const auto f = Figures(*c.db);
        QCOMPARE((Texts{f.at(1030), f.at(1031)}), (Texts{"6", "2"}));
        // A missing name is not the empty name.
        QVERIFY(RawCatalogue(c.path("test.mdb"))
                    .exec("INSERT INTO books(titlu, pagini, citita) VALUES ('n', 20, 0)"));
        QCOMPARE(ComputeNameStatistics(*c.db, NameStatisticsMode::Authors),
                 (Rows{{"1", "", "1", "0", "0", "0", "0"},
                       {"2", "", "1", "1", "1", "5", "1"},
                       {"3", "Creanga", "1", "0", "0", "0", "0"},
                       {"4", "eminescu", "1", "1", "1", "5", "1"},
                       {"5", "Eminescu", "3", "1", "2", "300", "10"},
                       {"6", "Eminéscu", "1", "1", "1", "5", "1"},
                       {"7", "O'Neill", "1", "1", "1", "7", "2"}}));
        QCOMPARE(ComputeNameStatistics(*c.db, NameStatisticsMode::Publishers),
                 (Rows{{"1", "", "1", "0", "0", "0", "0"},
                       {"2", "E", "6", "4", "5", "317", "14"},
                       {"3", "P", "2", "1", "1", "5", "1"}}));
    }
};

QTEST_APPLESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
