#include "loans/CLoanRegister.h"
#include "loans/LoanDates.h"
#include "loans/LoanTexts.h"
#include "store/CatalogueCopy.h"
#include "support/CoreTestSupport.h"
#include "support/SqliteShell.h"

namespace {
constexpr const char* kToday = "2026-12-06";

// "title|author|borrower|lent|due|overdue days|returned" for every row listed.
Texts Listed(CLoanRegister& loans, LoanQuery query) {
    query.today = kToday;
    Texts out;
    for (const LoanRow& r : loans.List(query).value_or(std::vector<LoanRow>{})) {
        std::string line;
        for (int c = 0; c < kLoanColumnCount; ++c) {
            line += (c ? "|" : "") + LoanCellText(r, static_cast<LoanColumn>(c));
        }
        out.push_back(line);
    }
    return out;
}

struct Shelf : TestCatalogue {
    CLoanRegister loans{*db, messages.sink()};
    Shelf() {
        for (const char* title : {"Dune", "Ion", "Odiseea", "Baltagul"}) {
            add(MakeBook(title, std::string("Autor ") + title));
        }
    }
    std::string file() const { return path("test.mdb"); }
    bool hasTable() const { return RawCatalogue(file()).one(kHasLoans) == "1"; }
    static constexpr const char* kHasLoans =
        "SELECT count(*) FROM sqlite_master WHERE name = 'loans'";
};
} // namespace

class TestLoans : public QObject {
    Q_OBJECT
private slots:
    void datesAreCheckedAndCounted() {
        QVERIFY(IsIsoDate("2024-02-29"));
        for (const char* bad : {"2026-02-29", "2026-1-01", "2026-13-01", "2026-12-06 "}) {
            QVERIFY2(!IsIsoDate(bad), bad);
        }
        QCOMPARE(DefaultDueDate(kToday), std::string("2027-01-05"));
        QCOMPARE(DefaultDueDate("yesterday"), std::string());
    }

    void aLoanIsRecordedRefusedReturnedAndKept() {
        Shelf s;
        QVERIFY(s.loans.MayLend(1));
        QVERIFY(!s.hasTable());
        QVERIFY(s.loans.Lend(1, " Ana ", "2026-11-01", "2026-12-01"));
        QVERIFY(s.hasTable());
        // Refused: already out (naming to whom), no borrower, a due date before the loan.
        QVERIFY(!s.loans.MayLend(1));
        QVERIFY(!s.loans.Lend(1, "Dan", kToday, ""));
        QVERIFY(!s.loans.Lend(2, "  ", kToday, ""));
        QVERIFY(!s.loans.Lend(2, "Dan", kToday, "2026-12-05"));
        QVERIFY(!s.loans.Lend(2, std::string(256, 'x'), kToday, ""));
        const std::string out = "Cartea este deja imprumutata lui Ana din 2026-11-01!";
        QCOMPARE(s.messages.take(),
                 (Texts{out, out, shown::kNoBorrower, shown::kBeforeLent, shown::kTextTooLong}));
        QVERIFY(s.loans.Lend(2, "Dan", kToday, ""));
        // Stored as ISO text that the sqlite3 shell reads as it is.
        QCOMPARE(Shell(QString::fromStdString(s.file()),
                       "SELECT book, borrower, lent, typeof(lent), due, returned IS NULL FROM "
                       "loans ORDER BY id"),
                 QString("1|Ana|2026-11-01|text|2026-12-01|1\n2|Dan|2026-12-06|text||1"));
        QCOMPARE(Listed(s.loans, {}), (Texts{"Dune|Autor Dune|Ana|2026-11-01|2026-12-01|5|",
                                             "Ion|Autor Ion|Dan|2026-12-06|||"}));

        QVERIFY(!s.loans.Return(1, "2026-10-01"));
        QVERIFY(s.loans.Return(1, kToday));
        QVERIFY(!s.loans.Return(1, kToday));
        QVERIFY(!s.loans.Return(3, kToday));
        QCOMPARE(s.messages.take(), (Texts{shown::kBeforeLent, shown::kNotLent, shown::kNotLent}));
        QVERIFY(s.loans.MayLend(1));
        // The history outlives the book, under the title it had.
        QVERIFY(s.db->DeleteBook(1));
        LoanQuery history;
        history.withReturned = true;
        history.sortBy = LoanColumn::Title;
        QCOMPARE(Listed(s.loans, history), (Texts{"Dune||Ana|2026-11-01|2026-12-01||2026-12-06",
                                                  "Ion|Autor Ion|Dan|2026-12-06|||"}));
        QCOMPARE(s.loans.Borrowers().value(), (Texts{"Ana", "Dan"}));
        // Each return closes its own loan: an earlier loan of the book keeps its return date.
        QVERIFY(s.loans.Lend(3, "Ana", "2026-11-01", ""));
        QVERIFY(s.loans.Return(3, "2026-11-10"));
        QVERIFY(s.loans.Lend(3, "Dan", "2026-11-15", ""));
        QVERIFY(s.loans.Return(3, "2026-11-20"));
        QCOMPARE(
            RawCatalogue(s.file()).rows("SELECT returned FROM loans WHERE book = 3 ORDER BY id"),
            (Texts{"2026-11-10", "2026-11-20"}));
        // A loan may be due back the day it is lent.
        QVERIFY(s.loans.Lend(4, "Ana", kToday, kToday));
        QVERIFY(s.messages.messages.empty());
    }

