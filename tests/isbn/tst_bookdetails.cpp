#include "backup/CatalogueBackups.h"
#include "isbn/CBookDetailsStore.h"
#include "store/BookHistory.h"
#include "store/CatalogueCopy.h"
#include "store/TransactionGuard.h"
#include "support/CoreTestSupport.h"
#include "support/SqliteShell.h"

namespace {

struct Shelf : TestCatalogue {
    CBookDetailsStore details{*db, messages.sink()};
    Shelf() {
        for (const char* title : {"Dune", "Ion", "Odiseea"}) {
            add(MakeBook(title));
        }
    }
    std::string file() const { return path("test.mdb"); }
    std::string raw(const std::string& sql) const { return RawCatalogue(file()).one(sql); }
    // "1" when this catalogue has the details table, "0" when not.
    std::string detailsTables(const char* name = "test.mdb") const {
        return RawCatalogue(path(name))
            .one("SELECT count(*) FROM sqlite_master WHERE name = 'book_details'");
    }
};

BookDetails Given(std::string isbn, std::string locatie = "Sufragerie", std::string serie = "Dune",
                  std::int32_t numar = 1) {
    return {std::move(isbn), std::move(locatie), std::move(serie),
            numar,           "cu dedicatie",     "2026-12-07"};
}

} // namespace

class TestBookDetails : public QObject {
    Q_OBJECT
private slots:
    void detailsAreKeptReadAndListed() {
        Shelf s;
        QCOMPARE(s.details.Read(1), std::optional<BookDetails>(BookDetails{}));
        // Wrong details are refused, and make no table.
        for (const auto& [details, message] : std::vector<std::pair<BookDetails, const char*>>{
                 {Given("9780451526534"), msg::kIsbnCheckDigit},
                 {Given("12345"), msg::kIsbnNotValid},
                 {Given("", std::string(256, 'x')), shown::kTextTooLong},
                 {Given("", "", std::string(256, 'x')), shown::kTextTooLong}}) {
            QVERIFY(!s.details.Write(1, details));
            QCOMPARE(s.messages.take(), Texts{message});
        }
        QCOMPARE(s.detailsTables(), std::string("0"));
        // A catalogue that never had details copies without the table.
        QVERIFY(CopyCatalogue(*s.db, s.path("plain.mdb"), s.messages.sink()));
        QCOMPARE(s.detailsTables("plain.mdb"), std::string("0"));
        // Counted in characters, as every text of the catalogue.
        QVERIFY(s.details.Write(1, Given("", "", "", kUnknownNumber)));
        BookDetails note;
        note.note = QString(255, QChar(u'ă')).toStdString();
        QVERIFY(s.details.Write(2, note));
        QVERIFY(s.details.Write(1, Given("0-451-52653-8", "Birou, raftul 2")));
        QVERIFY(s.details.Write(2, Given("9791032305690", "Sufragerie", "", kUnknownNumber)));
        BookDetails first = Given("9780451526533", "Birou, raftul 2");
        QCOMPARE(s.details.Read(1), std::optional<BookDetails>(first));
        // Plain values that another SQLite tool reads; what was not given is NULL.
        QCOMPARE(Shell(QString::fromStdString(s.file()),
                       "SELECT id, isbn, locatie, serie, numar_serie IS NULL, note, adaugata FROM "
                       "book_details ORDER BY id"),
                 QString("1|9780451526533|Birou, raftul 2|Dune|0|cu dedicatie|2026-12-07\n"
                         "2|9791032305690|Sufragerie||1|cu dedicatie|2026-12-07"));
        QCOMPARE(s.details.Locations(),
                 std::optional<Texts>(Texts{"Birou, raftul 2", "Sufragerie"}));
        QCOMPARE(s.details.Series(), std::optional<Texts>(Texts{"Dune"}));
        QCOMPARE(s.details.BooksWithIsbn("9780451526533"),
                 std::optional<std::vector<std::int32_t>>(std::vector<std::int32_t>{1}));
        QCOMPARE(s.details.ReadAll(),
                 (std::optional<std::map<std::int32_t, BookDetails>>(
                     {{1, first}, {2, Given("9791032305690", "Sufragerie", "", kUnknownNumber)}})));
        // Emptied details leave no row behind.
        QVERIFY(s.details.Write(2, BookDetails{}));
        QCOMPARE(s.raw("SELECT count(*) FROM book_details"), std::string("1"));
        QCOMPARE(s.messages.take(), Texts{});
    }

