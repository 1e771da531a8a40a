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
    std::string shape() const {
        return raw("SELECT sql FROM sqlite_master WHERE name = 'book_details'");
    }
    // "1" when this catalogue has the details table, "0" when not.
    std::string detailsTables(const char* name = "test.mdb") const {
        return RawCatalogue(path(name))
            .one("SELECT count(*) FROM sqlite_master WHERE name = 'book_details'");
    }
};

BookDetails Given(std::string isbn, std::string locatie = "Sufragerie", std::string serie = "Dune",
                  std::int32_t numar = 1) {
    return {std::move(isbn),
            std::move(locatie),
            std::move(serie),
            numar,
            "cu dedicatie",
            "2026-12-07",
            ""};
}

BookDetails LookedUp(std::string isbn, std::string sursa) {
    BookDetails details = Given(std::move(isbn));
    details.sursa = std::move(sursa);
    return details;
}

// The details table as the program made it before it kept where a book's data came from.
constexpr const char* kEarlierTable =
    "CREATE TABLE book_details (id INTEGER PRIMARY KEY "
    "CHECK (id BETWEEN -2147483648 AND 2147483647), "
    "isbn TEXT CHECK (length(isbn) = 13 AND isbn NOT GLOB '*[^0-9]*'), "
    "locatie TEXT CHECK (length(locatie) <= 255), "
    "serie TEXT CHECK (length(serie) <= 255), "
    "numar_serie INTEGER CHECK (numar_serie BETWEEN -2147483648 AND 2147483647), "
    "note TEXT CHECK (length(note) <= 255), "
    "adaugata TEXT CHECK (adaugata GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'))";
constexpr const char* kIsbnIndex = "CREATE INDEX book_details_isbn ON book_details(isbn)";
// The table's columns in order, as sqlite3 lists them, and as they are once the source is kept.
constexpr const char* kColumns = "SELECT group_concat(name) FROM pragma_table_info('book_details')";
const std::string kWithSource = "id,isbn,locatie,serie,numar_serie,note,adaugata,sursa";