    // Many books lent at once, in one transaction: the books out already are left as they are,
    // a wrong borrower lends none, and the first loans make the table.
    void manyBooksAreLentTogether() {
        Shelf s;
        QVERIFY(!s.loans.LendMany({1, 2}, " ", kToday, ""));
        QCOMPARE(s.messages.take(), Texts{shown::kNoBorrower});
        QVERIFY(!s.hasTable());
        QCOMPARE(s.loans.LendMany({1, 2}, "Ana", "2026-11-01", ""), std::vector<int>({1, 2}));
        QCOMPARE(s.loans.LendMany({2, 3, 4}, "Dan", kToday, ""), std::vector<int>({3, 4}));
        QVERIFY(s.messages.take().empty());
        QCOMPARE(RawCatalogue(s.file()).rows("SELECT book, borrower FROM loans ORDER BY id"),
                 (Texts{"1|Ana", "2|Ana", "3|Dan", "4|Dan"}));
        // A book that is gone refuses the whole step.
        QVERIFY(s.loans.Return(1, kToday));
        QVERIFY(!s.loans.LendMany({1, 99}, "Ema", kToday, ""));
        QCOMPARE(RawCatalogue(s.file()).one("SELECT count(*) FROM loans"), "4");
    }

    void openLoansListOverdueFirstAndCount() {
        Shelf s;
        QVERIFY(s.loans.Lend(1, "Ana", "2026-10-01", "2026-12-05"));    // 1 day late
        QVERIFY(s.loans.Lend(2, "Bogdan", "2026-09-01", "2026-11-01")); // 35 days late
        QVERIFY(s.loans.Lend(3, "Ana", "2026-11-20", "2026-12-20"));
        QVERIFY(s.loans.Lend(4, "Cezar", "2026-12-01", ""));
        // A book renamed since it was lent is listed under its name now.
        QVERIFY(RawCatalogue(s.file()).exec("UPDATE books SET titlu = 'Ion, ed. 2' WHERE id = 2"));
        QCOMPARE(Listed(s.loans, {}),
                 (Texts{"Ion, ed. 2|Autor Ion|Bogdan|2026-09-01|2026-11-01|35|",
                        "Dune|Autor Dune|Ana|2026-10-01|2026-12-05|1|",
                        "Odiseea|Autor Odiseea|Ana|2026-11-20|2026-12-20||",
                        "Baltagul|Autor Baltagul|Cezar|2026-12-01|||"}));
        LoanQuery byBorrower;
        byBorrower.sortBy = LoanColumn::Borrower;
        byBorrower.descending = true;
        QCOMPARE(Listed(s.loans, byBorrower).front(),
                 std::string("Baltagul|Autor Baltagul|Cezar|2026-12-01|||"));
        LoanQuery ana;
        ana.borrower = "Ana";
        ana.sortBy = LoanColumn::Lent;
        QCOMPARE(Listed(s.loans, ana).size(), std::size_t{2});
        QCOMPARE(Listed(s.loans, ana).back().substr(0, 7), std::string("Odiseea"));
        // Due today is not late yet; due yesterday is.
        QCOMPARE(s.loans.Counts("2026-12-05")->overdue, 1);
        QCOMPARE(LoanCountsText(s.loans.Counts(kToday)),
                 std::string("4 carti imprumutate, 2 intarziate"));
        QCOMPARE(LoanCountsText(LoanCounts{1, 1}),
                 std::string("1 carte imprumutata, 1 intarziata"));
        QCOMPARE(LoanCountsText(LoanCounts{20, 0}),
                 std::string("20 de carti imprumutate, 0 intarziate"));
    }

