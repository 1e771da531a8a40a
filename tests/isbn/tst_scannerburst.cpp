#include "isbn/ScannerBurst.h"

#include <QTest>

namespace {
// Keys typed `apart` ms from each other ('\n' is Enter, '?' any other key), then a pause: what
// came through, in order, with a scan as [digits] and a held key let go by the pause after "|".
QString Typed(const std::string& keys, int apart) {
    ScannerBurst burst;
    std::string held;
    QString out;
    std::int64_t ms = 1000;
    for (const char k : keys) {
        const ScannerBurst::Verdict v = burst.Key(k == '?' ? 0 : k, ms);
        out += QString::fromStdString(held.substr(0, v.release));
        held.erase(0, v.release);
        if (v.action == ScannerBurst::Action::Hold) {
            held += k;
        } else if (v.action == ScannerBurst::Action::Scan) {
            out += "[" + QString::fromStdString(burst.TakeScan()) + "]";
        } else {
            out += k == '\n' ? QChar('E') : QChar(k);
        }
        ms += apart;
    }
    const std::size_t late = burst.Pause(ms + ScannerBurst::kGapMs);
    return out + "|" + QString::fromStdString(held.substr(0, late));
}
} // namespace

class TestScannerBurst : public QObject {
    Q_OBJECT
private slots:
    void aScannerIsToldFromAPerson_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("apart");
        QTest::addColumn<QString>("through");
        QTest::newRow("ISBN-13 scanned") << "9789734501472\n" << 8 << "[9789734501472]|";
        QTest::newRow("ISBN-10 with X") << "080442957X\n" << 5 << "[080442957X]|";
        QTest::newRow("EAN with add-on") << "978973450147251299\n" << 5 << "[978973450147251299]|";
        QTest::newRow("the same typed by a person") << "9789734501472\n"
                                                    << 150 << "9789734501472E|";
        QTest::newRow("a scan at the edge of a person") << "9789734501472\n"
                                                        << 35 << "[9789734501472]|";
        QTest::newRow("just slower") << "9789734501472\n" << 36 << "9789734501472E|";
        QTest::newRow("too short for an ISBN") << "978973450\n" << 5 << "978973450E|";
        QTest::newRow("an X not last of ten") << "97897X\n" << 5 << "97897XE|";
        QTest::newRow("another key between") << "97897?34501472\n" << 5 << "97897?34501472E|";
        QTest::newRow("digits without Enter") << "9789734501472" << 5 << "|9789734501472";
        QTest::newRow("a person's Enter") << "\n" << 5 << "E|";
    }
    void aScannerIsToldFromAPerson() {
        QFETCH(QString, keys);
        QFETCH(int, apart);
        QFETCH(QString, through);
        QCOMPARE(Typed(keys.toStdString(), apart), through);
    }
};

QTEST_APPLESS_MAIN(TestScannerBurst)
#include "tst_scannerburst.moc"