    void detailsGoWithTheCallersTransaction() {
        for (const bool commit : {true, false}) {
            Shelf s;
            {
                TransactionGuard transaction(s.db->Engine());
                QVERIFY(s.add(MakeBook("Nou")));
                QVERIFY(s.details.WriteWithin(4, Given("9780451526533")));
                QVERIFY(!s.details.WriteWithin(4, Given("9780451526534")));
                if (commit) {
                    transaction.Commit();
                }
            }
            QCOMPARE(s.detailsTables(), std::string(commit ? "1" : "0"));
            QCOMPARE(s.details.Read(4),
                     std::optional<BookDetails>(commit ? Given("9780451526533") : BookDetails{}));
            QCOMPARE(s.messages.take(), Texts{msg::kIsbnCheckDigit});
        }
    }

    // An index the user added for unique ISBNs refuses another book's ISBN: told, and neither
    // book loses anything. A new book whose details it refuses is not stored either.
    void aUsersUniqueIndexRefusesAndDeletesNothing() {
        Shelf s;
        QVERIFY(s.details.Write(1, Given("9780451526533")));
        QVERIFY(s.details.Write(2, Given("9791032305690", "Pod")));
        QVERIFY(RawCatalogue(s.file()).exec("CREATE UNIQUE INDEX u ON book_details(isbn)"));
        const std::string why = std::string(msg::kDetailsNotWritten) +
                                "o alta inregistrare are deja aceeasi valoare in "
                                "book_details.isbn, iar un index al catalogului cere valori unice";
        QVERIFY(!s.details.Write(2, Given("9780451526533", "Hol")));
        QVERIFY(!s.details.Write(3, Given("0-451-52653-8")));
        QCOMPARE(s.messages.take(), Texts(2, shown::kCannotUpdate + ("\n" + why)));
        QCOMPARE(s.details.AddBook(MakeBook("Nou"), Given("9780451526533")), std::nullopt);
        QCOMPARE(s.messages.take(), Texts{shown::kCannotInsert + ("\n" + why)});
        QCOMPARE(RawCatalogue(s.file()).rows("SELECT id, titlu FROM books"),
                 (Texts{"1|Dune", "2|Ion", "3|Odiseea"}));
        const std::map<std::int32_t, BookDetails> kept{{1, Given("9780451526533")},
                                                       {2, Given("9791032305690", "Pod")}};
        QCOMPARE(s.details.ReadAll(), std::optional(kept));
        // Details the index takes are stored with their book, which takes the next number.
        QCOMPARE(s.details.AddBook(MakeBook("Nou"), Given("9780306406157")), std::optional(4));
        QCOMPARE(s.raw("SELECT titlu || ' ' || isbn FROM books JOIN book_details USING (id) "
                       "WHERE id = 4"),
                 std::string("Nou 9780306406157"));
        QCOMPARE(s.messages.take(), Texts{});
    }

