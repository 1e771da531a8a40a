#include "barcode/BarcodeReading.h"
#include "barcode/BookCode.h"
#include "barcode/Code128.h"
#include "barcode/LabelSheet.h"

#include <QTest>
#include <cmath>

namespace {

// "x y width height" in millimetres, to a hundredth: the tenth is what is checked.
QString Mm(const LabelRect& r) {
    return QString::asprintf("%.2f %.2f %.2f %.2f", r.x, r.y, r.width, r.height);
}

QStringList Placed(const std::vector<PlacedLabel>& labels) {
    QStringList out;
    for (const PlacedLabel& label : labels) {
        out << QString::number(label.page) + ": " + Mm(label.rect);
    }
    return out;
}

// The bars as a picture of 3 pixels a module, 60 tall, with a quiet zone, and read back.
std::vector<ReadCode> ReadBack(const std::vector<bool>& modules) {
    const int module = 3;
    const int quiet = 12 * module;
    const int width = static_cast<int>(modules.size()) * module + 2 * quiet;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * 60, 255);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < static_cast<int>(modules.size()) * module; ++x) {
            if (modules[static_cast<std::size_t>(x / module)]) {
                pixels[static_cast<std::size_t>(y * width + quiet + x)] = 0;
            }
        }
    }
    return ReadBarcodes({pixels.data(), width, 60, width});
}

} // namespace

class TestLabelSheet : public QObject {
    Q_OBJECT
private slots:
    // The 3 x 8 sheet: 70 x 37 mm labels edge to edge below a half-millimetre margin; the
    // 3 x 7 one: 63.5 x 38.1 mm, 2.5 mm apart side by side, inside its margins.
    void presetSheets() {
        const LabelSheet eight = Sheet3x8();
        QCOMPARE(Mm(LabelAt(eight, 0)), QString("0.00 0.50 70.00 37.00"));
        QCOMPARE(Mm(LabelAt(eight, 2)), QString("140.00 0.50 70.00 37.00"));
        QCOMPARE(Mm(LabelAt(eight, 4)), QString("70.00 37.50 70.00 37.00"));
        QCOMPARE(Mm(LabelAt(eight, 23)), QString("140.00 259.50 70.00 37.00"));
        const LabelSheet seven = Sheet3x7();
        QCOMPARE(Mm(LabelAt(seven, 0)), QString("7.25 15.15 63.50 38.10"));
        QCOMPARE(Mm(LabelAt(seven, 1)), QString("73.25 15.15 63.50 38.10"));
        QCOMPARE(Mm(LabelAt(seven, 20)), QString("139.25 243.75 63.50 38.10"));
        // The last label ends at the bottom margin.
        const LabelRect last = LabelAt(seven, 20);
        QVERIFY(std::abs(last.y + last.height - (297 - 15.15)) < 0.05);
        QVERIFY(SheetProblem(eight).empty());
        QVERIFY(SheetProblem(seven).empty());
    }

    // A sheet of the user's: 2 x 5 with margins and gaps of its own, each side counted.
    void customSheet() {
        LabelSheet sheet;
        sheet.rows = 5;
        sheet.columns = 2;
        sheet.top = 10;
        sheet.bottom = 12;
        sheet.left = 8;
        sheet.right = 6;
        sheet.columnGap = 4;
        sheet.rowGap = 3;
        // (210 - 8 - 6 - 4) / 2 = 96; (297 - 10 - 12 - 4 * 3) / 5 = 52.6.
        QCOMPARE(Mm(LabelAt(sheet, 0)), QString("8.00 10.00 96.00 52.60"));
        QCOMPARE(Mm(LabelAt(sheet, 1)), QString("108.00 10.00 96.00 52.60"));
        QCOMPARE(Mm(LabelAt(sheet, 9)), QString("108.00 232.40 96.00 52.60"));
        QVERIFY(SheetProblem(sheet).empty());
        sheet.columns = 30;
        QVERIFY(!SheetProblem(sheet).empty());
        sheet.columns = 2;
        sheet.rowGap = -1;
        QVERIFY(!SheetProblem(sheet).empty());
        sheet.rowGap = 0;
        sheet.rows = 0;
        QVERIFY(!SheetProblem(sheet).empty());
    }

    // "Incepe de la eticheta": a half-used sheet is filled from that label on, and the labels
    // go on at the top of the next sheet; a start outside the sheet starts at its first label.
    void startingLabel() {
        const LabelSheet sheet = Sheet3x8();
        QCOMPARE(Placed(PlaceLabels(sheet, 23, 4)),
                 (QStringList{"0: 70.00 259.50 70.00 37.00", "0: 140.00 259.50 70.00 37.00",
                              "1: 0.00 0.50 70.00 37.00", "1: 70.00 0.50 70.00 37.00"}));
        QCOMPARE(Placed(PlaceLabels(sheet, 1, 25)).size(), 25);
        QCOMPARE(Placed(PlaceLabels(sheet, 1, 25)).last(), QString("1: 0.00 0.50 70.00 37.00"));
        QCOMPARE(Placed(PlaceLabels(sheet, 0, 1)), QStringList{"0: 0.00 0.50 70.00 37.00"});
        QCOMPARE(Placed(PlaceLabels(sheet, 25, 1)), QStringList{"0: 0.00 0.50 70.00 37.00"});
    }

    // A book's code is "SW" and its identifier padded as the list pads it; a scan of it gives
    // the identifier back, and nothing else does.
    void bookCodes() {
        QCOMPARE(QString::fromStdString(BookCodeOf(42)), QString("SW0042"));
        QCOMPARE(QString::fromStdString(BookCodeOf(123456)), QString("SW123456"));
        QCOMPARE(BookIdOfCode("SW0042"), std::optional<std::int32_t>(42));
        QCOMPARE(BookIdOfCode("sw42\r\n"), std::optional<std::int32_t>(42));
        QCOMPARE(BookIdOfCode(" SW123456 "), std::optional<std::int32_t>(123456));
        for (const char* other : {"SW", "SW0", "SW-1", "SW12a", "9780451526533", "SX0042",
                                  "SW99999999999", "0042", ""}) {
            QVERIFY2(!BookIdOfCode(other), other);
        }
    }

    // The bars written for a code read back as that code, never as an ISBN.
    void code128ReadsBack() {
        for (std::int32_t id : {1, 42, 9999, 123456}) {
            const std::vector<ReadCode> codes = ReadBack(Code128Modules(BookCodeOf(id)));
            QCOMPARE(codes.size(), std::size_t(1));
            QCOMPARE(QString::fromStdString(codes[0].text), QString::fromStdString(BookCodeOf(id)));
            QVERIFY(IsbnsOf(codes).isbns.empty());
        }
        QVERIFY(Code128Modules("").empty());
        QVERIFY(Code128Modules("Ș").empty());
    }
};

QTEST_APPLESS_MAIN(TestLabelSheet)
#include "tst_labelsheet.moc"
