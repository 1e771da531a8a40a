#include "support/CoreTestSupport.h"
#include "support/RawCatalogue.h"
#include "view/BookRowTable.h"
#include "view/BookRowTexts.h"
#include <QTest>

namespace {
LookupList Types() {
    LookupList l;
    l.Add(LookupEntry(2, "Poezii"));
    l.Add(LookupEntry(1, "Roman"));
    return l;
}
LookupList States() {
    LookupList l;
    l.Add(LookupEntry(1, "Acasa"));
    return l;
}
std::vector<std::string> Row(const BookRowTable& t, int row) {
    std::vector<std::string> out;
    for (int c = 0; c < kBookColumnCount; ++c) {
        out.emplace_back(t.Text(row, c));
    }
    return out;
}
} // namespace

class TestBookRowTexts : public QObject {
    Q_OBJECT
private slots:
    void valuesNoReaderCanNameShowEmpty() {
        TestCatalogue c;
        {
            RawCatalogue raw(c.path("test.mdb"));
            QVERIFY(raw.exec("PRAGMA ignore_check_constraints = ON"));
            QVERIFY(raw.exec("INSERT INTO books(titlu) VALUES (NULL)"));
            QVERIFY(raw.exec("INSERT INTO books(titlu, pagini, calificativ, tip, citita) "
                             "VALUES (42, 'many', 200, -5, 1)"));
            // One huge value is cut to the list's limit, between characters.
            QVERIFY(raw.exec("INSERT INTO books(titlu, autor) "
                             "VALUES (replace(printf('%.3000c', 'x'), 'x', 'ă'), 'short')"));
        }
        auto set = c.db->OpenQuery("SELECT * FROM books ORDER BY id");
        const BookRowTable table = BookRowTable::FromRecordset(*set, Types(), States());
        QCOMPARE(Row(table, 0), (std::vector<std::string>{"0001", "", "", "", "", "", "", "", "",
                                                          "", "", "", ""}));
        QCOMPARE(table.Text(1, 1), std::string_view("42"));
        QCOMPARE(table.Text(1, 5), std::string_view(""));
        QCOMPARE(table.Text(1, 11), std::string_view(""));
        QCOMPARE(table.Text(1, 4), std::string_view("[nedefinit]"));
        QCOMPARE(table.Text(1, 10), std::string_view("Da"));
        std::string cut;
        for (std::size_t i = 0; i < kListTextLimit; ++i) {
            cut += "ă";
        }
        QCOMPARE(table.Text(2, 1), std::string_view(cut));
        QCOMPARE(table.Text(2, 2), std::string_view("short"));
    }

    void recordTextsAndBack() {
        BookRecord r = MakeBook("Dune", "Herbert", "Nemira");
        r.id = 7;
        r.tip = 2;
        r.stare = 1;
        r.pagini = 600;
        r.publicare = -44;
        r.citita = 1;
        r.calificativ = 0;
        RowTexts texts = RowTextsFromRecord(r, Types(), States());
        QCOMPARE(texts[4], std::string("Poezii"));
        QCOMPARE(texts[10], std::string("Da"));
        QCOMPARE(texts[11], std::string("Deosebita"));
        texts[0] = FormatBookId(r.id);
        QCOMPARE(texts[0], std::string("0007"));
        const BookRecord back = RecordFromRowTexts(texts, Types(), States());
        QVERIFY(SameUserFields(back, r));
        QCOMPARE(back.id, 7);

        texts[4] = "[nedefinit]";
        texts[12] = "[nedefinita]";
        const BookRecord undefined = RecordFromRowTexts(texts, Types(), States());
        QCOMPARE(undefined.tip, -1);
        QCOMPARE(undefined.stare, -1);

        BookRowTable table;
        table.AppendRow(texts);
        BookRecord changed = r;
        changed.titlu = "Dune Messiah";
        table.SetRowTexts(0, RowTextsFromRecord(changed, Types(), States()));
        QCOMPARE(table.Text(0, 0), std::string_view("0007"));
        QCOMPARE(table.Text(0, 1), std::string_view("Dune Messiah"));
        QCOMPARE(LeadingInteger(" 12abc"), 12);
        QCOMPARE(LeadingInteger("-0042"), -42);
        QCOMPARE(LeadingInteger("x"), 0);
    }
};

QTEST_APPLESS_MAIN(TestBookRowTexts)
#include "tst_bookrowtexts.moc"