    void deletingABookDeletesItsDetails() {
        Shelf s;
        QVERIFY(s.details.Write(1, Given("9780451526533")));
        QVERIFY(s.details.Write(2, Given("9791032305690")));
        QVERIFY(s.db->DeleteBook(1));
        QCOMPARE(s.raw("SELECT group_concat(id) FROM book_details"), std::string("2"));
        // A backup and its restore keep them.
        const BackupSettings settings{s.path("copies")};
        const BackupDay today = LocalToday();
        const BackupResult made = BackUpCatalogue(s.file(), settings, today, s.messages.sink());
        QVERIFY(made.outcome == BackupResult::Outcome::Made);
        QVERIFY(s.details.Write(2, BookDetails{}));
        QVERIFY(s.db->Close());
        QVERIFY(RestoreBackup(s.file(), made.path, settings, today, s.messages.sink()));
        QVERIFY(s.db->Open(s.file()));
        QCOMPARE(s.details.Read(2), std::optional<BookDetails>(Given("9791032305690")));
        // The two go together or not at all: a refused delete keeps the details.
        QVERIFY(RawCatalogue(s.file()).exec(
            "CREATE TRIGGER keep BEFORE DELETE ON books BEGIN SELECT RAISE(ABORT, 'no'); END"));
        QVERIFY(!s.db->DeleteBook(2));
        QCOMPARE(s.raw("SELECT group_concat(id) FROM book_details"), std::string("2"));
        QCOMPARE(s.messages.take(), Texts{shown::kCannotDelete});
    }

    void undoAndRedoCarryTheDetails() {
        Shelf s;
        QVERIFY(s.details.Write(1, Given("9780451526533")));
        const auto before = ReadStoredBook(*s.db, 1);
        QVERIFY(s.details.Write(1, Given("9780451526533", "Pod")));
        const BookChange moved{1, before, ReadStoredBook(*s.db, 1), std::nullopt};
        // Details another program changed since are not overwritten.
        QVERIFY(RawCatalogue(s.file()).exec("UPDATE book_details SET locatie = 'Hol'"));
        QVERIFY(!UndoBookChange(*s.db, moved, s.messages.sink()));
        QCOMPARE(s.details.Read(1)->locatie, std::string("Hol"));
        QCOMPARE(s.messages.take(), Texts{kChangedElsewhere});

        // Undoing the first details of a book made before the table brings the table back.
        Shelf fresh;
        const auto bare = ReadStoredBook(*fresh.db, 3);
        QVERIFY(fresh.details.Write(3, Given("9780451526533")));
        const BookChange given{3, bare, ReadStoredBook(*fresh.db, 3), std::nullopt};
        QVERIFY(UndoBookChange(*fresh.db, given, fresh.messages.sink()));
        QCOMPARE(fresh.details.Read(3), std::optional<BookDetails>(BookDetails{}));
        QVERIFY(RedoBookChange(*fresh.db, given, fresh.messages.sink()));
        QCOMPARE(fresh.details.Read(3), std::optional<BookDetails>(Given("9780451526533")));
    }

    void aForeignTableIsRefusedButTheBooksList() {
        for (const char* foreign : {"CREATE TABLE book_details(id, isbn)",
                                    "CREATE VIEW book_details AS SELECT id FROM books"}) {
            Shelf s;
            QVERIFY(RawCatalogue(s.file()).exec(foreign));
            auto books = s.db->SelectAllBooks();
            QVERIFY(books);
            QCOMPARE(books->GetRecordCount(), 3L);
            QVERIFY(!s.details.Read(1));
            QVERIFY(!s.details.Write(1, Given("9780451526533")));
            QVERIFY(!s.details.Locations());
            QCOMPARE(s.messages.take(), Texts(3, msg::kDetailsUnusable));
            // A new book goes in only without details, which would go with it.
            QCOMPARE(s.details.AddBook(MakeBook("Nou"), Given("9780451526533")), std::nullopt);
            QCOMPARE(s.messages.take(), (Texts{msg::kDetailsUnusable, shown::kCannotInsert}));
            QCOMPARE(s.details.AddBook(MakeBook("Nou"), BookDetails{}), std::optional(4));
            // The books themselves are deleted as before, and the foreign table left alone.
            QVERIFY(s.db->DeleteBook(1));
            QCOMPARE(s.raw("SELECT sql FROM sqlite_master WHERE name = 'book_details'"),
                     std::string(foreign));
        }
    }
};

QTEST_APPLESS_MAIN(TestBookDetails)
#include "tst_bookdetails.moc"
