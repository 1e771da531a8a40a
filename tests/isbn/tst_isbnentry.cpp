#include "isbn/IsbnCode.h"
#include "isbn/ReplayServer.h"
#include "isbn/ui/CIsbnCommands.h"
#include "lookup/LookupSources.h"
#include "shell/AppSettings.h"
#include "shell/WriteInProgress.h"
#include "support/GuiDriver.h"
#include "view/ListedDetails.h"
#include "view/ui/CShelfwardenView.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDate>
#include <QHeaderView>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTcpServer>
#include <chrono>
#include <thread>

namespace {
const QString kLookupTom = "/api/books?bibkeys=ISBN:9780451526533&format=json&jscmd=data";
const QString kLookupPride = "/api/books?bibkeys=ISBN:9780141439518&format=json&jscmd=data";
const QString kSearchTom = "/search.json?isbn=9780451526533&fields=first_publish_year";
const QString kCheckDigit = "ISBN gresit: cifra de control nu se potriveste";
const QString kAlreadyThere =
    "O carte cu acest ISBN este deja in catalog (este aleasa in lista). Adaugati inca un "
    "exemplar?";

// The program on the test library, its ISBN window up, looking books up at a local server.
struct IsbnRun : LibraryApp {
    ReplayServer server{QStringLiteral(ANSWERS_DIR)};
    QTemporaryDir cache;
    CIsbnEntryDlg* window = nullptr;

    explicit IsbnRun(int lookups = 1) {
        server.cover = CoverPng(20, 30);
        Settings().isbnService = server.address();
        Settings().isbnSources = "on|openlibrary|Open Library|https://openlibrary.org";
        Settings().isbnLookup = lookups;
        trigger("recordsAddByIsbn");
        window = frame()->CommandTarget<CIsbnCommands>()->Window();
        window->Lookup()->SetCacheFolder(cache.path());
    }
    QLineEdit* field() const { return window->findChild<QLineEdit*>("isbn"); }
    // Types as a scanner does: the digits, then Enter.
    void scan(const QString& isbn) {
        QTest::keyClicks(field(), isbn);
        QTest::keyClick(field(), Qt::Key_Return);
    }
    QString status() const { return frame()->statusBar()->currentMessage(); }
    Texts stored(const char* sql) const { return RawCatalogue(file()).rows(sql); }
};

using Step = std::function<void(QWidget*)>;

// The book dialog's first page and the ISBN on Detalii, joined by '|'; then `then` runs.
Step Shown(QString& seen, Step then) {
    return [&seen, then](QWidget* dlg) {
        seen = Values(dlg, {"titlu", "autor", "editura", "pagini", "publicare", "publicare_volum",
                            "isbn"})
                   .join('|');
        then(dlg);
    };
}

// Completes what the look-up could not give and confirms.
Step Confirm(const QString& title = {}) {
    return [title](QWidget* dlg) {
        if (!title.isEmpty()) {
            TypeInto(dlg, "titlu", title);
            TypeInto(dlg, "autor", "Autor");
            TypeInto(dlg, "editura", "Editura");
        }
        Press(dlg, "ok");
    };
}

} // namespace

