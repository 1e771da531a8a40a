#include "support/CoreTestSupport.h"
#include "view/BookRowTable.h"
#include "view/BookRowTexts.h"
#include "view/ListingQuery.h"

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
// Books whose texts tell the Romanian order from the byte order, and whose values tie.
void AddTrickyBooks(const std::string& path) {
    RawCatalogue raw(path);
    QVERIFY(raw.exec("PRAGMA ignore_check_constraints = ON"));
    // titlu, autor, editura, tip, pagini, capitole, volume, publicare, publicare_volum, citita,
    // calificativ, stare
    const char* rows[] = {
        "'ana', 'Ștefan', 'Ion', 0, 100, 1, 1, 1990, 1990, -1, 0, 0",
        "'Ana', 'Stefan', 'ion', 1, NULL, 2, 1, NULL, 1991, 0, 1, 1",
        "'ăna', 'stefan', 'Îon', NULL, 100, 3, 2, 1990, NULL, NULL, NULL, NULL",
        "'âna', 'Şerban', '', 0, 7, NULL, 2, -5, 1990, -1, 6, 0",
        "'îna', 'Șerban', NULL, 1, 1000, 1, NULL, 2000, 1990, 0, 2, 1",
        "'țara', 'serban', 'Ion', 0, 100, 1, 1, 1990, 1990, -1, 0, 0",
        "'ţara', NULL, 'ion', 0, 100, 1, 1, 1990, 1990, -1, 0, 0",
        "'tara', '', 'Zeta', 1, 55, 1, 1, 1990, 1990, 0, 5, 0",
        "'', 'ana', 'zeta', 0, 100, 2, 1, 1990, 1990, -1, 0, 1",
        "NULL, 'Ana', 'Zeta', 1, 100, 1, 3, 1990, 1990, 0, 3, 0",
        "'ana', 'Ștefan', 'Ion', 0, 100, 1, 1, 1990, 1990, -1, 0, 0",
        "'Ana', 'Ștefan', 'Ion', 0, 100, 1, 1, 1990, 1990, -1, 0, 0",
        "'șa', 'ăla', 'ala', 1, 20, 5, 1, 1800, 1800, 0, 4, 1",
        "'şa', 'Ala', 'Ăla', 0, 20, 5, 1, 1800, 1800, -1, 4, 0",
        "'sa', 'ala', 'âla', 1, 20, 5, 1, 1800, 1800, 0, 4, 1",
    };
    for (const char* row : rows) {
        QVERIFY(raw.exec(std::string("INSERT INTO books(titlu, autor, editura, tip, pagini, "
                                     "capitole, volume, publicare, publicare_volum, citita, "
                                     "calificativ, stare) VALUES (") +
                         row + ")"));
    }
}

// The identifiers a statement lists, in order: as the list reads it, or as the engine orders it.
enum class Sorter { List, Engine };
QString ListedIds(CBookDatabase& db, const std::string& statement, Sorter sorter) {
    RecordingSink sink;
    std::optional<BookRowTable> table;
    if (sorter == Sorter::List) {
        auto listing = ListingQuery::Open(db, statement);
        table = listing ? listing->Read(Types(), States(), sink.sink()) : std::nullopt;
    } else if (auto set = db.OpenQuery(statement, RecordReading::Forward)) {
        table = ReadBookRows(*set, Types(), States(), sink.sink());
    }
    if (!table || !sink.take().empty()) {
        return "not listed";
    }
    QStringList listed;
    for (int row = 0; row < table->RowCount(); ++row) {
        listed << QString::number(table->Id(row));
    }
    return listed.join(' ');
}

} // namespace

