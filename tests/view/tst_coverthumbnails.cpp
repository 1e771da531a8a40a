#include "view/CoverThumbnails.h"

#include <QTest>
#include <set>

class TestCoverThumbnails : public QObject {
    Q_OBJECT
private slots:
    // A thumbnail's name follows what it shows and is never made of what a file says.
    void namesFollowTheCoverAndHoldNothingElse() {
        const std::string a = ChosenCoverThumbnail("\xFF\xD8\xFF cover a", 180);
        QCOMPARE(ChosenCoverThumbnail("\xFF\xD8\xFF cover a", 180), a);
        QVERIFY(ChosenCoverThumbnail("\xFF\xD8\xFF cover b", 180) != a);
        QVERIFY(ChosenCoverThumbnail("\xFF\xD8\xFF cover a", 120) != a);
        QVERIFY(a.find_first_not_of("0123456789abcdefc-.jpg") == std::string::npos);
        QCOMPARE(LookedUpCoverThumbnail("9789734610000", 180),
                 std::string("isbn-9789734610000-180.jpg"));
        for (const char* hostile : {"", "978973461000", "97897346100000", "../../../etc/x",
                                    "978973461000/", "978973461000\n"}) {
            QCOMPARE(LookedUpCoverThumbnail(hostile, 180), std::string());
        }
    }

    void eachTypeKeepsItsColourAndNeighboursDiffer() {
        std::set<std::tuple<int, int, int>> colours;
        for (std::int32_t type = 1; type <= 8; ++type) {
            const CardColour c = TypeCardColour(type);
            QCOMPARE(TypeCardColour(type).red, c.red);
            colours.insert({c.red, c.green, c.blue});
        }
        QCOMPARE(colours.size(), std::size_t(8));
    }
};

QTEST_GUILESS_MAIN(TestCoverThumbnails)
#include "tst_coverthumbnails.moc"
