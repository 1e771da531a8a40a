#include "loans/CLoanRegister.h"
#include "loans/ui/CLoanCommands.h"
#include "support/GuiDriver.h"

#include <QDateEdit>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

namespace {
const QDate kToday(2026, 12, 6);

// The program on the test library, its loans dated by kToday.
struct LoansApp : LibraryApp {
    explicit LoansApp(std::initializer_list<BookRecord> extra = {}) : LibraryApp(extra) {
        frame()->CommandTarget<CLoanCommands>()->SetClock([] { return kToday; });
    }
    CLoanRegister loans() { return CLoanRegister(*doc()->GetDatabase(), nullptr); }
};

QString LoanCount(RunningApp& run) {
    return run.frame()->findChild<QLabel*>("loanCount")->text();
}

// Every listed loan of the loans window: its texts joined by '|', "!" first when marked overdue.
QStringList Loans(QWidget* dlg) {
    const QAbstractItemModel* m = dlg->findChild<QTableView*>("loanList")->model();
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c) {
            cells << m->index(r, c).data().toString();
        }
        const bool red = m->index(r, 0).data(Qt::ForegroundRole).value<QBrush>().color() == Qt::red;
        out << (red ? "!" : "") + cells.join('|');
    }
    return out;
}

} // namespace

class TestLoanCommands : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void lendAndReturnShowInTheStatusBar() {
        LoansApp run;
        QCOMPARE(LoanCount(run), QStringLiteral("0 carti imprumutate, 0 intarziate"));
        QStringList dates;
        run.selectRow(1); // Dune
        WhenModal([&](QWidget* dlg) {
            dates << dlg->findChild<QPushButton*>("cancel")->text()
                  << dlg->findChild<QDateEdit*>("lent")->date().toString(Qt::ISODate)
                  << dlg->findChild<QDateEdit*>("due")->date().toString(Qt::ISODate);
            Press(dlg, "ok"); // no borrower yet
            QTest::keyClicks(dlg->findChild<QComboBox*>("borrower")->lineEdit(), "Ana");
            dlg->findChild<QDateEdit*>("lent")->setDate(QDate(2026, 10, 1));
            Press(dlg, "ok");
        });
        run.trigger("recordsLend");
        QCOMPARE(dates, (QStringList{"Renunta", "2026-12-06", "2027-01-05"}));
        QCOMPARE(LoanCount(run), QStringLiteral("1 carte imprumutata, 1 intarziata"));
        run.trigger("recordsLend"); // Dune is out
        QCOMPARE(run.prompts.takeMessages(),
                 (QStringList{shown::kNoBorrower,
                              "Cartea este deja imprumutata lui Ana din 2026-10-01!"}));

        QStringList offered;
        run.selectRow(2); // Ion
        WhenModal([&](QWidget* dlg) {
            auto* borrower = dlg->findChild<QComboBox*>("borrower");
            for (int i = 0; i < borrower->count(); ++i) {
                offered << borrower->itemText(i);
            }
            QTest::keyClicks(borrower->lineEdit(), "Dan");
            dlg->findChild<QCheckBox*>("hasDue")->setChecked(false);
            Press(dlg, "ok");
        });
        run.trigger("recordsLend");
        QCOMPARE(offered, QStringList{"Ana"});
        QCOMPARE(LoanCount(run), QStringLiteral("2 carti imprumutate, 1 intarziata"));