    void theTableIsMadeOnlyByALoanAndCopiedBySaveAs() {
        Shelf s;
        QCOMPARE(s.loans.List({}).value().size(), std::size_t{0});
        QCOMPARE(LoanCountsText(s.loans.Counts(kToday)),
                 std::string("0 carti imprumutate, 0 intarziate"));
        auto plain = CopyCatalogue(*s.db, s.path("plain.mdb"), s.messages.sink());
        QVERIFY(plain);
        QCOMPARE(RawCatalogue(s.path("plain.mdb")).one(Shelf::kHasLoans), std::string("0"));
        QVERIFY(!s.hasTable());

        QVERIFY(s.loans.Lend(1, "Ana", "2026-11-01", ""));
        QVERIFY(s.loans.Lend(2, "Dan", "2026-11-02", ""));
        QVERIFY(s.loans.Return(1, kToday));
        auto copy = CopyCatalogue(*s.db, s.path("copy.mdb"), s.messages.sink());
        QVERIFY(copy);
        const char* all = "SELECT id, book, title, borrower, lent, due, returned FROM loans";
        QCOMPARE(RawCatalogue(s.path("copy.mdb")).rows(all), RawCatalogue(s.file()).rows(all));
        // The copy goes on numbering loans where the source did, and keeps the one-open rule.
        CLoanRegister copied(*copy, s.messages.sink());
        QVERIFY(!copied.Lend(2, "Eva", kToday, ""));
        QVERIFY(copied.Lend(1, "Eva", kToday, ""));
        QCOMPARE(RawCatalogue(s.path("copy.mdb")).one("SELECT max(id) FROM loans"),
                 std::string("3"));
        QCOMPARE(s.messages.take(), Texts{"Cartea este deja imprumutata lui Dan din 2026-11-02!"});
    }

    void aDamagedOrForeignLoansTableIsRefusedButTheBooksList() {
        for (const bool damaged : {false, true}) {
            Shelf s;
            if (damaged) {
                for (int book = 1; book <= 4; ++book) {
                    QVERIFY(s.loans.Lend(book, "Ana", "2026-11-01", ""));
                }
            } else {
                QVERIFY(s.db->ExecuteStatement("CREATE TABLE loans(book, who)", ""));
            }
            const std::string root = RawCatalogue(s.file()).one(
                "SELECT rootpage FROM sqlite_master WHERE name = 'loans'");
            QVERIFY(s.db->Close());
            if (damaged) {
                // Garbage over the table's only page; the books' pages stay sound.
                QFile file(QString::fromStdString(s.file()));
                QVERIFY(file.open(QIODevice::ReadWrite));
                const qint64 page = std::stoll(RawCatalogue(s.file()).one("PRAGMA page_size"));
                QVERIFY(file.seek((std::stoll(root) - 1) * page + 8));
                file.write(QByteArray(200, '\x7f'));
            }
            QVERIFY(s.db->Open(s.file()));
            auto books = s.db->SelectAllBooks();
            QVERIFY(books);
            QCOMPARE(books->GetRecordCount(), 4L);
            QVERIFY(!s.loans.List({}));
            QVERIFY(!s.loans.Lend(1, "Dan", kToday, ""));
            QVERIFY(!s.loans.Return(1, kToday));
            QCOMPARE(LoanCountsText(s.loans.Counts(kToday)),
                     std::string("imprumuturi indisponibile"));
            QCOMPARE(s.messages.take(), Texts(3, shown::kLoansUnusable));
        }
    }
};

QTEST_APPLESS_MAIN(TestLoans)
#include "tst_loans.moc"
