#include "bulk/BookMerge.h"
#include "bulk/BulkChange.h"
#include "bulk/BulkEditFields.h"
#include "bulk/CopiesApart.h"
#include "bulk/DoubleBooks.h"
#include "isbn/CBookCoverStore.h"
#include "isbn/CBookDetailsStore.h"
#include "loans/CLoanRegister.h"
#include "store/CatalogueMessages.h"
#include "support/CoreTestSupport.h"
#include "support/RawCatalogue.h"

#include <QTest>

// Many books changed, deleted or merged as one step, and the doubles found among them.
namespace {

constexpr const char* kToday = "2026-12-07";

// Every stored value of the books, their details and loans, with its type ('7' is not 7).
Texts Everything(const TestCatalogue& c) {
    RawCatalogue raw(c.path("test.mdb"));
    Texts all = raw.rows(
        "SELECT quote(id), quote(titlu), quote(autor), quote(editura), quote(tip), quote(pagini), "
        "quote(capitole), quote(volume), quote(publicare), quote(publicare_volum), quote(citita), "
        "quote(calificativ), quote(stare) FROM books ORDER BY id");
    for (const char* sql :
         {"SELECT 'details', quote(id), quote(isbn), quote(locatie), quote(serie), "
          "quote(numar_serie), quote(note), quote(adaugata), quote(sursa) FROM book_details "
          "ORDER BY id",
          "SELECT 'loan', id, book, borrower, quote(returned) FROM loans ORDER BY id",
          "SELECT 'cover', id, hex(image) FROM book_covers ORDER BY id"}) {
        const Texts rows = raw.rows(sql);
        if (rows.empty() || rows.front().rfind("ERROR", 0) != 0) {
            all.insert(all.end(), rows.begin(), rows.end());
        }
    }
    return all;
}

// Four books; the first two with details.
struct Shelf : TestCatalogue {
    Shelf() {
        for (const char* title : {"Ion", "Enigma Otiliei", "Baltagul", "Morometii"}) {
            add(MakeBook(title, "Autor", "Minerva"));
        }
        CBookDetailsStore details(*db, messages.sink());
        BookDetails d;
        d.isbn = "9789734600007";
        d.locatie = "Raft 1";
        d.note = "cu dedicatie";
        details.Write(1, d);
        d = {};
        d.serie = "Biblioteca pentru toti";
        d.numar_serie = 12;
        details.Write(2, d);
    }
    std::vector<StoredBook> read(const std::vector<std::int32_t>& ids, CatalogueMoment& moment) {
        moment = ReadCatalogueMoment(db->Engine());
        return ReadStoredBooks(*db, ids);
    }
};

QStringList Grouped(const std::vector<DoubleGroup>& groups) {
    static const char* kinds[] = {"isbn", "same", "order"};
    QStringList out;
    for (const DoubleGroup& g : groups) {
        QString line = QString::fromUtf8(kinds[static_cast<int>(g.kind)]) + ":";
        for (const std::int32_t id : g.books) {
            line += QStringLiteral(" %1").arg(id);
        }
        out << line;
    }
    return out;
}

// "column=value" for each field, "d:" before a detail's; or the problem.
QString Fields(const BulkEdit& edit) {
    std::vector<BulkField> fields;
    if (const char* problem = BulkEditFields(edit, fields)) {
        return QString::fromUtf8(problem);
    }
    QStringList out;
    for (const BulkField& f : fields) {
        QString value = QStringLiteral("NULL");
        if (const auto* n = std::get_if<std::int64_t>(&f.value)) {
            value = QString::number(*n);
        } else if (const auto* t = std::get_if<std::string>(&f.value)) {
            value = QString::fromStdString(*t);
        }
        out << (f.details ? "d:" : "") + QString::fromStdString(f.column) + "=" + value;
    }
    return out.join(' ');
}

} // namespace

