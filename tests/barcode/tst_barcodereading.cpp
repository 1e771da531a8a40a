#include "barcode/BarcodeReading.h"
#include "barcode/TestPictures.h"
#include "barcode/ui/PictureBarcodes.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>

using namespace test_pictures;

namespace {

const std::vector<std::string> kIsbns = {"9780451526533", "9791032305690", "9780140449136",
                                         "9786061234561", "9789734600120", "9781853260414"};

QStringList Isbns(const PictureIsbns& found) {
    QStringList out;
    for (const std::string& isbn : found.isbns) {
        out << QString::fromStdString(isbn);
    }
    return out;
}

QStringList Refused(const PictureIsbns& found) {
    QStringList out;
    for (const std::string& code : found.refused) {
        out << QString::fromStdString(code);
    }
    return out;
}

// The ways a photo spoils a barcode, each named for the report of what failed.
struct Spoilt {
    const char* name;
    QImage (*make)(const QImage&);
};

const std::vector<Spoilt> kSpoilings = {
    {"upright", [](const QImage& p) { return p; }},
    {"turned 7", [](const QImage& p) { return Turned(p, 7); }},
    {"turned 15", [](const QImage& p) { return Turned(p, -15); }},
    {"turned 22", [](const QImage& p) { return Turned(p, 22); }},
    {"turned 30", [](const QImage& p) { return Turned(p, -30); }},
    {"upside down", [](const QImage& p) { return Turned(p, 180); }},
    {"half size", [](const QImage& p) { return Scaled(p, 0.6); }},
    {"twice the size", [](const QImage& p) { return Scaled(p, 2.0); }},
    {"blurred", [](const QImage& p) { return Blurred(p, 1); }},
    {"blurred more", [](const QImage& p) { return Blurred(Scaled(p, 1.5), 2); }},
    {"grainy JPEG", [](const QImage& p) { return Noisy(p, 50, 25); }},
    {"turned, blurred, JPEG",
     [](const QImage& p) { return Noisy(Blurred(Turned(p, 12), 1), 30, 35); }},
    {"a third of the size", [](const QImage& p) { return Scaled(p, 0.4); }},
    {"coarse JPEG", [](const QImage& p) { return Noisy(p, 70, 8); }},
    {"turned 30, blurred, grainy",
     [](const QImage& p) { return Noisy(Blurred(Turned(Scaled(p, 1.5), 30), 2), 40, 20); }},
    {"close up, out of focus", [](const QImage& p) { return Blurred(Scaled(p, 4), 4); }},
    {"on a busy page", [](const QImage& p) { return OnBusyPage({p}, {QPoint(500, 400)}); }},
    {"turned on a busy page",
     [](const QImage& p) {
         return Noisy(OnBusyPage({Turned(p, 25)}, {QPoint(200, 150)}), 20, 50);
     }},
};

} // namespace

class TestBarcodeReading : public QObject {
    Q_OBJECT
private slots:
    // Every ISBN under every spoiling: each picture gives its own ISBN or nothing, never another
    // number, and nearly all give it.
    void photosOfIsbnsReadRightOrNotAtAll() {
        int right = 0;
        int total = 0;
        QStringList missed;
        for (const std::string& isbn : kIsbns) {
            const QImage clean = Ean13(isbn);
            for (const Spoilt& spoilt : kSpoilings) {
                const PictureIsbns found = ReadPictureIsbns(spoilt.make(clean));
                ++total;
                QVERIFY2(found.refused.empty(), spoilt.name);
                if (found.isbns.empty()) {
                    missed << QString::fromStdString(isbn) + " " + spoilt.name;
                    continue;
                }
                QCOMPARE(Isbns(found), QStringList{QString::fromStdString(isbn)});
                ++right;
            }
        }
        qInfo("decoded right: %d of %d pictures (%.0f%%); missed: %s", right, total,
              100.0 * right / total, qPrintable(missed.join(", ")));
        // What ZXing 1.4 reads of them: codes of 1.2 pixels a module, and the harshest mix of
        // slant, blur and grain, are beyond it.
        QVERIFY2(right >= 97, qPrintable(missed.join(", ")));
    }

    // A code so near and so blurred that ZXing finds it on several groups of lines: it is read,
    // once, and the program lives on (ZXing 1.4's merge of such finds would abort it).
    void aBlurredCloseUpFoundTwice() {
        const PictureIsbns found = ReadPictureIsbns(Blurred(Scaled(Ean13(kIsbns[0]), 6), 8));
        QCOMPARE(Isbns(found), QStringList{QString::fromStdString(kIsbns[0])});
    }