class TestBookRowTexts : public QObject {
    Q_OBJECT
private slots:
    void valuesNoReaderCanNameShowEmpty() {
        TestCatalogue c;
        // One huge value is cut to the list's limit, between characters.
        QVERIFY(RawCatalogue(c.path("test.mdb"))
                    .exec("PRAGMA ignore_check_constraints = ON;"
                          "INSERT INTO books(titlu) VALUES (NULL);"
                          "INSERT INTO books(titlu, pagini, calificativ, tip, citita) "
                          "VALUES (42, 'many', 200, -5, 1);"
                          "INSERT INTO books(titlu, autor) "
                          "VALUES (replace(printf('%.3000c', 'x'), 'x', 'ă'), 'short')"));
        auto set = c.db->OpenQuery("SELECT * FROM books ORDER BY id");
        const BookRowTable table = BookRowTable::FromRecordset(*set, Types(), States());
        QCOMPARE(table.Row(0), (RowTexts{"0001", "", "", "", "", "", "", "", "", "", "", "", ""}));
        QCOMPARE(table.Row(1),
                 (RowTexts{"0002", "42", "", "", "[nedefinit]", "", "", "", "", "", "Da", "", ""}));
        const std::string cut = QString(kListTextLimit, QChar(0x0103)).toStdString();
        QCOMPARE(table.Row(2),
                 (RowTexts{"0003", cut, "short", "", "", "", "", "", "", "", "", "", ""}));
    }

    // The identifiers listed by a header click, in order, ascending and descending, as listed
    // before the list read its rows straight from the engine and sorted texts by their keys; ties
    // by title both ways. The list's own sort and the engine's agree.
    void everyColumnSortsTrickyTextsAsBefore() {
        TestCatalogue c;
        AddTrickyBooks(c.path("test.mdb"));
        const char* expected[kBookColumnCount][2] = {
            {"1 2 3 4 5 6 7 8 9 10 11 12 13 14 15", "15 14 13 12 11 10 9 8 7 6 5 4 3 2 1"},
            {"10 9 1 11 2 12 3 4 5 15 14 13 8 7 6", "6 7 8 13 14 15 5 4 3 2 12 1 11 9 10"},
            {"7 8 15 14 9 10 13 6 3 2 4 5 1 11 12", "1 11 12 5 4 2 3 6 13 10 9 14 15 8 7"},
            {"5 4 13 14 15 2 7 1 11 12 6 3 9 10 8", "10 8 9 3 1 11 12 6 2 7 15 14 13 4 5"},
            {"3 9 1 11 12 4 14 7 6 10 2 5 15 13 8", "10 2 5 15 13 8 9 1 11 12 4 14 7 6 3"},
            {"2 4 15 14 13 8 10 9 1 11 12 3 7 6 5", "5 10 9 1 11 12 3 7 6 8 15 14 13 4 2"},
            {"4 10 1 11 12 5 8 7 6 9 2 3 15 14 13", "15 14 13 3 9 2 10 1 11 12 5 8 7 6 4"},
            {"5 9 1 11 2 12 15 14 13 8 7 6 3 4 10", "10 3 4 9 1 11 2 12 15 14 13 8 7 6 5"},
            {"2 4 15 14 13 10 9 1 11 12 3 8 7 6 5", "5 10 9 1 11 12 3 8 7 6 15 14 13 4 2"},
            {"3 15 14 13 10 9 1 11 12 4 5 8 7 6 2", "2 10 9 1 11 12 4 5 8 7 6 15 14 13 3"},
            {"3 9 1 11 12 4 14 7 6 10 2 5 15 13 8", "10 2 5 15 13 8 9 1 11 12 4 14 7 6 3"},
            {"3 9 1 11 12 7 6 2 5 10 15 14 13 8 4", "4 8 15 14 13 10 5 2 9 1 11 12 7 6 3"},
            {"3 10 1 11 12 4 14 8 7 6 9 2 5 15 13", "9 2 5 15 13 10 1 11 12 4 14 8 7 6 3"},
        };
        for (int column = 0; column < kBookColumnCount; ++column) {
            for (bool descending : {false, true}) {
                const std::string statement =
                    SortStatement("SELECT * FROM books", column, descending);
                for (Sorter sorter : {Sorter::List, Sorter::Engine}) {
                    const QString listed = ListedIds(*c.db, statement, sorter);
                    QVERIFY2(listed == expected[column][descending ? 1 : 0],
                             qPrintable(QString::fromStdString(statement) + ": " + listed));
                }
            }
        }
        // An order of more terms than a header click gives agrees as well.
        const std::string three = "SELECT * FROM books ORDER BY publicare, autor DESC, titlu DESC";
        QCOMPARE(ListedIds(*c.db, three, Sorter::List), ListedIds(*c.db, three, Sorter::Engine));
    }