class TestBulkChange : public QObject {
    Q_OBJECT
private slots:
    // The fields of the dialog for many books are checked as the book dialog checks them.
    void theFieldsAreCheckedAsOneBooks() {
        QCOMPARE(Fields({}), msg::kNothingToChange);
        QCOMPARE(Fields({.titlu = ""}), "Trebuie specificat un titlu!");
        QCOMPARE(Fields({.editura = std::string(256, 'x')}), msg::kTextTooLong);
        QCOMPARE(Fields({.pagini = "abc"}), msg::kNotAWholeNumber);
        QCOMPARE(Fields({.pagini = "40000"}), msg::kIntegerOutOfRange);
        QCOMPARE(Fields({.publicare = "-40000"}), msg::kIntegerOutOfRange);
        QCOMPARE(Fields({.pagini = "0"}), "Numarul de pagini trebuie sa fie mai mare decat 0!");
        QCOMPARE(Fields({.citita = 1}), msg::kReadAndRatingTogether);
        QCOMPARE(Fields({.calificativ = 6}), msg::kReadAndRatingTogether);
        QCOMPARE(Fields({.citita = 1, .calificativ = 6}),
                 "Nu exista concordanta intre calificativ si stare citire carte!");
        QCOMPARE(Fields({.isbn = "123"}), msg::kIsbnNotValid);
        QCOMPARE(Fields({.numar_serie = "doi"}), msg::kNotAWholeNumber);
        QCOMPARE(Fields({.autor = "Liviu Rebreanu",
                         .tip = 2,
                         .pagini = " 420 ",
                         .publicare = "-700",
                         .citita = 1,
                         .calificativ = 0,
                         .stare = 1,
                         .isbn = "0-14-143951-3",
                         .locatie = "",
                         .numar_serie = ""}),
                 "autor=Liviu Rebreanu tip=1 pagini=420 publicare=-700 citita=1 calificativ=0 "
                 "stare=0 d:isbn=9780141439518 d:locatie=NULL d:numar_serie=NULL");
        QCOMPARE(BulkStepText("modificarea", 40), "Anuleaza modificarea a 40 de carti");
    }

    // Only the fields given change, on the books chosen; a book without details gains a row
    // only for what is given; undo takes every value back with its type, redo forward again.
    void onlyTheGivenFieldsChangeAndUndoRestoresEveryValue() {
        Shelf s;
        const Texts original = Everything(s);
        CatalogueMoment moment;
        const auto books = s.read({1, 2, 3}, moment);
        QCOMPARE(books.size(), std::size_t{3});
        const auto outcome = ChangeBooks(*s.db, books, moment,
                                         {{"editura", std::string("Polirom"), false},
                                          {"citita", std::int64_t{1}, false},
                                          {"locatie", std::string("Raft 2"), true},
                                          {"note", std::monostate{}, true}},
                                         s.messages.sink());
        QVERIFY(outcome);
        QVERIFY(outcome->skipped.empty());
        QCOMPARE(outcome->changes.size(), std::size_t{3});
        QVERIFY(s.messages.take().empty());
        RawCatalogue raw(s.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT id, titlu, editura, citita FROM books ORDER BY id"),
                 (Texts{"1|Ion|Polirom|-1", "2|Enigma Otiliei|Polirom|-1", "3|Baltagul|Polirom|-1",
                        "4|Morometii|Minerva|0"}));
        QCOMPARE(raw.rows("SELECT id, quote(isbn), locatie, quote(serie), quote(numar_serie), "
                          "quote(note) FROM book_details ORDER BY id"),
                 (Texts{"1|'9789734600007'|Raft 2|NULL|NULL|NULL",
                        "2|NULL|Raft 2|'Biblioteca pentru toti'|12|NULL",
                        "3|NULL|Raft 2|NULL|NULL|NULL"}));
        // What the step remembers is what is stored: undo finds every book as it left it.
        for (const BookChange& change : outcome->changes) {
            QCOMPARE(ReadStoredBook(*s.db, change.id), change.after);
        }
        const Texts changed = Everything(s);
        QVERIFY(UndoBookChanges(*s.db, outcome->changes, s.messages.sink()));
        QCOMPARE(Everything(s), original);
        QVERIFY(RedoBookChanges(*s.db, outcome->changes, s.messages.sink()));
        QCOMPARE(Everything(s), changed);
    }

