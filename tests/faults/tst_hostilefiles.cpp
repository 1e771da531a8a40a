#include "support/CatalogueWorkout.h"
#include "support/CoreTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QRandomGenerator>

namespace {
// A good catalogue with some books, types and states, altered by `sql` run straight on the file.
QByteArray Catalogue(const std::string& sql, int books = 30) {
    TestCatalogue c;
    c.db->InsertType("Roman");
    c.db->InsertState("Acasa");
    for (int i = 0; i < books; ++i) {
        c.add(MakeBook("Book " + std::to_string(i), "Author " + std::to_string(i % 4)));
    }
    c.db->Close();
    if (!sql.empty()) {
        RawCatalogue raw(c.path("test.mdb"));
        raw.exec("PRAGMA ignore_check_constraints = ON");
        if (!raw.exec(sql)) {
            qFatal("corpus statement failed: %s", sql.c_str());
        }
    }
    return FileBytes(c.path("test.mdb"));
}

QByteArray OtherDatabase() {
    QTemporaryDir dir;
    const std::string path = dir.filePath("other.db").toStdString();
    sqlite3* created = nullptr;
    sqlite3_open(path.c_str(), &created);
    sqlite3_close(created);
    {
        RawCatalogue raw(path);
        raw.exec("CREATE TABLE Customers(CustomerID TEXT PRIMARY KEY, CompanyName TEXT, City TEXT);"
                 "INSERT INTO Customers VALUES ('ALFKI', 'Alfreds Futterkiste', 'Berlin');"
                 "CREATE TABLE \"Order Details\"(OrderID INTEGER, Quantity INTEGER)");
    }
    return FileBytes(path);
}
} // namespace