    // Values a file may hold that the program never writes are ordered as the engine orders
    // them, whether the list sorts them itself or leaves them to the engine.
    void oddValuesSortAsTheEngineSortsThem_data() {
        QTest::addColumn<QString>("odd");
        QTest::newRow("texts among numbers")
            << "UPDATE books SET pagini = 'multe', tip = 'x', citita = '' WHERE id IN (3, 7);"
               "UPDATE books SET publicare = 'MCM' WHERE id = 8";
        QTest::newRow("whole numbers far apart")
            << "UPDATE books SET pagini = 9223372036854775807, publicare = -9223372036854775807 "
               "WHERE id = 2; UPDATE books SET pagini = -9223372036854775807 WHERE id = 4";
        QTest::newRow("every whole number")
            << "UPDATE books SET pagini = 9223372036854775807 WHERE id = 2;"
               "UPDATE books SET pagini = -9223372036854775807 - 1, titlu = NULL WHERE id = 4";
        QTest::newRow("reals") << "UPDATE books SET pagini = 99.5, calificativ = 0.5 WHERE id = 5;"
                                  "UPDATE books SET pagini = 100.0 WHERE id = 6";
        QTest::newRow("blobs") << "UPDATE books SET titlu = x'00ff', autor = x'41' WHERE id = 9;"
                                  "UPDATE books SET pagini = x'' WHERE id = 1";
        QTest::newRow("ill-formed texts")
            << "UPDATE books SET titlu = CAST(x'61ff62' AS TEXT) WHERE id = 3;"
               "UPDATE books SET autor = CAST(x'c3' AS TEXT) WHERE id IN (1, 2)";
    }

    void oddValuesSortAsTheEngineSortsThem() {
        QFETCH(QString, odd);
        TestCatalogue c;
        AddTrickyBooks(c.path("test.mdb"));
        QVERIFY(RawCatalogue(c.path("test.mdb"))
                    .exec("PRAGMA ignore_check_constraints = ON;" + odd.toStdString()));
        for (int column = 0; column < kBookColumnCount; ++column) {
            for (bool descending : {false, true}) {
                const std::string statement =
                    SortStatement("SELECT * FROM books WHERE id <> 11", column, descending);
                const QString engine = ListedIds(*c.db, statement, Sorter::Engine);
                QVERIFY2(engine.count(' ') == 13, qPrintable(engine));
                QVERIFY2(ListedIds(*c.db, statement, Sorter::List) == engine, statement.c_str());
            }
        }
    }