    // A book another program changed or deleted after the books were read is left as it is
    // and named; the others change. Nothing at all when only a cleared value was given to books
    // without details.
    void aBookChangedMeanwhileIsSkipped() {
        Shelf s;
        CatalogueMoment moment;
        const auto books = s.read({1, 2, 3}, moment);
        {
            RawCatalogue other(s.path("test.mdb"));
            QVERIFY(other.exec("UPDATE books SET titlu = 'Ion (alt program)' WHERE id = 2"));
            QVERIFY(other.exec("DELETE FROM books WHERE id = 3"));
        }
        const auto outcome = ChangeBooks(
            *s.db, books, moment, {{"editura", std::string("Polirom"), false}}, s.messages.sink());
        QVERIFY(outcome);
        QCOMPARE(outcome->skipped, (std::vector<std::int32_t>{2, 3}));
        QCOMPARE(outcome->changes.size(), std::size_t{1});
        RawCatalogue raw(s.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT id, titlu, editura FROM books ORDER BY id"),
                 (Texts{"1|Ion|Polirom", "2|Ion (alt program)|Minerva", "4|Morometii|Minerva"}));

        // This connection's own write since the reading counts as well.
        const auto again = s.read({1, 4}, moment);
        QVERIFY(s.db->ExecuteStatement("UPDATE books SET pagini = 9 WHERE id = 4", ""));
        const auto second =
            ChangeBooks(*s.db, again, moment, {{"editura", std::string("Humanitas"), false}},
                        s.messages.sink());
        QVERIFY(second);
        QCOMPARE(second->skipped, (std::vector<std::int32_t>{4}));

        const Texts before = Everything(s);
        const auto cleared = ChangeBooks(*s.db, s.read({4}, moment), moment,
                                         {{"locatie", std::monostate{}, true}}, s.messages.sink());
        QVERIFY(cleared);
        QCOMPARE(Everything(s), before);
    }