        run.selectRow(1);
        WhenModal([&](QWidget* dlg) {
            QCOMPARE(dlg->findChild<QDateEdit*>("returned")->date(), kToday);
            Press(dlg, "ok");
        });
        run.trigger("recordsReturn");
        run.selectRow(3); // Odiseea, never lent
        run.trigger("recordsReturn");
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kNotLent});
        QCOMPARE(RawCatalogue(run.file())
                     .rows("SELECT book, borrower, lent, due, returned FROM loans ORDER BY id"),
                 (Texts{"1|Ana|2026-10-01|2026-10-31|2026-12-06", "2|Dan|2026-12-06|NULL|NULL"}));
        QCOMPARE(LoanCount(run), QStringLiteral("1 carte imprumutata, 0 intarziate"));
    }

    void theLoansWindowSortsFiltersReturnsAndJumpsToTheBook() {
        LoansApp run;
        QVERIFY(run.loans().Lend(1, "Ana", "2026-11-01", "2026-12-01"));
        QVERIFY(run.loans().Lend(2, "Bogdan", "2026-09-01", "2026-11-01"));
        QVERIFY(run.loans().Lend(3, "Ana", "2026-11-20", "2026-12-20"));
        QVERIFY(run.loans().Lend(4, "Cezar", "2026-11-01", ""));
        QVERIFY(run.loans().Return(4, "2026-11-10"));
        QStringList seen;
        WhenModal([&](QWidget* dlg) {
            // A click on the borrower's header sorts by it.
            QHeaderView* header = dlg->findChild<QTableView*>("loanList")->horizontalHeader();
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(2) + 4, 4));
            seen << Loans(dlg) << "--";
            dlg->findChild<QCheckBox*>("withReturned")->setChecked(true);
            Choose(dlg, "borrowerFilter", 3); // (toti), Ana, Bogdan, Cezar
            seen << Loans(dlg) << "--";
            dlg->findChild<QCheckBox*>("withReturned")->setChecked(false);
            Choose(dlg, "borrowerFilter", 0);
            dlg->findChild<QTableView*>("loanList")->selectRow(2); // Ion, sorted by borrower
            Press(dlg, "returnLoan");
            seen << Loans(dlg) << LoanCount(run); // told at once, the window still open
            dlg->findChild<QTableView*>("loanList")->selectRow(1); // Odiseea
            Press(dlg, "showBook");
        });
        run.trigger("recordsLoans");
        QCOMPARE(seen, (QStringList{"!Dune|Herbert|Ana|2026-11-01|2026-12-01|5|",
                                    "Odiseea|Homer|Ana|2026-11-20|2026-12-20||",
                                    "!Ion|Rebreanu|Bogdan|2026-09-01|2026-11-01|35|", "--",
                                    "Abandonata|Nimeni|Cezar|2026-11-01|||2026-11-10", "--",
                                    "!Dune|Herbert|Ana|2026-11-01|2026-12-01|5|",
                                    "Odiseea|Homer|Ana|2026-11-20|2026-12-20||",
                                    "2 carti imprumutate, 1 intarziata"}));
        QCOMPARE(run.view()->FirstSelectedRow(), 3);
        QCOMPARE(LoanCount(run), QStringLiteral("2 carti imprumutate, 1 intarziata"));
        QVERIFY(run.prompts.messages.isEmpty());
    }

    // A borrower's or a title's full 255 characters never push a window past the screen.
    void longNamesKeepTheWindowsOnTheScreen() {
        const std::string longTitle(255, 't');
        LoansApp run({MakeBook(longTitle, "A")});
        QVERIFY(run.loans().Lend(1, std::string(255, 'b'), "2026-11-01", ""));
        const int screen = QGuiApplication::primaryScreen()->availableGeometry().width();
        QStringList widths;
        const auto measure = [&](QWidget* dlg) {
            const int w = dlg->frameGeometry().width();
            widths << (w <= screen ? QString("fits") : QString("%1 of %2").arg(w).arg(screen));
            Press(dlg, dlg->findChild<QWidget*>("cancel") ? "cancel" : "close");
        };
        run.selectRow(4); // the long title, listed last
        QVERIFY(run.view()->Model()->Text(4, 1).size() == 255);
        WhenModal(measure);
        run.trigger("recordsLend");
        WhenModal(measure);
        run.trigger("recordsLoans");
        QCOMPARE(widths, QStringList(2, "fits"));
    }

    // A lent book is deleted only when the user says so, and its loan is closed with it; undo
    // brings both back.
    void deletingALentBook() {
        LoansApp run;
        QVERIFY(run.loans().Lend(1, "Ana", "2026-11-01", "2026-12-01"));
        run.trigger("viewAll"); // the status bar counts the loan
        RawCatalogue raw(run.file());
        // The loan as stored, then the status bar's count.
        const auto loan = [&] {
            return QString::fromStdString(raw.one("SELECT book || '|' || borrower || '|' || "
                                                  "ifnull(returned, 'open') FROM loans")) +
                   ", " + LoanCount(run);
        };
        const QString asked = "Cartea este imprumutata lui Ana din 2026-11-01. O stergeti oricum?";
        run.prompts.answers = {false, true};
        run.selectRow(1); // Dune
        run.trigger("recordsDelete");
        QCOMPARE(run.prompts.questions, QStringList{asked});
        QVERIFY(run.column(1).contains("Dune"));
        QCOMPARE(loan(), QString("1|Ana|open, 1 carte imprumutata, 1 intarziata"));
        QVERIFY(!run.action("editUndo")->isEnabled());
        run.selectRow(1);
        run.trigger("recordsDelete");
        QCOMPARE(run.prompts.questions, QStringList(2, asked));
        QVERIFY(!run.column(1).contains("Dune"));
        QCOMPARE(loan(), QString("1|Ana|2026-12-06, 0 carti imprumutate, 0 intarziate"));
        run.trigger("editUndo");
        QCOMPARE(raw.one("SELECT count(*) FROM books WHERE titlu = 'Dune' AND id = 1"),
                 std::string("1"));
        QCOMPARE(loan(), QString("1|Ana|open, 1 carte imprumutata, 1 intarziata"));
        run.trigger("editRedo");
        QCOMPARE(raw.one("SELECT count(*) FROM books"), std::string("3"));
        QCOMPARE(loan(), QString("1|Ana|2026-12-06, 0 carti imprumutate, 0 intarziate"));
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void aForeignLoansTableIsRefusedQuietlyUntilAsked() {
        Library books;
        QVERIFY(RawCatalogue(books.file()).exec("CREATE TABLE loans(book, who)"));
        RunningApp run(books.path);
        QCOMPARE(LoanCount(run), QStringLiteral("imprumuturi indisponibile"));
        QVERIFY(run.prompts.messages.isEmpty());
        run.trigger("recordsLoans");
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kLoansUnusable});
        QCOMPARE(run.rows().size(), 4);
    }
};

QTEST_MAIN(TestLoanCommands)
#include "tst_loancommands.moc"