// A catalogue whose details an earlier version wrote: books 1 and 2 have some.
struct EarlierShelf : Shelf {
    EarlierShelf() {
        QVERIFY(RawCatalogue(file()).exec(
            std::string(kEarlierTable) + ";" + kIsbnIndex +
            ";INSERT INTO book_details VALUES (1, '9780451526533', 'Pod', NULL, NULL, NULL, "
            "'2025-03-01'), (2, '9791032305690', 'Hol', 'Dune', 2, 'rara', '2025-03-02')"));
    }
};

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
                 {Given("", "", std::string(256, 'x')), shown::kTextTooLong},
                 {BookDetails{"", "", "", kUnknownNumber, std::string(256, 'x'), "", ""},
                  shown::kTextTooLong}}) {
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
        QCOMPARE(s.details.Read(2), std::optional<BookDetails>(note));
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
        const BookChange moved{1, before, ReadStoredBook(*s.db, 1), std::nullopt, {}};
        // Details another program changed since are not overwritten.
        QVERIFY(RawCatalogue(s.file()).exec("UPDATE book_details SET locatie = 'Hol'"));
        QVERIFY(!UndoBookChange(*s.db, moved, s.messages.sink()));
        QCOMPARE(s.details.Read(1)->locatie, std::string("Hol"));
        QCOMPARE(s.messages.take(), Texts{kChangedElsewhere});

        // Undoing the first details of a book made before the table brings the table back.
        Shelf fresh;
        const auto bare = ReadStoredBook(*fresh.db, 3);
        QVERIFY(fresh.details.Write(3, Given("9780451526533")));
        const BookChange given{3, bare, ReadStoredBook(*fresh.db, 3), std::nullopt, {}};
        QVERIFY(UndoBookChange(*fresh.db, given, fresh.messages.sink()));
        QCOMPARE(fresh.details.Read(3), std::optional<BookDetails>(BookDetails{}));
        QVERIFY(RedoBookChange(*fresh.db, given, fresh.messages.sink()));
        QCOMPARE(fresh.details.Read(3), std::optional<BookDetails>(Given("9780451526533")));

        // A book deleted with its source gets it back.
        QVERIFY(fresh.details.Write(2, LookedUp("9791032305690", "Open Library")));
        const auto deleted = ReadStoredBook(*fresh.db, 2);
        QVERIFY(fresh.db->DeleteBook(2));
        QVERIFY(UndoBookChange(*fresh.db, {2, deleted, std::nullopt, std::nullopt, {}},
                               fresh.messages.sink()));
        QCOMPARE(fresh.details.Read(2), std::optional(LookedUp("9791032305690", "Open Library")));
        QCOMPARE(fresh.messages.take(), Texts{});
    }

    // Where a looked-up book's data came from is kept with its details, in a column of its own
    // that sqlite3 lists last; a name too long for the column is cut, never a reason to refuse.
    void theSourceIsKeptLast() {
        Shelf s;
        QVERIFY(s.details.Write(1, LookedUp("9780451526533", "Open Library")));
        QCOMPARE(s.details.AddBook(MakeBook("Nou"), LookedUp("9780306406157", " Biblioteca\tX ")),
                 std::optional(4));
        QVERIFY(s.details.Write(2, LookedUp("9791032305690", std::string(300, 'B'))));
        QVERIFY(s.details.Write(3, Given("9780140449136")));
        QCOMPARE(Shell(QString::fromStdString(s.file()), kColumns).toStdString(), kWithSource);
        QCOMPARE(
            Shell(QString::fromStdString(s.file()),
                  "SELECT id, ifnull(sursa, '-'), length(sursa) FROM book_details ORDER BY id"),
            QString("1|Open Library|12\n2|" + QString(252, 'B') +
                    "...|255\n3|-|\n"
                    "4|Biblioteca X|12"));
        QCOMPARE(s.details.Read(1), std::optional(LookedUp("9780451526533", "Open Library")));
        QCOMPARE(s.details.ReadAll()->at(4).sursa, std::string("Biblioteca X"));
        // Details written again are written whole.
        QVERIFY(s.details.Write(4, LookedUp("9780306406157", "Google Books")));
        QCOMPARE(s.raw("SELECT sursa FROM book_details WHERE id = 4"), std::string("Google Books"));
        // Another program's over-long name is refused by the table itself.
        QVERIFY(!RawCatalogue(s.file()).exec("UPDATE book_details SET sursa = '" +
                                             std::string(256, 'x') + "' WHERE id = 1"));
        QCOMPARE(s.messages.take(), Texts{});
    }

    // A table an earlier version made, without the source, is the program's own: read as it
    // is (an open copy can only be read), and given the column by the first details written,
    // inside their transaction, every row kept.
    void anEarlierTableGainsTheSourceWithTheFirstWrite() {
        EarlierShelf s;
        BookDetails first = Given("9780451526533", "Pod", "", kUnknownNumber);
        first.note.clear();
        first.adaugata = "2025-03-01";
        QCOMPARE(s.details.Read(1), std::optional(first));
        QCOMPARE(s.details.ReadAll()->size(), std::size_t(2));
        QCOMPARE(s.details.BooksWithIsbn("9791032305690"),
                 std::optional(std::vector<std::int32_t>{2}));
        QCOMPARE(s.shape(), std::string(kEarlierTable));
        {
            CBookDatabase copy(s.messages.sink());
            QVERIFY(copy.Open(s.file(), true));
            CBookDetailsStore read(copy, s.messages.sink());
            QCOMPARE(read.Read(1), std::optional(first));
            QCOMPARE(read.ReadAll()->at(2).serie, std::string("Dune"));
        }
        // A refused write leaves the table as it found it.
        QVERIFY(RawCatalogue(s.file()).exec("CREATE UNIQUE INDEX u ON book_details(isbn)"));
        QVERIFY(!s.details.Write(3, LookedUp("9780451526533", "Open Library")));
        QCOMPARE(s.messages.take().size(), std::size_t(1));
        QCOMPARE(s.shape(), std::string(kEarlierTable));
        QVERIFY(RawCatalogue(s.file()).exec("DROP INDEX u"));

        QVERIFY(s.details.Write(3, LookedUp("9780140449136", "Open Library")));
        QCOMPARE(s.raw(kColumns), kWithSource);
        QCOMPARE(RawCatalogue(s.file()).rows("SELECT id, isbn, ifnull(locatie, '-'), "
                                             "ifnull(sursa, '-') FROM book_details ORDER BY id"),
                 (Texts{"1|9780451526533|Pod|-", "2|9791032305690|Hol|-",
                        "3|9780140449136|Sufragerie|Open Library"}));
        QCOMPARE(s.details.Read(1), std::optional(first));
        QCOMPARE(s.details.Read(3), std::optional(LookedUp("9780140449136", "Open Library")));
        QCOMPARE(s.details.AddBook(MakeBook("Nou"), LookedUp("9780306406157", "Open Library")),
                 std::optional(4));
        QCOMPARE(s.messages.take(), Texts{});
    }

    // A book read before its table gained the source is the same book after: its deletion is
    // undone into the earlier table, which gains the column, and its change into the table as it
    // is now.
    void undoReachesAcrossTheNewColumn() {
        EarlierShelf s;
        const auto before = ReadStoredBook(*s.db, 1);
        const BookRecord r = MakeBook("Dune II");
        QVERIFY(s.db->UpdateBook(1, r.titlu, r.autor, r.editura, StoredLookupValue(r.tip), r.pagini,
                                 r.capitole, r.volume, r.publicare, r.publicare_volum, r.citita,
                                 r.calificativ, StoredLookupValue(r.stare)));
        const BookChange renamed{1, before, ReadStoredBook(*s.db, 1), std::nullopt, {}};
        const auto second = ReadStoredBook(*s.db, 2);
        QVERIFY(s.db->DeleteBook(2));
        QVERIFY(
            UndoBookChange(*s.db, {2, second, std::nullopt, std::nullopt, {}}, s.messages.sink()));
        QCOMPARE(s.raw(kColumns), kWithSource);
        QVERIFY(UndoBookChange(*s.db, renamed, s.messages.sink()));
        QCOMPARE(RawCatalogue(s.file()).rows("SELECT b.titlu || '|' || ifnull(d.locatie, '-') || "
                                             "'|' || ifnull(d.sursa, '-') FROM books b LEFT JOIN "
                                             "book_details d USING (id) ORDER BY b.id"),
                 (Texts{"Dune|Pod|-", "Ion|Hol|-", "Odiseea|-|-"}));
        QCOMPARE(s.messages.take(), Texts{});
    }

    // Only the two shapes the program made are its own: a near one, its index there, or another
    // program's table or view is refused and left alone, while the books list, go in without
    // details and are deleted as before.
    void aTableOfAnotherShapeIsRefusedButTheBooksList() {
        const std::string earlier = kEarlierTable;
        const std::string open = earlier.substr(0, earlier.size() - 1);
        for (const std::string& shape :
             {open + ", sursa TEXT)", open + ", sursa TEXT CHECK (length(sursa) <= 255), x)",
              open + ", x TEXT CHECK (length(x) <= 255))",
              std::string("CREATE TABLE book_details(id, isbn)"),
              std::string("CREATE VIEW book_details AS SELECT id FROM books")}) {
            Shelf s;
            const bool view = shape.starts_with("CREATE VIEW");
            QVERIFY(
                RawCatalogue(s.file()).exec(shape + (view ? "" : std::string(";") + kIsbnIndex)));
            auto books = s.db->SelectAllBooks();
            QVERIFY(books);
            QCOMPARE(books->GetRecordCount(), 3L);
            QVERIFY(!s.details.Read(1));
            QVERIFY(!s.details.Write(1, LookedUp("9780451526533", "Open Library")));
            QVERIFY(!s.details.Locations());
            QCOMPARE(s.messages.take(), Texts(3, msg::kDetailsUnusable));
            // A new book goes in only without details, which would go with it.
            QCOMPARE(s.details.AddBook(MakeBook("Nou"), Given("9780451526533")), std::nullopt);
            QCOMPARE(s.messages.take(), (Texts{msg::kDetailsUnusable, shown::kCannotInsert}));
            QCOMPARE(s.details.AddBook(MakeBook("Nou"), BookDetails{}), std::optional(4));
            QVERIFY(s.db->DeleteBook(1));
            QCOMPARE(s.shape(), shape);
        }
    }
};

QTEST_APPLESS_MAIN(TestBookDetails)
#include "tst_bookdetails.moc"