    // Deleting many books closes the loans of those lent in the same step; undo brings the
    // books, their details and the open loans back exactly.
    void deletingLentBooksClosesTheirLoansAndUndoReopensThem() {
        Shelf s;
        CLoanRegister loans(*s.db, s.messages.sink());
        QVERIFY(loans.Lend(1, "Ana", "2026-11-01", ""));
        QVERIFY(loans.Lend(3, "Dan", "2026-11-02", "2026-12-02"));
        QVERIFY(
            CBookCoverStore(*s.db, s.messages.sink()).Write(3, std::string("\xff\xd8\xffjpeg", 7)));
        QCOMPARE(OpenLoansOf(*s.db, {1, 2, 3}).size(), std::size_t{2});
        const Texts original = Everything(s);
        CatalogueMoment moment;
        const auto books = s.read({1, 2, 3}, moment);
        const auto outcome = DeleteBooks(*s.db, books, moment, kToday, s.messages.sink());
        QVERIFY(outcome);
        QCOMPARE(outcome->changes.size(), std::size_t{3});
        RawCatalogue raw(s.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT id FROM books"), Texts{"4"});
        QCOMPARE(raw.rows("SELECT count(*) FROM book_details"), Texts{"0"});
        QCOMPARE(raw.rows("SELECT count(*) FROM book_covers"), Texts{"0"});
        QCOMPARE(raw.rows("SELECT book, returned FROM loans ORDER BY id"),
                 (Texts{"1|2026-12-07", "3|2026-12-07"}));
        QVERIFY(OpenLoansOf(*s.db, {1, 3}).empty());
        QVERIFY(UndoBookChanges(*s.db, outcome->changes, s.messages.sink()));
        QCOMPARE(Everything(s), original);
    }

    // Which books are likely doubles, and which are not.
    void doublesAreFoundAsAPersonWouldFindThem() {
        const std::vector<DoubleCandidate> books = {
            {1, "Padurea spanzuratilor", "Liviu Rebreanu", ""},
            {2, "Pădurea spânzuraților", "Liviu Rebreanu", ""},  // comma below
            {3, "PĂDUREA SPÂNZURAŢILOR", "Rebreanu, Liviu", ""}, // old cedilla, other order
            {4, "Ion", "Liviu Rebreanu", "9789734600014"},
            {5, "Ion", "Liviu Rebreanu", "9789734600021"}, // another edition
            {6, "Ion (roman)", "L. Rebreanu", "9789734600014"},
            {7, "Enigma Otiliei", "George Calinescu", ""},
            {8, "Enigma Otiliei.", "Călinescu, George", ""},
            {9, "Enigma Otiliei", "Garabet Ibraileanu", ""}, // another author
            {10, "Baltagul", "Mihail Sadoveanu", ""},
            {11, "Baltag", "Mihail Sadoveanu", ""},
            {12, "", "", ""},
            {13, "", "", ""},
            {14, "Morometii", "Marin Preda", "9789734600038"},
            {15, "Morometii", "Marin Preda", "9789734600045"},
            {16, "Morometii", "Marin Preda", ""}, // which edition, no one can say
        };
        QCOMPARE(Grouped(GroupDoubles(books)),
                 (QStringList{"order: 1 2 3", "isbn: 4 6", "order: 7 8"}));
        QCOMPARE(DoubleTitleKey("  Pădurea   spânzuraţilor! "), "padurea spanzuratilor");
        QCOMPARE(DoubleAuthorKey("Rebreanu, Liviu", true), DoubleAuthorKey("Liviu Rebreanu", true));
        QVERIFY(DoubleAuthorKey("Rebreanu, Liviu", false) !=
                DoubleAuthorKey("Liviu Rebreanu", false));
        // Side by side, the fields the books disagree on are marked; their own numbers are not.
        std::array<std::string, 13> first{"0001", "Ion", "Liviu Rebreanu", "Minerva"};
        std::array<std::string, 13> second = first;
        second[0] = "0002";
        second[3] = "Polirom";
        BookDetails shelf;
        shelf.locatie = "Raft 1";
        QStringList differing;
        for (const SideBySideLine& line : SideBySide({first, second}, {shelf, {}})) {
            if (line.differs) {
                differing << QString::fromStdString(line.field);
            }
        }
        QCOMPARE(differing, (QStringList{"Editura", "Locatie"}));
        // A group said to be copies is left out; the same title twice more is offered.
        QCOMPARE(Grouped(GroupDoubles(books,
                                      [](const std::vector<std::int32_t>& g) {
                                          return g == std::vector<std::int32_t>{4, 6};
                                      })),
                 (QStringList{"order: 1 2 3", "order: 7 8"}));
    }

    // Groups marked "copii diferite" are kept in the catalogue and not offered again, until a
    // new copy joins them.
    void copiesMarkedApartStayApart() {
        TestCatalogue c;
        for (int i = 0; i < 3; ++i) {
            c.add(MakeBook("Ion", "Liviu Rebreanu"));
        }
        c.add(MakeBook("Baltagul", "Mihail Sadoveanu"));
        CCopiesApart apart(*c.db, c.messages.sink());
        QCOMPARE(apart.Pairs()->size(), std::size_t{0});
        QVERIFY(RawCatalogue(c.path("test.mdb"))
                    .rows("SELECT * FROM copies_apart")
                    .front()
                    .rfind("ERROR", 0) == 0); // nothing made before a group is marked
        QVERIFY(apart.Mark({1, 2, 3}));
        QVERIFY(apart.Mark({1, 2, 3})); // marking again changes nothing
        const auto keptApart = [&apart](const std::vector<std::int32_t>& group) {
            return CCopiesApart::AllMarked(*apart.Pairs(), group);
        };
        QCOMPARE(Grouped(*FindDoubles(*c.db, c.messages.sink(), keptApart)), QStringList{});
        c.add(MakeBook("ION", "Rebreanu, Liviu"));
        QCOMPARE(Grouped(*FindDoubles(*c.db, c.messages.sink(), keptApart)),
                 QStringList{"order: 1 2 3 5"});
        QCOMPARE(RawCatalogue(c.path("test.mdb")).rows("SELECT * FROM copies_apart ORDER BY 1, 2"),
                 (Texts{"1|2", "1|3", "2|3"}));
        // A table of that name the program did not make is left alone, and said so.
        TestCatalogue foreign;
        QVERIFY(RawCatalogue(foreign.path("test.mdb"))
                    .exec("CREATE TABLE copies_apart (book INTEGER, other INTEGER)"));
        CCopiesApart theirs(*foreign.db, foreign.messages.sink());
        QVERIFY(!theirs.Pairs());
        QVERIFY(!theirs.Mark({1, 2}));
        QCOMPARE(foreign.messages.take(),
                 (Texts{msg::kCopiesApartUnusable, msg::kCopiesApartUnusable}));
    }

    // A merge keeps one book, fills what it lacks from the others, gives it their details and
    // loans and deletes them, as one step; undo brings every book, detail and loan back.
    void aMergeMovesFieldsDetailsAndLoansAndUndoes() {
        TestCatalogue c;
        c.add(MakeBook("Ion", "Liviu Rebreanu", ""));
        c.add(MakeBook("Ion", "Rebreanu, Liviu", "Minerva"));
        c.add(MakeBook("ION", "Liviu Rebreanu", "Polirom"));
        QVERIFY(
            RawCatalogue(c.path("test.mdb")).exec("UPDATE books SET pagini = NULL WHERE id < 3"));
        QVERIFY(
            RawCatalogue(c.path("test.mdb")).exec("UPDATE books SET pagini = 420 WHERE id = 3"));
        CBookDetailsStore details(*c.db, c.messages.sink());
        BookDetails d;
        d.locatie = "Raft 3";
        d.note = "a bunicii";
        details.Write(2, d);
        d = {};
        d.isbn = "9789734600014";
        d.locatie = "Pod";
        details.Write(3, d);
        QVERIFY(
            CBookCoverStore(*c.db, c.messages.sink()).Write(3, std::string("\xff\xd8\xffion", 6)));
        CLoanRegister loans(*c.db, c.messages.sink());
        QVERIFY(loans.Lend(2, "Ana", "2026-10-01", ""));
        QVERIFY(loans.Return(2, "2026-10-20"));
        QVERIFY(loans.Lend(3, "Dan", "2026-11-01", ""));
        const Texts original = Everything(c);

        const auto changes = MergeDoubles(*c.db, {1, 2, 3}, 1, {}, c.messages.sink());
        QVERIFY(changes);
        QVERIFY(c.messages.take().empty());
        RawCatalogue raw(c.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT id, titlu, autor, editura, pagini FROM books"),
                 Texts{"1|Ion|Liviu Rebreanu|Minerva|420"});
        QCOMPARE(raw.rows("SELECT id, isbn, locatie, note FROM book_details"),
                 Texts{"1|9789734600014|Raft 3|a bunicii"});
        QCOMPARE(raw.rows("SELECT book, borrower, quote(returned) FROM loans ORDER BY id"),
                 (Texts{"1|Ana|'2026-10-20'", "1|Dan|NULL"}));
        QCOMPARE(raw.rows("SELECT id, hex(image) FROM book_covers"), Texts{"1|FFD8FF696F6E"});
        QVERIFY(UndoBookChanges(*c.db, *changes, c.messages.sink()));
        QCOMPARE(Everything(c), original);

        // Two books out at once are two copies in two hands: no merge.
        QVERIFY(loans.Lend(1, "Ema", "2026-11-03", ""));
        QVERIFY(!MergeDoubles(*c.db, {1, 2, 3}, 2, {}, c.messages.sink()));
        QCOMPARE(c.messages.take(), Texts{msg::kMergeTwoLent});
        QVERIFY(loans.Return(1, "2026-11-04"));
        // A book deleted since the group was found: nothing changes.
        QVERIFY(RawCatalogue(c.path("test.mdb")).exec("DELETE FROM books WHERE id = 2"));
        QVERIFY(!MergeDoubles(*c.db, {1, 2, 3}, 1, {}, c.messages.sink()));
        QCOMPARE(c.messages.take(), Texts{kChangedElsewhere});
        QCOMPARE(raw.rows("SELECT count(*) FROM books"), Texts{"2"});
    }
};

QTEST_GUILESS_MAIN(TestBulkChange)
#include "tst_bulkchange.moc"
