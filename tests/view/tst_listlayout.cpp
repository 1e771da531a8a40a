#include "view/ListLayout.h"

#include <QTest>

class TestListLayout : public QObject {
    Q_OBJECT
private slots:
    // Titlu, Autor and Editura take the room over and give it back down to their own widths;
    // a split the user made between them stays.
    void widthsFitTheRoom() {
        const ColumnNumbers start = DefaultListLayout().widths; // 1085 pixels in all
        ColumnNumbers userSplit = start;
        userSplit[1] = 400;
        const std::tuple<ColumnNumbers, int, std::array<int, 3>> cases[] = {
            {start, 1085, {150, 130, 100}},
            {start, 1465, {300, 260, 200}},
            {start, 900, {150, 130, 100}},
            {FitColumnWidths(start, 1465), 1085, {150, 130, 100}},
            {userSplit, 1335 + 190, {475, 195, 150}},
        };
        for (const auto& [widths, available, expected] : cases) {
            const ColumnNumbers fitted = FitColumnWidths(widths, available);
            QCOMPARE((std::array<int, 3>{fitted[1], fitted[2], fitted[3]}), expected);
            QCOMPARE(fitted[0], widths[0]);
            QCOMPARE(fitted[12], widths[12]);
        }
    }

    // What the settings store gives back is used only when it is a whole, sound list.
    void storedListsAreChecked() {
        const ColumnNumbers order = {12, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
        QCOMPARE(ParseColumnOrder(JoinColumnNumbers(order)), std::optional(order));
        const ColumnNumbers widths = DefaultListLayout().widths;
        QCOMPARE(ParseColumnWidths(JoinColumnNumbers(widths)), std::optional(widths));
        for (const char* bad : {"", "0,1,2,3,4,5,6,7,8,9,10,11", "0,1,2,3,4,5,6,7,8,9,10,11,11",
                                "0,1,2,3,4,5,6,7,8,9,10,11,12,", "0,1,2,3,4,5,6,7,8,9,10,11,13",
                                "0,1,2,3,4,5,6,7,8,9,10,11,x"}) {
            QVERIFY2(!ParseColumnOrder(bad), bad);
        }
        QVERIFY(!ParseColumnWidths("50,150,130,100,80,50,55,50,80,80,80,100,0"));
    }
};

QTEST_APPLESS_MAIN(TestListLayout)
#include "tst_listlayout.moc"
