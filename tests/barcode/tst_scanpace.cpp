#include "barcode/ScanPace.h"

#include <QTest>

class TestScanPace : public QObject {
    Q_OBJECT
private slots:
    // Frames every 30 ms for a second: one read every 100 ms at most, none while one is being
    // read, so a slow reading lowers the pace further.
    void atMostTenFramesASecond() {
        ScanPace pace;
        int read = 0;
        for (std::int64_t ms = 0; ms < 1000; ms += 30) {
            if (pace.TakeFrame(ms)) {
                ++read;
                pace.Read();
            }
        }
        QCOMPARE(read, 9); // at 0, 120, 240, ... 960: the first frame 100 ms or more after
        ScanPace slow;
        QVERIFY(slow.TakeFrame(0));
        QVERIFY(!slow.TakeFrame(500)); // still reading the first
        slow.Read();
        QVERIFY(slow.TakeFrame(510));
    }

    // A code is taken once while it stays in sight, again only after 3 seconds out of it; two
    // codes are told apart.
    void theSameCodeIsNotTakenTwiceWithinThreeSeconds() {
        ScanPace pace;
        QVERIFY(pace.TakeCode("9780451526533", 0));
        QVERIFY(!pace.TakeCode("9780451526533", 100));
        QVERIFY(pace.TakeCode("9791032305690", 150));
        QVERIFY(!pace.TakeCode("9780451526533", 2900));
        QVERIFY(!pace.TakeCode("9780451526533", 5800)); // seen at 2900: not yet 3 s away
        QVERIFY(pace.TakeCode("9780451526533", 8800));
        QVERIFY(pace.TakeCode("9791032305690", 3150));
    }
};

QTEST_APPLESS_MAIN(TestScanPace)
#include "tst_scanpace.moc"
