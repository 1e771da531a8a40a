#include "backup/CatalogueBackups.h"
#include "isbn/CBookCoverStore.h"
#include "store/BookHistory.h"
#include "store/CatalogueCopy.h"
#include "support/CoreTestSupport.h"
#include "support/SqliteShell.h"

namespace {

// Bytes as a JPEG begins, then every byte value, a NUL and a quote among them.
std::string Jpeg(char fill) {
    std::string bytes("\xFF\xD8\xFF\xE0", 4);
    for (int b = 0; b < 256; ++b) {
        bytes += static_cast<char>(b);
    }
    return bytes + std::string(1000, fill);
}

std::optional<std::string> CoverOf(CBookDatabase& db, std::int32_t id) {
    return CBookCoverStore(db, nullptr).Read(id);
}

} // namespace

class TestBookCovers : public QObject {
    Q_OBJECT
private slots:
    void aCoverIsKeptInATableAnySqliteReads() {
        TestCatalogue c;
        QVERIFY(c.add(MakeBook("Ion", "Rebreanu")));
        QVERIFY(c.add(MakeBook("Baltagul", "Sadoveanu")));
        CBookCoverStore covers(*c.db, c.messages.sink());
        // A catalogue that never had a cover reads as one without, and keeps its tables.
        QCOMPARE(covers.Read(1), std::optional<std::string>(""));
        QVERIFY(covers.Write(1, ""));
        QCOMPARE(RawCatalogue(c.path("test.mdb"))
                     .one("SELECT count(*) FROM sqlite_master WHERE "
                          "name = 'book_covers'"),
                 std::string("0"));

        QVERIFY(covers.Write(1, Jpeg('a')));
        QVERIFY(covers.Write(2, Jpeg('b')));
        QVERIFY(covers.Write(1, Jpeg('c')));
        QCOMPARE(covers.Read(1), std::optional<std::string>(Jpeg('c')));
        QCOMPARE(covers.Read(2), std::optional<std::string>(Jpeg('b')));
        const QString file = QString::fromStdString(c.path("test.mdb"));
        QCOMPARE(Shell(file, "SELECT id, length(image), hex(substr(image, 1, 4)) FROM "
                             "book_covers ORDER BY id"),
                 QStringLiteral("1|1260|FFD8FFE0\n2|1260|FFD8FFE0"));
        QCOMPARE(Shell(file, "PRAGMA integrity_check"), QStringLiteral("ok"));

        QVERIFY(covers.Write(2, ""));
        QCOMPARE(covers.Read(2), std::optional<std::string>(""));
        // What is no JPEG, or too big for a cover, is refused and changes nothing.
        QVERIFY(!covers.Write(1, "GIF89a"));
        QVERIFY(!covers.Write(1, Jpeg('d') + std::string(4 * 1024 * 1024, 'x')));
        QCOMPARE(c.messages.take(), (Texts{msg::kCoverNotJpeg, msg::kCoverTooBig}));
        QCOMPARE(covers.Read(1), std::optional<std::string>(Jpeg('c')));
    }

    void aTableOfAnotherShapeIsLeftAlone() {
        TestCatalogue c;
        QVERIFY(c.add(MakeBook("Ion", "Rebreanu")));
        RawCatalogue(c.path("test.mdb"))
            .exec("CREATE TABLE book_covers (id INTEGER PRIMARY KEY, image TEXT)");
        CBookCoverStore covers(*c.db, c.messages.sink());
        QCOMPARE(covers.Read(1), std::optional<std::string>());
        QVERIFY(!covers.Write(1, Jpeg('a')));
        QCOMPARE(c.messages.take(), (Texts{msg::kCoversUnusable, msg::kCoversUnusable}));
        // The book itself is deleted as ever, the table left as it was.
        QVERIFY(c.db->DeleteBook(1));
        QCOMPARE(RawCatalogue(c.path("test.mdb")).one("SELECT count(*) FROM books"),
                 std::string("0"));
    }

    void aCoverGoesWithItsBookAndComesBackWithItsUndo() {
        TestCatalogue c;
        QVERIFY(c.add(MakeBook("Ion", "Rebreanu")));
        QVERIFY(c.add(MakeBook("Baltagul", "Sadoveanu")));
        QVERIFY(CBookCoverStore(*c.db, nullptr).Write(1, Jpeg('a')));
        QVERIFY(CBookCoverStore(*c.db, nullptr).Write(2, Jpeg('b')));
        const std::optional<StoredBook> before = ReadStoredBook(*c.db, 1);
        QVERIFY(before);
        QCOMPARE(before->cover, Jpeg('a'));
        QVERIFY(c.db->DeleteBook(1));
        QCOMPARE(RawCatalogue(c.path("test.mdb")).one("SELECT group_concat(id) FROM book_covers"),
                 std::string("2"));

        const BookChange deleted{1, before, std::nullopt, std::nullopt, {}};
        QVERIFY(UndoBookChange(*c.db, deleted, c.messages.sink()));
        QCOMPARE(CoverOf(*c.db, 1), std::optional<std::string>(Jpeg('a')));
        QVERIFY(RedoBookChange(*c.db, deleted, c.messages.sink()));
        QCOMPARE(CoverOf(*c.db, 1), std::optional<std::string>(""));
        QVERIFY(UndoBookChange(*c.db, deleted, c.messages.sink()));
        QCOMPARE(CoverOf(*c.db, 1), std::optional<std::string>(Jpeg('a')));
        // Read together as a step of many books reads them, each book with its own cover.
        const std::vector<StoredBook> both = ReadStoredBooks(*c.db, {2, 1});
        QCOMPARE(both.size(), std::size_t(2));
        QCOMPARE(both[0].cover, Jpeg('b'));
        QCOMPARE(both[1].cover, Jpeg('a'));
        QVERIFY(c.messages.messages.empty());
    }

    void aCoverSurvivesSaveAsABackupAndItsRestore() {
        TestCatalogue c;
        QVERIFY(c.add(MakeBook("Ion", "Rebreanu")));
        QVERIFY(CBookCoverStore(*c.db, nullptr).Write(1, Jpeg('a')));
        auto copy = CopyCatalogue(*c.db, c.path("copy.mdb"), c.messages.sink());
        QVERIFY(copy);
        QCOMPARE(CoverOf(*copy, 1), std::optional<std::string>(Jpeg('a')));
        copy.reset();

        const BackupSettings settings{c.path("backups"), 7, 12};
        const BackupDay day{std::chrono::year{2026}, std::chrono::month{12}, std::chrono::day{7}};
        const BackupResult backup =
            BackUpCatalogue(c.path("test.mdb"), settings, day, c.messages.sink());
        QCOMPARE(backup.outcome, BackupResult::Outcome::Made);
        QVERIFY(CBookCoverStore(*c.db, nullptr).Write(1, ""));
        c.db->Close();
        QVERIFY(RestoreBackup(c.path("test.mdb"), backup.path, settings, day, c.messages.sink()));
        QVERIFY(c.db->Open(c.path("test.mdb")));
        QCOMPARE(CoverOf(*c.db, 1), std::optional<std::string>(Jpeg('a')));
        QVERIFY(c.messages.messages.empty());
    }
};

QTEST_GUILESS_MAIN(TestBookCovers)
#include "tst_bookcovers.moc"