class TestIsbnEntry : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { UseTemporarySettings(); }

    void aScannedIsbnIsLookedUpAndAddedWithItsDetails() {
        IsbnRun run(-1);
        QString seen;
        QString asked;
        bool cover = false;
        WhenModals({[&](QWidget* consent) {
                        // ISBNs may go to the service, which may reach the user here.
                        for (const QLabel* label : consent->findChildren<QLabel*>()) {
                            asked += label->text() + '\n';
                        }
                        TypeInto(consent, "isbnContact", " ana@example.org ");
                        Press(consent, "ok");
                    },
                    Shown(seen, [&](QWidget* dlg) {
                        cover = !dlg->findChild<QLabel*>("coperta")->pixmap().isNull();
                        dlg->findChild<QComboBox*>("locatie")->setCurrentText("Birou, raftul 2");
                        dlg->findChild<QComboBox*>("serie")->setCurrentText("Clasici");
                        TypeInto(dlg, "numar_serie", "3");
                        Confirm()(dlg);
                    })});
        run.scan("0-451-52653-8");
        QTRY_COMPARE(run.stored("SELECT count(*) FROM books"), Texts{"5"});
        QCOMPARE(seen,
                 QString("The adventures of Tom Sawyer|Mark Twain|Signet Classic|216|1876|1997|"
                         "9780451526533"));
        QVERIFY(cover);
        // What the service does not know stays unknown, and out of the statistics.
        QCOMPARE(
            run.stored("SELECT b.titlu || '|' || d.isbn || '|' || d.locatie || '|' || "
                       "d.serie || '|' || d.numar_serie || '|' || pagini || '|' || publicare_volum "
                       "|| '|' || ifnull(capitole, '?') || ifnull(volume, '?') || "
                       "ifnull(publicare, '?') || '|' || d.adaugata || '|' || d.sursa FROM books b "
                       "JOIN book_details d ON d.id = b.id"),
            Texts{"The adventures of Tom Sawyer|9780451526533|Birou, raftul 2|Clasici|3|216|"
                  "1997|??1876|" +
                  QDate::currentDate().toString(Qt::ISODate).toStdString() + "|Open Library"});
        // Asked once whether ISBNs may be sent, and for a contact; both are kept, and every
        // request names the program and the contact.
        QVERIFY(asked.contains("la Open Library: ISBN-ul"));
        QVERIFY(asked.contains("Open Library cere o adresa de contact"));
        QCOMPARE(run.prompts.questions, QStringList());
        QCOMPARE(SettingsStore()->value("ISBN Lookup").toInt(), 1);
        QCOMPARE(SettingsStore()->value("ISBN Contact").toString(), QString("ana@example.org"));
        QCOMPARE(run.server.requests, (QStringList{kLookupTom, kSearchTom, "/b/id/295577-M.jpg"}));
        QCOMPARE(run.server.agents,
                 QStringList(3, "Shelfwarden/" SHELFWARDEN_VERSION " (+ana@example.org)"));
        // Ready for the next book.
        QCOMPARE(run.field()->text(), QString());
        QCOMPARE(run.window->focusWidget(), run.field());
        // Scanned again for another copy, the ISBN is answered from the cache.
        run.prompts.answers = {true};
        QString again;
        WhenModal(Shown(again, [](QWidget* dlg) { Press(dlg, "cancel"); }));
        run.scan("978-0-451-52653-3");
        QTRY_COMPARE(again, seen);
        // Its cover, kept on disk, is on Detalii whenever the book is opened again.
        run.selectRow(run.column(1).indexOf("The adventures of Tom Sawyer"));
        cover = false;
        WhenModal([&](QWidget* dlg) {
            cover = !dlg->findChild<QLabel*>("coperta")->pixmap().isNull();
            Press(dlg, "cancel");
        });
        run.trigger("recordsModify");
        QVERIFY(cover);
        QCOMPARE(run.server.requests.size(), 3);
        QCOMPARE(run.prompts.takeMessages(), QStringList());
    }

    void aFailedLookupOpensTheDialogWithJustTheIsbn_data() {
        QTest::addColumn<int>("mode"); // -1: no service listens at all
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("said"); // names the ISBN scanned
        using M = ReplayServer::Mode;
        QTest::newRow("not found") << int(M::Replay) << QByteArray() << 200
                                   << "ISBN 9791032305690 nu a fost gasit la serviciul de cautare";
        QTest::newRow("an HTML page")
            << int(M::Body) << QByteArray("<html>proxy</html>") << 200
            << "ISBN 9780451526533: raspunsul serviciului de cautare nu poate fi citit";
        QTest::newRow("refused")
            << int(M::Status) << QByteArray() << 403
            << "ISBN 9780451526533: serviciul de cautare a refuzat cererea (403)";
        QTest::newRow("a slow service")
            << int(M::Silent) << QByteArray() << 200
            << "ISBN 9780451526533: serviciul de cautare nu a raspuns la timp";
        QTest::newRow("the service down")
            << -1 << QByteArray() << 200
            << "ISBN 9780451526533: serviciul de cautare nu poate fi contactat";
    }
    void aFailedLookupOpensTheDialogWithJustTheIsbn() {
        QFETCH(int, mode);
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, said);
        const QString isbn = said.mid(5, 13);
        const bool down = mode < 0;
        IsbnRun run;
        run.server.mode = down ? ReplayServer::Mode::Replay : static_cast<ReplayServer::Mode>(mode);
        run.server.body = body;
        run.server.status = status;
        run.window->Lookup()->SetTimeout(300);
        if (down) {
            QTcpServer closed;
            closed.listen(QHostAddress::LocalHost);
            Settings().isbnService = QStringLiteral("http://127.0.0.1:%1").arg(closed.serverPort());
        }
        QString seen;
        QString statusShown;
        WhenModal(Shown(seen, [&](QWidget* dlg) {
            statusShown = run.status();
            Confirm("Scrisa de mana")(dlg);
        }));
        run.scan(isbn);
        QTRY_VERIFY_WITH_TIMEOUT(!seen.isEmpty(), 15000);
        QCOMPARE(seen, "||||||" + isbn); // nothing is made up for a book not found
        QCOMPARE(statusShown, said);
        // A refusal is told once a run: the user can give the service a contact.
        QCOMPARE(run.prompts.takeMessages(),
                 status == 403 ? QStringList{"Serviciul Open Library a refuzat cererea (403). "
                                             "Adaugati o adresa de e-mail in Optiuni > ISBN."}
                               : QStringList());
        if (status == 403) {
            WhenModal(Shown(seen, [](QWidget* dlg) { Press(dlg, "cancel"); }));
            run.scan("9780141439518");
            QTRY_VERIFY(seen.endsWith("9780141439518"));
            QCOMPARE(run.prompts.takeMessages(), QStringList());
        }
        // Nothing typed or scanned is lost: the book goes in with its ISBN.
        QCOMPARE(run.stored("SELECT b.titlu || '|' || d.isbn FROM books b JOIN book_details d ON "
                            "d.id = b.id"),
                 Texts{"Scrisa de mana|" + isbn.toStdString()});
        // A failure is not kept (the next look-up asks again); an answer is.
        run.server.mode = ReplayServer::Mode::Replay;
        Settings().isbnService = run.server.address();
        run.prompts.answers = {true};
        QString again;
        WhenModal(Shown(again, [](QWidget* dlg) { Press(dlg, "cancel"); }));
        run.scan(isbn);
        QTRY_VERIFY(!again.isEmpty());
        // Enter answers No: the next book's scan must not add a copy of this one.
        QCOMPARE(run.prompts.questions, QStringList{"(nu) " + kAlreadyThere});
        QCOMPARE(run.server.requests.count(kLookupTom),
                 down ? 1 : (isbn == "9780451526533" ? 2 : 0));
    }

    // An answer's texts reach the dialog fitted to the catalogue, with a note saying what was cut,
    // and go in whole; a book answered while an import writes waits until the import is over.
    void anAnswerIsFittedAndWaitsForAWriteUnderWay() {
        IsbnRun run;
        const QString markup = "<img src=\"file:///dev/zero\">" + QString("cuvant ").repeated(2000);
        run.server.mode = ReplayServer::Mode::Body;
        run.server.body =
            QJsonDocument(
                QJsonObject{
                    {"ISBN:9780451526533",
                     QJsonObject{
                         {"title", markup},
                         {"authors", QJsonArray{QJsonObject{{"name", QString("ș").repeated(256)}}}},
                         {"publishers",
                          QJsonArray{QJsonObject{{"name", QString("Ed") + QChar(0) + "itura"}}}}}}})
                .toJson();
        QString seen;
        QString note;
        auto writing = std::make_unique<WriteInProgress>();
        WhenModal(Shown(seen, [&](QWidget* dlg) {
            note = dlg->findChild<QLabel*>("note_label")->text();
            Press(dlg, "ok");
        }));
        run.scan("9780451526533");
        QTRY_COMPARE(run.status(), QString("ISBN 9780451526533 asteapta sfarsitul importului"));
        QTest::qWait(600);
        QVERIFY(seen.isEmpty());
        writing.reset();
        QTRY_VERIFY(!seen.isEmpty());
        // Cut after a word, then "...".
        QCOMPARE(seen, markup.left(251) + "...|" + QString("ș").repeated(252) +
                           "...|Ed itura||||9780451526533");
        QCOMPARE(note, QString("Gasit la: Open Library\nPrea lung de la serviciul de cautare, "
                               "scurtat la 255 de caractere: Titlu, Autor."));
        QCOMPARE(run.stored("SELECT length(titlu) || '|' || length(autor) || '|' || editura FROM "
                            "books WHERE id = 5"),
                 Texts{"254|255|Ed itura"});
        QCOMPARE(run.prompts.takeMessages(), QStringList());
        // A stored text longer than the catalogue holds (a file made elsewhere) is refused on OK
        // like a typed one, and what the user typed stays in the dialog.
        QVERIFY(RawCatalogue(run.file())
                    .exec("PRAGMA ignore_check_constraints = 1; UPDATE books SET titlu = titlu || "
                          "'xy' WHERE id = 5"));
        run.trigger("viewAll");
        run.selectRow(run.column(1).indexOf(QRegularExpression("^<img.*")));
        QString kept;
        WhenModal([&](QWidget* dlg) {
            TypeInto(dlg, "autor", "Ana Blandiana");
            Press(dlg, "ok");
            kept = Value(dlg, "autor");
            Press(dlg, "cancel");
        });
        run.trigger("recordsModify");
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kTextTooLong});
        QCOMPARE(kept, QString("Ana Blandiana"));
    }

    // A scanner does not wait for the dialog: its burst is taken from the field that has the
    // focus, its Enter confirms nothing, and the ISBN is looked up once the dialog is closed. A
    // person typing digits is not taken for one.
    void aScanNeverLandsInTheOpenDialog() {
        IsbnRun run;
        QStringList seen; // the first book, the queue, the pages typed, then the second book
        QString second;
        WhenModals({[&](QWidget* dlg) {
                        QWidget* focus = QApplication::focusWidget();
                        QTest::keyClicks(focus, "9780141439518", Qt::NoModifier, 5);
                        QTest::keyClick(focus, Qt::Key_Return);
                        seen << Values(dlg, {"titlu", "autor", "isbn"}).join('|') +
                                    (dlg->isVisible() ? "|open" : "|closed")
                             << run.frame()->findChild<QLabel*>("scanQueue")->text();
                        // Looked up while this book is being confirmed.
                        QTRY_VERIFY(run.server.requests.contains(kLookupPride));
                        dlg->findChild<QLineEdit*>("pagini")->clear();
                        QTest::keyClicks(dlg->findChild<QLineEdit*>("pagini"), "312",
                                         Qt::NoModifier, 150);
                        QTest::qWait(100);
                        seen << Value(dlg, "pagini");
                        Press(dlg, "ok");
                    },
                    Shown(second, [](QWidget* dlg) { Press(dlg, "cancel"); })});
        run.scan("9780451526533");
        QTRY_VERIFY_WITH_TIMEOUT(!second.isEmpty(), 10000);
        QCOMPARE(seen << second.section('|', 0, 0) + "|" + second.section('|', -1),
                 (QStringList{"The adventures of Tom Sawyer|Mark Twain|9780451526533|open",
                              "In asteptare: 1 ISBN", "312",
                              "Pride and Prejudice: a novel|9780141439518"}));
        QCOMPARE(run.stored("SELECT titlu || '|' || pagini FROM books WHERE id = 5"),
                 Texts{"The adventures of Tom Sawyer|312"});
        QVERIFY(!run.frame()->findChild<QLabel*>("scanQueue")->isVisible());
    }

    // A Romanian book Open Library does not know is found in a library's catalogue: the dialog
    // is filled from its record, series included, and says where it came from.
    void aBookOpenLibraryLacksIsFoundInALibrary() {
        IsbnRun run;
        Settings().isbnSources = QString::fromStdString(FormatSources(
            {{true, SourceKind::OpenLibrary, "Open Library", "https://openlibrary.org"},
             {true, SourceKind::SruMarc21, "Library of Congress",
              run.server.address().toStdString() + "/lcdb"}}));
        QString seen;
        QString more;
        WhenModal(Shown(seen, [&](QWidget* dlg) {
            more = dlg->findChild<QLabel*>("note_label")->text() + '|' +
                   Values(dlg, {"serie", "numar_serie"}).join('|');
            Press(dlg, "cancel");
        }));
        run.scan("9789734609123");
        QTRY_VERIFY(!seen.isEmpty());
        QCOMPARE(seen + '|' + more, QString("Baltagul|Mihail Sadoveanu|Polirom|223|1930|2004|"
                                            "9789734609123|Gasit la: Library of Congress|"
                                            "Biblioteca Polirom. Clasici|12"));
        // A book whose title Open Library gives and the library completes has Open Library for
        // its source.
        WhenModal(Confirm());
        run.scan("9780141439518");
        QTRY_COMPARE(run.stored("SELECT sursa FROM book_details"), Texts{"Open Library"});
    }

    // Keys are timed as the scanner typed them: a moment the program is busy in the middle of a
    // scan, which makes it take the rest late and at once, does not split the scan.
    void aScanTakenLateIsStillOneScan() {
        IsbnRun run;
        QString during;
        QString second;
        WhenModals({[&](QWidget* dlg) {
                        QWidget* focus = dlg->findChild<QLineEdit*>("titlu");
                        ulong typed = 1000;
                        const auto press = [&](const QString& keys) {
                            for (const QChar c : keys) {
                                const int key =
                                    c == '\n' ? Qt::Key_Return : Qt::Key_0 + c.digitValue();
                                QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier,
                                                c == '\n' ? QString("\r") : QString(c));
                                event.setTimestamp(typed += 4);
                                QApplication::sendEvent(focus, &event);
                            }
                        };
                        press("978014");
                        std::this_thread::sleep_for(std::chrono::milliseconds(80));
                        QCoreApplication::processEvents(); // what was due while it was busy
                        press("1439518\n");
                        during = Values(dlg, {"titlu", "isbn"}).join('|');
                        Press(dlg, "ok");
                    },
                    Shown(second, [](QWidget* dlg) { Press(dlg, "cancel"); })});
        run.scan("9780451526533");
        QTRY_VERIFY_WITH_TIMEOUT(!second.isEmpty(), 10000);
        QCOMPARE(during, QString("The adventures of Tom Sawyer|9780451526533"));
        QVERIFY(second.endsWith("|9780141439518"));
    }

    // Books asked together go out together, up to 25 a request and one request a second; a
    // book found is answered once its work's first year is known too.
    void lookupsAreBatchedAndSpacedByOneSecond() {
        ReplayServer server{QStringLiteral(ANSWERS_DIR)};
        QTemporaryDir cache;
        CLookupChain lookup;
        lookup.SetService(server.address());
        lookup.SetCacheFolder(cache.path());
        qint64 now = 50000;
        lookup.SetClock([&now] { return now; });
        QStringList answered;
        connect(&lookup, &CLookupChain::Answered, this,
                [&](const QString& isbn, const LookupAnswer&) { answered << isbn; });
        lookup.Lookup("9780451526533");
        lookup.Lookup("9780141439518");
        const QString both =
            "/api/books?bibkeys=ISBN:9780451526533,ISBN:9780141439518&format=json&jscmd=data";
        QTRY_COMPARE(server.requests, QStringList{both});
        now += 999;
        // Past a real second and more, the clock still says the second has not passed.
        QTest::qWait(1500);
        QCOMPARE(server.requests, QStringList{both});
        now += 1;
        QTRY_COMPARE(server.requests, (QStringList{both, kSearchTom}));
        QTRY_COMPARE(answered, QStringList{"9780451526533"});
        now += 1000;
        QTRY_COMPARE(answered, (QStringList{"9780451526533", "9780141439518"}));
        // Thirty waiting: two requests.
        server.requests.clear();
        for (int n = 0, asked = 0; asked < 30; ++n) {
            const std::string isbn = std::to_string(9790000000000 + n);
            if (CheckIsbn(isbn).problem == IsbnProblem::None) {
                lookup.Lookup(isbn);
                ++asked;
            }
        }
        now += 1000;
        QTRY_COMPARE(server.requests.size(), 1);
        QCOMPARE(server.requests.first().count("ISBN:"), 25);
        now += 1000;
        QTRY_COMPARE(server.requests.size(), 2);
        QCOMPARE(server.requests.last().count("ISBN:"), 5);
        QTRY_COMPARE(answered.size(), 32);
    }

    // A wrong ISBN, or a catalogue that cannot take a book, is told before anything is looked up;
    // the ISBN scanned is kept to mend.
    void aScanThatCannotGoOnIsRefusedAndKept() {
        IsbnRun run;
        for (const auto& [typed, message] : QList<QPair<QString, QString>>{
                 {"9780451526534", kCheckDigit},
                 {"97804515", "ISBN gresit: trebuie sa aiba 10 cifre (ultima poate fi X) sau 13 "
                              "cifre incepand cu 978 sau 979"},
                 {"9780451526533", shown::kNoType}}) {
            if (message == shown::kNoType) {
                QVERIFY(RawCatalogue(run.file()).exec("DELETE FROM books; DELETE FROM types"));
                run.view()->ReloadLookups();
                // The starter set is offered first; declined, the catalogue has no type.
                WhenModal([](QWidget* starterSet) { Press(starterSet, "cancel"); });
            }
            run.field()->clear();
            run.scan(typed);
            QCOMPARE(run.prompts.takeMessages(), QStringList{message});
            QCOMPARE(run.field()->text(), typed);
        }
        QVERIFY(run.server.requests.isEmpty());
    }

    void anIsbnAlreadyThereShowsThatBookAndAsks() {
        IsbnRun run(0); // look-ups off: the dialog opens with the ISBN alone
        WhenModal(Confirm("Primul exemplar"));
        run.scan("9780451526533");
        QTRY_COMPARE(run.stored("SELECT count(*) FROM book_details"), Texts{"1"});
        QCOMPARE(run.status(), QString("Cautarea dupa ISBN este oprita (Options, pagina ISBN)"));
        run.view()->clearSelection();
        // No: nothing more; the book is shown in the list.
        run.prompts.answers = {false};
        run.scan("0451526538");
        // Enter answers No: the next book's scan must not add a copy of this one.
        QCOMPARE(run.prompts.questions, QStringList{"(nu) " + kAlreadyThere});
        const QModelIndexList selected = run.view()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(run.view()->Model()->Text(selected.first().row(), 1), QString("Primul exemplar"));
        QCOMPARE(run.stored("SELECT count(*) FROM books"), Texts{"5"});
        // Yes: another copy, with the same ISBN, title and author, asked about once. The ISBN
        // scanned again while its dialog is open waits its turn, and is not looked up either.
        run.prompts.questions.clear();
        run.prompts.answers = {true, false};
        WhenModal([](QWidget* dlg) {
            auto* title = dlg->findChild<QLineEdit*>("titlu");
            QTest::keyClicks(title, "0451526538", Qt::NoModifier, 5);
            QTest::keyClick(title, Qt::Key_Return);
            QTest::qWait(200); // time enough for a look-up to reach the service
            Confirm("Primul exemplar")(dlg);
        });
        run.scan("0451526538");
        QCOMPARE(run.prompts.questions, QStringList(2, "(nu) " + kAlreadyThere));
        QCOMPARE(run.stored("SELECT group_concat(titlu || ' ' || ifnull(isbn, '-')) FROM books "
                            "LEFT JOIN book_details USING (id) WHERE id > 4"),
                 Texts{"Primul exemplar 9780451526533,Primul exemplar 9780451526533"});
        QVERIFY(run.server.requests.isEmpty());
    }

    void detailsFollowTheBookThroughModifyDeleteAndUndo() {
        LibraryApp run;
        WhenModal([](QWidget* dlg) {
            TypeInto(dlg, "titlu", "Fundatia");
            TypeInto(dlg, "autor", "Asimov");
            TypeInto(dlg, "editura", "Paladin");
            Choose(dlg, "calificativ", 6);
            dlg->findChild<QTabWidget*>("pages")->setCurrentIndex(1);
            TypeInto(dlg, "isbn", "978-0-553-29335-7");
            dlg->findChild<QComboBox*>("locatie")->setCurrentText("Hol");
            TypeInto(dlg, "note", "cadou");
            Press(dlg, "ok");
        });
        run.trigger("recordsAdd");
        const char* details = "SELECT id || '|' || isbn || '|' || locatie || '|' || "
                              "ifnull(note, '') FROM book_details";
        // The location and ISBN the list shows for the book.
        const auto listed = [&run] {
            const int row = run.column(1).indexOf("Fundatia");
            return run.column(kLocationColumn).at(row) + "|" + run.column(kIsbnColumn).at(row);
        };
        QCOMPARE(RawCatalogue(run.file()).rows(details), Texts{"5|9780553293357|Hol|cadou"});
        // Modify: the names used are offered; a change of details alone is a change.
        run.selectRow(run.column(1).indexOf("Fundatia"));
        QStringList offered;
        QString number = "not shown";
        WhenModal([&](QWidget* dlg) {
            auto* locatie = dlg->findChild<QComboBox*>("locatie");
            for (int i = 0; i < locatie->count(); ++i) {
                offered << locatie->itemText(i);
            }
            number = Value(dlg, "numar_serie");
            dlg->findChild<QComboBox*>("locatie")->setCurrentText("Dormitor");
            Press(dlg, "ok");
        });
        run.trigger("recordsModify");
        QCOMPARE(offered, QStringList{"Hol"});
        QCOMPARE(number, QString()); // no number in a series given: none shown
        QCOMPARE(RawCatalogue(run.file()).rows(details), Texts{"5|9780553293357|Dormitor|cadou"});
        // The ISBN and location columns are hidden until turned on from the header's menu, show the
        // book's details as they are now, and stay as the user left them; the quick filter finds a
        // book by its details.
        CShelfwardenView* view = run.view();
        QHeaderView* header = view->horizontalHeader();
        QCOMPARE(header->contextMenuPolicy(), Qt::ActionsContextMenu);
        QStringList columns;
        for (QAction* a : header->actions()) {
            columns << a->text();
        }
        QCOMPARE(columns, (QStringList{"ISBN", "Locatie"}));
        QVERIFY(view->isColumnHidden(kIsbnColumn) && view->isColumnHidden(kLocationColumn));
        header->actions().at(1)->trigger();
        QVERIFY(!view->isColumnHidden(kLocationColumn) && view->isColumnHidden(kIsbnColumn));
        QCOMPARE(listed(), QString("Dormitor|9780553293357"));
        QCOMPARE(header->model()->headerData(kLocationColumn, Qt::Horizontal).toString(),
                 QString("Locatie"));
        QTRY_COMPARE(SettingsStore()->value("Show Location").toInt(), 1);
        QCOMPARE(SettingsStore()->value("Show ISBN").toInt(), 0);
        auto* box = run.frame()->findChild<QLineEdit*>("quickFilter");
        QTest::keyClicks(box, "0-553-29335-4");
        QCOMPARE(run.column(1), QStringList{"Fundatia"});
        box->clear();
        run.trigger("editUndo");
        QCOMPARE(RawCatalogue(run.file()).rows(details), Texts{"5|9780553293357|Hol|cadou"});
        run.trigger("editRedo");
        // A listing read again shows them as stored.
        run.trigger("viewAll");
        QCOMPARE(listed(), QString("Dormitor|9780553293357"));
        // Delete takes the details along; undo brings both back.
        run.selectRow(run.column(1).indexOf("Fundatia"));
        run.trigger("recordsDelete");
        QCOMPARE(RawCatalogue(run.file()).rows(details), Texts{});
        run.trigger("editUndo");
        QCOMPARE(RawCatalogue(run.file()).rows(details), Texts{"5|9780553293357|Dormitor|cadou"});
        // A wrong ISBN on Detalii is refused with the page in sight.
        run.selectRow(run.column(1).indexOf("Fundatia"));
        int page = -1;
        WhenModal([&](QWidget* dlg) {
            dlg->findChild<QTabWidget*>("pages")->setCurrentIndex(1);
            TypeInto(dlg, "isbn", "9780553293358");
            Press(dlg, "ok");
            page = dlg->findChild<QTabWidget*>("pages")->currentIndex();
            Press(dlg, "cancel");
        });
        run.trigger("recordsModify");
        QCOMPARE(page, 1);
        QCOMPARE(run.prompts.takeMessages(), QStringList{kCheckDigit});
    }
};

QTEST_MAIN(TestIsbnEntry)
#include "tst_isbnentry.moc"
