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

// The cases of hostile-statements.sql: its name and how opening it ends, then the statement.
struct Hostile {
    QString name;
    QString outcome;
    std::string sql;
};
std::vector<Hostile> HostileCases() {
    QFile file(QStringLiteral(HOSTILE_STATEMENTS));
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", HOSTILE_STATEMENTS);
    }
    std::vector<Hostile> out;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith("-- ") && line.contains(" | ")) {
            out.push_back({line.mid(3).section(" | ", 0, 0), line.section(" | ", 1), {}});
        } else if (!out.empty() && !line.startsWith("--")) {
            out.back().sql += line.toStdString() + "\n";
        }
    }
    return out;
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
        for (const Hostile& h : HostileCases()) {
            QTest::newRow(qPrintable(h.name)) << Catalogue(h.sql) << (h.outcome == "opens");
        }
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

    // A catalogue refused for what it holds is refused naming it; one that opens is not written.
    void aRefusalNamesWhatTheCatalogueHolds_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        for (const Hostile& h : HostileCases()) {
            if (h.outcome != "refused") {
                QTest::newRow(qPrintable(h.name))
                    << Catalogue(h.sql) << (h.outcome == "opens" ? QString() : h.outcome);
            }
        }
    }

    void aRefusalNamesWhatTheCatalogueHolds() {
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