class TestHostileFiles : public QObject {
    Q_OBJECT
private slots:
    void everyFileEndsWorkingOrInMessages_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("opens");
        QRandomGenerator rng(424242);
        QByteArray random(16384, '\0');
        for (auto& b : random) {
            b = static_cast<char>(rng.bounded(256));
        }
        const QByteArray good = Catalogue("", 300);
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("text") << QByteArray("titlu,autor\nDune,Herbert\n") << false;
        QTest::newRow("random bytes") << random << false;
        QTest::newRow("random after a header") << good.left(100) + random << false;
        QTest::newRow("truncated") << good.left(good.size() / 2) << false;
        QTest::newRow("header only") << good.left(100) << false;
        QTest::newRow("another kind of database") << OtherDatabase() << true;
        QTest::newRow("types missing") << Catalogue("DROP TABLE types") << true;
        QTest::newRow("all tables missing")
            << Catalogue("DROP TABLE types; DROP TABLE states; DROP TABLE books") << true;
        QTest::newRow("columns missing")
            << Catalogue("DROP TABLE books; CREATE TABLE books(id INTEGER PRIMARY KEY, titlu TEXT);"
                         "INSERT INTO books VALUES (1, 'Only a title')")
            << true;
        QTest::newRow("columns of other types")
            << Catalogue("DROP TABLE books; CREATE TABLE books(id REAL, titlu BLOB, autor INTEGER, "
                         "editura REAL,"
                         " tip TEXT, pagini BLOB, capitole REAL, volume TEXT, publicare BLOB, "
                         "publicare_volum REAL,"
                         " citita TEXT, calificativ REAL, stare BLOB);"
                         "INSERT INTO books VALUES (1.5, x'00ff', 7, 2.5, 'x', x'01', 1e300, 'v', "
                         "x'', -1e300, 'da', 3.7, x'02')")
            << true;
        QTest::newRow("NULL in every column")
            << Catalogue("INSERT INTO books DEFAULT VALUES; "
                         "INSERT INTO types(tip) VALUES (NULL); "
                         "INSERT INTO states(id, stare) VALUES (NULL, NULL)")
            << true;
        QTest::newRow("texts in number columns")
            << Catalogue("UPDATE books SET pagini = 'many', tip = 'SF', citita = 'yes', "
                         "calificativ = 'bun', "
                         "stare = 'acasa', id = id")
            << true;
        QTest::newRow("numbers out of range")
            << Catalogue("UPDATE books SET calificativ = 200, stare = 255, tip = -5, pagini = "
                         "9223372036854775807, "
                         "publicare = -9223372036854775807; UPDATE types SET id = 2147483647")
            << true;
        QTest::newRow("huge texts") << Catalogue("UPDATE books SET titlu = printf('%.100000c', "
                                                 "'x'), autor = printf('%.100000c', 'y'); "
                                                 "UPDATE types SET tip = printf('%.100000c', 'z')")
                                    << true;
        QTest::newRow("a table replaced by a view")
            << Catalogue(
                   "DROP TABLE books; CREATE VIEW books AS SELECT id, tip AS titlu FROM types")
            << false;
        QTest::newRow("views and triggers calling functions")
            << Catalogue(
                   "DROP TABLE types; CREATE VIEW types AS SELECT 1 AS id, "
                   "load_extension('/tmp/x') AS tip;"
                   "CREATE TRIGGER t AFTER INSERT ON books BEGIN SELECT load_extension('/tmp/x'); "
                   "END;"
                   "CREATE TRIGGER u BEFORE UPDATE ON books BEGIN SELECT fts3_tokenizer('x'); END")
            << false;
        for (int variant = 0; variant < 12; ++variant) {
            QByteArray flipped = good;
            for (int k = 0; k < 40; ++k) {
                const int at = 100 + static_cast<int>(rng.bounded(flipped.size() - 100));
                flipped[at] = static_cast<char>(flipped[at] ^ (1 << rng.bounded(8)));
            }
            QTest::newRow(qPrintable(QStringLiteral("bytes flipped %1").arg(variant)))
                << flipped << true;
        }
        QDirIterator regressions(QStringLiteral(CORPUS_DIR), QDir::Files);
        while (regressions.hasNext()) {
            const QString file = regressions.next();
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QTest::newRow(qPrintable("regression " + QFileInfo(file).fileName()))
                << f.readAll() << true;
        }
    }

    void everyFileEndsWorkingOrInMessages() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, opens);
        QTemporaryDir dir;
        const QString path = dir.filePath("hostile.mdb");
        WriteFile(path, bytes);
        RecordingSink sink;
        CBookDatabase db(sink.sink());
        // Flipped bytes may or may not leave a file SQLite accepts; every other row is known.
        const bool eitherWay = QByteArray(QTest::currentDataTag()).startsWith("bytes flipped") ||
                               QByteArray(QTest::currentDataTag()).startsWith("regression");
        const bool opened = db.Open(path.toStdString());
        QVERIFY(eitherWay || opened == opens);
        if (!opened) {
            const std::vector<std::string> said = sink.take();
            QCOMPARE(said.size(), std::size_t(1));
            QVERIFY(said[0].starts_with("Nu se poate deschide baza de date\n"));
            QVERIFY(!db.IsOpen());
            QCOMPARE(db.GetPath(), std::string());
            return;
        }
        WorkOutCatalogue(db);
        for (const std::string& m : sink.messages) {
            QVERIFY2(m.rfind("Nu se", 0) == 0, m.c_str()); // only the program's own messages
        }
        QVERIFY(db.Close());
    }

    void triggersAndViewsNotOfTheProgramAreRefusedByName_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a trigger deleting every book")
            << Catalogue("CREATE TRIGGER wipe AFTER INSERT ON books BEGIN DELETE FROM books; END")
            << "holds a trigger the program did not make: \"wipe\"";
        QTest::newRow("the program's trigger name with another body")
            << Catalogue("DROP TRIGGER books_citita_ins; CREATE TRIGGER books_citita_ins AFTER "
                         "INSERT ON books BEGIN DELETE FROM books; END")
            << "holds a trigger the program did not make: \"books_citita_ins\"";
        QTest::newRow("an endlessly recursive view named books")
            << Catalogue("DROP TABLE books; CREATE VIEW books AS WITH RECURSIVE r(n) AS (SELECT 1 "
                         "UNION ALL SELECT n + 1 FROM r) SELECT n AS id FROM r")
            << "holds a view in place of its table: \"books\"";
        QTest::newRow("a view named Types")
            << Catalogue("DROP TABLE types; CREATE VIEW Types AS SELECT 1 AS id, 'x' AS tip")
            << "holds a view in place of its table: \"Types\"";
        QTest::newRow("an index the user added")
            << Catalogue("CREATE INDEX by_pages ON books(pagini)") << QString();
    }

    void triggersAndViewsNotOfTheProgramAreRefusedByName() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath("hostile.mdb");
        WriteFile(path, bytes);
        CBookDatabase db(nullptr);
        QCOMPARE(db.Open(path.toStdString()), reason.isEmpty());
        QCOMPARE(QString::fromStdString(db.LastFailure()), reason);
        QCOMPARE(FileBytes(path.toStdString()), bytes);
    }

    void valuesNoListNamesShowEmptyAndTheRestStillLists() {
        TestCatalogue c;
        c.db->Close();
        {
            RawCatalogue raw(c.path("test.mdb"));
            raw.exec("PRAGMA ignore_check_constraints = ON");
            raw.exec(
                "INSERT INTO books(titlu, calificativ, stare, tip) VALUES ('Odd', 200, 255, -5)");
            raw.exec("INSERT INTO books(titlu) VALUES ('Sparse')");
        }
        RecordingSink sink;
        CBookDatabase db(sink.sink());
        QVERIFY(db.Open(c.path("test.mdb")));
        QCOMPARE(WorkOutCatalogue(db), 2);
        QVERIFY(sink.messages.empty());
    }
};

QTEST_APPLESS_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