    void aBrokenListingIsReportedOnce_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("statement");
        QTest::addColumn<bool>("opens");
        QTest::newRow("a column missing")
            << "DROP INDEX IF EXISTS books_autor; ALTER TABLE books DROP COLUMN autor"
            << "SELECT * FROM books ORDER BY titlu" << true;
        // The engine's sort meets the damage when the listing opens; a listing read in place,
        // and one the list sorts itself, meet it halfway through their rows.
        QTest::newRow("a damaged page, sorted by the engine")
            << "page"
            << "SELECT * FROM books ORDER BY length(titlu)" << false;
        QTest::newRow("a damaged page, sorted by the list")
            << "page"
            << "SELECT * FROM books ORDER BY autor DESC, titlu" << true;
        QTest::newRow("a damaged page, read in place") << "page"
                                                       << "SELECT * FROM books" << true;
    }

    void aBrokenListingIsReportedOnce() {
        QFETCH(QString, damage);
        QFETCH(QString, statement);
        QFETCH(bool, opens);
        TestCatalogue c;
        c.db->Close();
        const std::string file = c.path("test.mdb");
        {
            RawCatalogue raw(file);
            QVERIFY(raw.exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE "
                             "i < 300) INSERT INTO books(titlu, autor, editura, tip, pagini, "
                             "capitole, volume, publicare, publicare_volum, citita, calificativ, "
                             "stare) SELECT printf('Carte %03d', i), 'Autor', 'Editura', 0, 100, "
                             "1, 1, 2000, 2000, 0, 6, 0 FROM n"));
            if (damage != "page") {
                QVERIFY(raw.exec(damage.toStdString()));
            }
        }
        if (damage == "page") {
            const long page = std::stol(
                RawCatalogue(file).one("SELECT max(pageno) FROM dbstat WHERE name = 'books' AND "
                                       "pagetype = 'leaf'"));
            QFile f(QString::fromStdString(file));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.seek((page - 1) * 4096));
            f.write(QByteArray(4096, '\xff'));
        }
        RecordingSink sink;
        CBookDatabase db(sink.sink());
        QVERIFY(db.Open(file));
        auto listing = ListingQuery::Open(db, statement.toStdString());
        QCOMPARE(listing != nullptr, opens);
        if (listing) {
            QVERIFY(!listing->Read(Types(), States(), sink.sink()));
        }
        QCOMPARE(sink.take(), Texts{"Nu se pot selecta inregistrarile!"});
    }

    void recordTextsAndBack() {
        BookRecord r =
            MakeBook("Dune", "Herbert", "Nemira",
                     {.tip = 2, .pagini = 600, .publicare = -44, .citita = 1, .calificativ = 0});
        r.id = 7;
        RowTexts texts = RowTextsFromRecord(r, Types(), States());
        texts[0] = FormatBookId(r.id);
        QCOMPARE(texts, (RowTexts{"0007", "Dune", "Herbert", "Nemira", "Poezii", "600", "1", "1",
                                  "-44", "1", "Da", "Deosebita", "Acasa"}));
        const BookRecord back = RecordFromRowTexts(texts, Types(), States());
        QVERIFY(SameUserFields(back, r));
        QCOMPARE(back.id, 7);

        texts[4] = "[nedefinit]";
        texts[12] = "[nedefinita]";
        const BookRecord undefined = RecordFromRowTexts(texts, Types(), States());
        QCOMPARE((std::pair{undefined.tip, undefined.stare}), (std::pair{-1, -1}));

        BookRowTable table;
        table.AppendRow(texts);
        BookRecord changed = r;
        changed.titlu = "Dune Messiah";
        table.SetRowTexts(0, RowTextsFromRecord(changed, Types(), States()));
        QCOMPARE(table.Row(0), (RowTexts{"0007", "Dune Messiah", "Herbert", "Nemira", "Poezii",
                                         "600", "1", "1", "-44", "1", "Da", "Deosebita", "Acasa"}));
        // An unknown number is an empty cell, and an empty cell an unknown number.
        changed.pagini = kUnknownNumber;
        const RowTexts unknown = RowTextsFromRecord(changed, Types(), States());
        QCOMPARE(unknown[5], std::string());
        QVERIFY(IsUnknown(RecordFromRowTexts(unknown, Types(), States()).pagini));
        QCOMPARE(
            (std::vector{LeadingInteger(" 12abc"), LeadingInteger("-0042"), LeadingInteger("x")}),
            (std::vector<std::int64_t>{12, -42, 0}));
    }
};

QTEST_APPLESS_MAIN(TestBookRowTexts)
#include "tst_bookrowtexts.moc"
