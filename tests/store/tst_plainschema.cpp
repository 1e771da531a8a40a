#include "store/CBookDatabase.h"
#include "support/CoreTestSupport.h"
#include "support/EarlierCatalogue.h"

namespace {
const std::string kInsertIon =
    "INSERT INTO types(tip) VALUES('Roman'), ('Poezie'); INSERT INTO states(stare) VALUES('Acasa');"
    "INSERT INTO books(titlu, autor, editura, tip, pagini, capitole, volume, publicare, "
    "publicare_volum, citita, calificativ, stare) VALUES"
    "('Ion', 'Liviu Rebreanu', 'Minerva', 0, 400, 20, 2, 1920, 1980, 1, 6, 0)";

// Writes an earlier catalogue holding `rows` and opens it as the program does, which rebuilds it.
bool Rebuilt(const std::string& path, const std::string& rows) {
    RecordingSink sink;
    CBookDatabase db(sink.sink());
    return WriteEarlierCatalogue(path, rows) && db.Open(path) && sink.messages.empty();
}
} // namespace

// A catalogue written when the text order was declared in the file is rebuilt plain on open.
class TestPlainSchema : public QObject {
    Q_OBJECT
private slots:
    void anEarlierCatalogueIsRebuiltPlainKeepingRowsAndCounters() {
        TestCatalogue fresh;
        const std::string path = fresh.path("earlier.mdb");
        QVERIFY(Rebuilt(
            path, kInsertIon + ",('Ştefan', 'Ș', 'E', 1, 1, 1, 1, 1, 1, 0, 0, 0),"
                               "('abc', 'a', 'e', 1, 1, 1, 1, 1, 1, 0, 0, 0),"
                               "('gone', 'x', 'y', 0, 1, 1, 1, 1, 1, 0, 0, 0);"
                               "DELETE FROM books WHERE id = 4; DELETE FROM types WHERE id = 2"));
        RawCatalogue raw(path);
        const std::string schema = "SELECT type, name, sql FROM sqlite_master ORDER BY name";
        QCOMPARE(raw.rows(schema), RawCatalogue(fresh.path("test.mdb")).rows(schema));
        QCOMPARE(raw.one("PRAGMA integrity_check"), std::string("ok"));
        QCOMPARE(raw.rows("SELECT * FROM books ORDER BY id"),
                 (Texts{"1|Ion|Liviu Rebreanu|Minerva|0|400|20|2|1920|1980|-1|6|0",
                        "2|Ştefan|Ș|E|1|1|1|1|1|1|0|0|0", "3|abc|a|e|1|1|1|1|1|1|0|0|0"}));
        QCOMPARE(raw.rows("SELECT * FROM types"), Texts{"1|Roman"});
        QCOMPARE(raw.rows("SELECT * FROM states"), Texts{"1|Acasa"});
        QCOMPARE(raw.rows("SELECT * FROM sqlite_sequence ORDER BY name"),
                 (Texts{"books|4", "states|1", "types|2"}));

        RecordingSink sink;
        CBookDatabase db(sink.sink());
        QVERIFY(db.Open(path));
        QVERIFY(db.InsertBook("Nou", "a", "e", 0, 1, 1, 1, 1, 1, 1, 0, 0));
        QCOMPARE(db.GetLastInsertedId(), 5);
        QVERIFY(db.InsertType("SF"));
        QCOMPARE(db.GetLastInsertedId(), 3);
        QCOMPARE(raw.one("SELECT citita FROM books WHERE id = 5"), std::string("-1"));
        QVERIFY(sink.messages.empty());
    }

    // A person's own tables beside the catalogue's keep referring to them after the rebuild.
    void anEarlierCatalogueKeepsTheReferencesOfTablesBesideIt_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("parent"); // the catalogue table it refers to
        QTest::newRow("notes of a book, deleted with it")
            << "CREATE TABLE notes (id INTEGER PRIMARY KEY, ref INTEGER REFERENCES books(id) ON "
               "DELETE CASCADE, text TEXT)"
            << "books";
        QTest::newRow("shelves of a type, deleted with it")
            << "CREATE TABLE notes (id INTEGER PRIMARY KEY, ref INTEGER REFERENCES \"types\" "
               "ON DELETE CASCADE, text TEXT)"
            << "types";
        QTest::newRow("places of a state, as a table constraint")
            << "CREATE TABLE notes (id INTEGER PRIMARY KEY, ref INTEGER, text TEXT, FOREIGN "
               "KEY (ref) REFERENCES states(id) ON DELETE CASCADE)"
            << "states";
    }

    void anEarlierCatalogueKeepsTheReferencesOfTablesBesideIt() {
        QFETCH(QString, table);
        QFETCH(QString, parent);
        TestCatalogue fresh;
        const std::string path = fresh.path("earlier.mdb");
        QVERIFY(Rebuilt(path, table.toStdString() + ";" + kInsertIon +
                                  ";INSERT INTO notes(ref, text) VALUES (1, 'first')"));
        RawCatalogue raw(path);
        QCOMPARE(raw.one("SELECT sql FROM sqlite_master WHERE name = 'notes'"),
                 table.toStdString());
        QCOMPARE(raw.one("SELECT count(*) FROM sqlite_master WHERE sql LIKE '%earlier%' OR sql "
                         "LIKE '%plain_schema%' OR sql LIKE '%COLLATE RO_ICU%'"),
                 std::string("0"));
        QCOMPARE(raw.rows("PRAGMA foreign_key_check"), Texts{});
        QVERIFY(raw.exec("PRAGMA foreign_keys = ON"));
        // A reference to a row that is there is taken, one to a missing row refused.
        QVERIFY(raw.exec("INSERT INTO notes(ref, text) VALUES (1, 'second')"));
        QVERIFY(!raw.exec("INSERT INTO notes(ref, text) VALUES (7, 'nowhere')"));
        // Deleting the row deletes what refers to it.
        QVERIFY(raw.exec("DELETE FROM " + parent.toStdString() + " WHERE id = 1"));
        QCOMPARE(raw.one("SELECT count(*) FROM notes"), std::string("0"));
        QCOMPARE(raw.one("PRAGMA integrity_check"), std::string("ok"));
    }
};

QTEST_APPLESS_MAIN(TestPlainSchema)
#include "tst_plainschema.moc"