    // An ISBN-10 written as text in another code is taken as its ISBN-13; a 977 ISSN, a price
    // code, a book's label and a wrong ISBN-10 are refused and named.
    void onlyIsbnsAreTaken() {
        const auto read = [](const QImage& picture) { return ReadPictureIsbns(picture); };
        PictureIsbns found =
            read(Barcode(ZXing::BarcodeFormat::Code128, "ISBN 0-451-52653-8", 2, 120));
        QCOMPARE(Isbns(found), QStringList{"9780451526533"});
        found = read(Barcode(ZXing::BarcodeFormat::QRCode, "080442957X", 4));
        QCOMPARE(Isbns(found), QStringList{"9780804429573"});
        for (const char* code : {"9771234567003", "2001234567893"}) {
            found = read(Ean13(code));
            QVERIFY(found.isbns.empty());
            QCOMPARE(Refused(found), QStringList{code});
        }
        for (const char* text : {"SW0042", "0451526539", "9780451526533"}) {
            found = read(Barcode(ZXing::BarcodeFormat::Code128, text, 2, 120));
            QVERIFY2(found.isbns.empty(), text);
            QCOMPARE(Refused(found), QStringList{text});
        }
    }

    // Two books on one photo give two ISBNs, a book and its ISSN neighbour one, a book's two
    // codes one; a page without a code gives nothing at all.
    void severalCodesAndNone() {
        PictureIsbns found = ReadPictureIsbns(OnBusyPage(
            {Ean13(kIsbns[0]), Turned(Ean13(kIsbns[1]), 10)}, {QPoint(60, 80), QPoint(700, 420)}));
        QCOMPARE(Isbns(found), (QStringList{QString::fromStdString(kIsbns[0]),
                                            QString::fromStdString(kIsbns[1])}));
        found = ReadPictureIsbns(OnBusyPage({Ean13(kIsbns[2]), Ean13("9771234567003")},
                                            {QPoint(60, 80), QPoint(700, 420)}));
        QCOMPARE(Isbns(found), QStringList{QString::fromStdString(kIsbns[2])});
        QCOMPARE(Refused(found), QStringList{"9771234567003"});
        // A book's EAN-13 and its ISBN-10 written in a QR code beside it: one ISBN.
        found = ReadPictureIsbns(
            OnBusyPage({Ean13(kIsbns[0]), Barcode(ZXing::BarcodeFormat::QRCode, "0451526538", 4)},
                       {QPoint(60, 80), QPoint(700, 420)}));
        QCOMPARE(Isbns(found), QStringList{QString::fromStdString(kIsbns[0])});
        for (quint32 seed = 1; seed <= 5; ++seed) {
            found = ReadPictureIsbns(OnBusyPage({}, {}, {1400, 1000}, seed));
            QVERIFY(found.isbns.empty());
            QVERIFY(found.refused.empty());
        }
        QVERIFY(ReadPictureIsbns(QImage()).isbns.empty());
    }
    // One line per image, its name then its ISBNs or "-", the status telling whether every image
    // held one; a file that is no image is named on standard error.
    void commandLine() {
        QTemporaryDir dir;
        const QString two = dir.filePath("doua.jpg");
        const QString none = dir.filePath("nimic.png");
        const QString issn = dir.filePath("revista.png");
        QVERIFY(OnBusyPage({Ean13(kIsbns[0]), Ean13(kIsbns[3])}, {{60, 80}, {700, 420}})
                    .save(two, "JPEG", 85));
        QVERIFY(OnBusyPage({}, {}).save(none));
        QVERIFY(Ean13("9771234567003").save(issn));
        const auto run = [](const QStringList& images) {
            QProcess process;
            process.start(SHELFWARDEN_BINARY, QStringList{"--read-barcodes"} + images);
            process.waitForFinished(60000);
            return std::tuple(process.exitCode(),
                              QString::fromUtf8(process.readAllStandardOutput()),
                              QString::fromUtf8(process.readAllStandardError()));
        };
        auto [status, out, err] = run({two});
        QCOMPARE(status, 0);
        QCOMPARE(out, two + "\t9780451526533\t9786061234561\n");
        std::tie(status, out, err) = run({two, none, issn, dir.filePath("lipsa.jpg")});
        QCOMPARE(status, 1);
        QCOMPARE(out, two + "\t9780451526533\t9786061234561\n" + none + "\t-\n" + issn + "\t-\n" +
                          dir.filePath("lipsa.jpg") + "\t-\n");
        QVERIFY(err.contains("9771234567003 is no ISBN"));
        QVERIFY(err.contains("lipsa.jpg: not an image that can be read"));
    }
};

QTEST_MAIN(TestBarcodeReading)
#include "tst_barcodereading.moc"
