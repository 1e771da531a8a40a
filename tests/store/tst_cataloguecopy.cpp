#include "store/CatalogueCopy.h"
#include "support/CoreTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <sys/resource.h>

namespace {
void Fill(TestCatalogue& c) {
    QVERIFY(c.db->InsertType("Roman"));
    QVERIFY(c.db->InsertType("Poezii"));
    QVERIFY(c.db->DeleteType(1));
    QVERIFY(c.db->InsertType("SF")); // identifiers 2 and 3 remain
    QVERIFY(c.db->InsertState("Acasa"));
    QVERIFY(c.add(MakeBook("Zola's Germinal", "Émile Zola", "Editura",
                           {.tip = 3, .citita = 1, .calificativ = 1})));
    QVERIFY(c.add(MakeBook("Alpha", "Autor", "Editura", {.tip = 2})));
    QVERIFY(c.add(MakeBook("Middle")));
    QVERIFY(c.db->DeleteBook(3));
    QVERIFY(c.add(MakeBook("Middle")));
}

QStringList FolderEntries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
}
} // namespace

class TestCatalogueCopy : public QObject {
    Q_OBJECT
private slots:
    void copiesBooksTypesAndStates() {
        TestCatalogue c;
        Fill(c);
        // The last number given is kept even when its book is gone.
        QVERIFY(c.add(MakeBook("Gone")));
        QVERIFY(c.db->DeleteBook(5));
        const std::string target = c.path("copy.mdb");
        auto copy = CopyCatalogue(*c.db, target, c.messages.sink());
        QVERIFY(copy);
        QVERIFY(copy->IsOpen());
        QCOMPARE(copy->GetPath(), target);
        QVERIFY(c.messages.messages.empty());
        RawCatalogue raw(target);
        QCOMPARE(
            raw.rows(
                "SELECT id, titlu, autor, tip, citita, calificativ, stare FROM books ORDER BY id"),
            (Texts{"1|Zola's Germinal|Émile Zola|2|-1|1|0", "2|Alpha|Autor|1|0|6|0",
                   "4|Middle|Autor|0|0|6|0"}));
        QCOMPARE(raw.rows("SELECT id, tip FROM types ORDER BY id"), (Texts{"2|Poezii", "3|SF"}));
        QCOMPARE(raw.rows("SELECT id, stare FROM states"), Texts{"1|Acasa"});
        // Identifiers once given are not given again in the copy either.
        QVERIFY(c.db->DeleteType(3));
        QVERIFY(copy->DeleteType(3));
        QVERIFY(copy->InsertType("Nou"));
        QVERIFY(copy->InsertState("Nou"));
        QVERIFY(copy->InsertBook("Nou", "A", "E", 0, 1, 1, 1, 1, 1, 0, 6, 0));
        QCOMPARE(raw.rows("SELECT (SELECT max(id) FROM types), (SELECT max(id) FROM states), "
                          "(SELECT max(id) FROM books)"),
                 Texts{"4|2|6"});
        // The source is untouched and still usable.
        QVERIFY(c.db->IsOpen());
        QVERIFY(c.add(MakeBook("After")));
        QCOMPARE(FolderEntries(c.dir), (QStringList{"copy.mdb", "test.mdb"}));
    }

    // A file there is replaced whole, through its link, keeping its mode.
    void aReplacedFileKeepsItsModeAndItsLink() {
        TestCatalogue c;
        Fill(c);
        TestCatalogue other("other.mdb");
        QVERIFY(other.add(MakeBook("Old content")));
        const std::string real = other.path("other.mdb");
        QVERIFY(other.db->Close());
        QVERIFY(QFile::setPermissions(QString::fromStdString(real),
                                      QFile::ReadOwner | QFile::WriteOwner));
        const std::string link = other.path("link.mdb");
        QVERIFY(QFile::link(QString::fromStdString(real), QString::fromStdString(link)));
        QVERIFY(CopyCatalogue(*c.db, link, c.messages.sink()));
        QVERIFY(QFileInfo(QString::fromStdString(link)).isSymLink());
        QCOMPARE(RawCatalogue(real).rows("SELECT titlu FROM books ORDER BY id"),
                 (Texts{"Zola's Germinal", "Alpha", "Middle"}));
        QCOMPARE(QFile::permissions(QString::fromStdString(real)),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(FolderEntries(other.dir), (QStringList{"link.mdb", "other.mdb"}));
    }

    void theWholeFileComesAlong() {
        TestCatalogue c;
        Fill(c);
        {
            // The user's own tables and indexes, a table of the program's own, and a loans table
            // the program does not know.
            RawCatalogue raw(c.path("test.mdb"));
            QVERIFY(raw.exec("CREATE TABLE shelf(book INTEGER, place TEXT);"
                             "CREATE INDEX shelf_place ON shelf(place);"
                             "INSERT INTO shelf VALUES (1, 'Raftul de sus'), (4, NULL);"
                             "CREATE TABLE book_details(book INTEGER PRIMARY KEY, isbn TEXT);"
                             "INSERT INTO book_details VALUES (2, '9789734600000');"
                             "CREATE TABLE loans(who TEXT);"
                             "INSERT INTO loans VALUES ('Ana')"));
        }
        QVERIFY(CopyCatalogue(*c.db, c.path("copy.mdb"), c.messages.sink()));
        QVERIFY(c.messages.messages.empty());
        const RawCatalogue source(c.path("test.mdb"));
        const RawCatalogue copy(c.path("copy.mdb"));
        for (const char* sql :
             {"SELECT type, name, tbl_name, sql FROM sqlite_master ORDER BY name",
              "SELECT * FROM shelf ORDER BY rowid", "SELECT * FROM book_details",
              "SELECT * FROM loans", "SELECT * FROM sqlite_sequence ORDER BY name"}) {
            QCOMPARE(copy.rows(sql), source.rows(sql));
        }
        QCOMPARE(copy.one("SELECT count(*) FROM shelf"), std::string("2"));
    }

    void aFailedCopyLeavesEverythingAsItWas() {
        TestCatalogue c;
        Fill(c);
        {
            RawCatalogue raw(c.path("test.mdb"));
            QVERIFY(raw.exec("CREATE TABLE filler(b BLOB); INSERT INTO filler "
                             "VALUES (randomblob(200000))"));
        }
        TestCatalogue other("other.mdb");
        QVERIFY(other.add(MakeBook("Old content")));
        const std::string target = other.path("other.mdb");
        QVERIFY(other.db->Close());
        const QByteArray before = FileBytes(target);
        const QByteArray sourceBefore = FileBytes(c.path("test.mdb"));

        {
            // The disk fills up halfway through the copy.
            const auto ignored = std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            QVERIFY(getrlimit(RLIMIT_FSIZE, &limit) == 0);
            const rlimit small{65536, limit.rlim_max};
            QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
            const bool copied = CopyCatalogue(*c.db, target, c.messages.sink()) != nullptr;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
            std::signal(SIGXFSZ, ignored);
            QVERIFY(!copied);
        }
        QCOMPARE(c.messages.take(), Texts{"Nu se poate adauga o noua inregistrare!"});
        QCOMPARE(FileBytes(target), before);
        QCOMPARE(FileBytes(c.path("test.mdb")), sourceBefore);
        QCOMPARE(FolderEntries(other.dir), QStringList{"other.mdb"});
        QVERIFY(c.db->IsOpen());
    }
};

QTEST_APPLESS_MAIN(TestCatalogueCopy)
#include "tst_cataloguecopy.moc"
