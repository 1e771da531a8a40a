#include "complete/ui/CCompletionCommands.h"
#include "complete/ui/CCompletionReviewDlg.h"
#include "isbn/CBookDetailsStore.h"
#include "isbn/ReplayServer.h"
#include "shell/AppSettings.h"
#include "support/GuiDriver.h"
#include "view/ui/CRecordCommands.h"

#include <QBuffer>
#include <QImage>
#include <QStatusBar>
#include <QTableView>

// Records > "Completeaza din biblioteci...": looked up, reviewed, written as one step.
namespace {

// Acts on the review once it is up (a progress comes before it).
void WhenReview(std::function<void(CCompletionReviewDlg*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* review = qobject_cast<CCompletionReviewDlg*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(review);
        }
    });
    timer->start();
}

// "book|field|now|proposed|source|x" for each row as shown, "x" when checked.
QStringList Rows(CCompletionReviewDlg* review) {
    const QAbstractItemModel* m = review->findChild<QTableView*>("proposals")->model();
    QStringList out;
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 1; c < m->columnCount(); ++c) {
            cells << m->index(r, c).data().toString();
        }
        cells << (m->index(r, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked ? "x" : "-");
        out << cells.join('|');
    }
    return out;
}

struct CompletionRun : LibraryApp {
    ReplayServer server{QStringLiteral(ANSWERS_DIR)};
    QTemporaryDir cache;

    // Baltagul has no ISBN and is found by its title and author; Ion's namesake is another
    // author's, Abandonata is not found.
    CompletionRun() : LibraryApp({MakeBook("Baltagul", "Mihail Sadoveanu", "")}) {
        server.cover = CoverPng(20, 30);
        Settings().isbnService = server.address();
        Settings().isbnSources = "on|openlibrary|Open Library|https://openlibrary.org";
        Settings().isbnLookup = 1;
        frame()->CommandTarget<CCompletionCommands>()->Lookup()->SetCacheFolder(cache.path());
        CBookDetailsStore details(*doc()->GetDatabase(), nullptr);
        // Dune gets Tom Sawyer's ISBN: the libraries' answer differs from what the user has.
        for (const auto& [id, isbn] : {std::pair{1, "9780451526533"}, {3, "9789734641239"}}) {
            BookDetails d;
            d.isbn = isbn;
            details.Write(id, d);
        }
        RawCatalogue(file()).exec("UPDATE books SET editura = '', pagini = NULL WHERE id = 1");
    }
};

} // namespace

class TestCompletionCommands : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    // The review shows what would change, empty fields checked and the user's values not; the
    // chosen ones go in as one step of undo that restores every field; a second run asks the
    // libraries nothing again.
    void theReviewedChangesAreOneStep() {
        CompletionRun run;
        const char* all = "SELECT * FROM books ORDER BY id";
        const auto before = RawCatalogue(run.file()).rows(all);
        QStringList shown;
        QStringList narrowed;
        QStringList byProposed;
        WhenReview([&](CCompletionReviewDlg* review) {
            shown = Rows(review);
            auto* list = review->findChild<QTableView*>("proposals");
            list->sortByColumn(4, Qt::AscendingOrder);
            for (int r = 0; r < list->model()->rowCount(); ++r) {
                byProposed << list->model()->index(r, 4).data().toString();
            }
            list->sortByColumn(1, Qt::AscendingOrder);
            Choose(review, "field", 1); // Titlu
            narrowed = Rows(review);
            Press(review, "checkShown");
            Choose(review, "field", 0);
            Press(review, "ok");
        });
        run.trigger("recordsComplete");
        QCOMPARE(shown,
                 (QStringList{"Baltagul|Editura||Polirom|Open Library (titlu si autor)|-",
                              "Baltagul|Prima publicare|1|1930|Open Library (titlu si autor)|-",
                              "Dune|Titlu|Dune|The adventures of Tom Sawyer|Open Library|-",
                              "Dune|Autor|Herbert|Mark Twain|Open Library|-",
                              "Dune|Editura||Signet Classic|Open Library|x",
                              "Dune|Pagini||216|Open Library|x",
                              "Dune|Publicare volum|2003|1997|Open Library|-"}));
        // Numbers sort as numbers, before the texts.
        QCOMPARE(byProposed, (QStringList{"216", "1930", "1997", "Mark Twain", "Polirom",
                                          "Signet Classic", "The adventures of Tom Sawyer"}));
        QCOMPARE(run.frame()->statusBar()->currentMessage(),
                 QStringLiteral("Completate: 3 campuri in 1 carte. Edit > Undo: Anuleaza "
                                "completarea: 3 campuri in 1 carte"));
        // The books of an ISBN go in batches, without a request each for their first years.
        QVERIFY(!run.server.requests.join(' ').contains("search.json?isbn="));
        QCOMPARE(narrowed,
                 QStringList{"Dune|Titlu|Dune|The adventures of Tom Sawyer|Open Library|-"});
        QCOMPARE(RawCatalogue(run.file())
                     .rows("SELECT titlu, autor, editura, pagini FROM books "
                           "WHERE id = 1"),
                 Texts{"The adventures of Tom Sawyer|Herbert|Signet Classic|216"});
        // The found book's cover is fetched into the cache.
        QTRY_VERIFY(!run.frame()
                         ->CommandTarget<CCompletionCommands>()
                         ->Lookup()
                         ->CachedCover("9780451526533")
                         .isNull());
        QCOMPARE(run.frame()->CommandTarget<CRecordCommands>()->History()->undoText(),
                 QStringLiteral("Anuleaza completarea: 3 campuri in 1 carte"));
        run.trigger("editUndo");
        QCOMPARE(RawCatalogue(run.file()).rows(all), before);

        // Answers are kept: the second run asks nothing; Renunta writes nothing.
        const qsizetype asked = run.server.requests.size();
        WhenReview([](CCompletionReviewDlg* review) { Press(review, "cancel"); });
        run.trigger("recordsComplete");
        QCOMPARE(run.server.requests.size(), asked);
        QCOMPARE(RawCatalogue(run.file()).rows(all), before);
    }

    // A service that fails proposes nothing and changes nothing; its answers are not kept, so the
    // next run asks again.
    void aFailingServiceChangesNothing() {
        CompletionRun run;
        const char* all = "SELECT * FROM books ORDER BY id";
        const auto before = RawCatalogue(run.file()).rows(all);
        run.server.mode = ReplayServer::Mode::Status;
        run.server.status = 500;
        run.trigger("recordsComplete");
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Bibliotecile nu au nimic de adaugat cartilor alese."});
        QCOMPARE(RawCatalogue(run.file()).rows(all), before);
        const qsizetype asked = run.server.requests.size();
        run.server.mode = ReplayServer::Mode::Replay;
        WhenReview([](CCompletionReviewDlg* review) { Press(review, "cancel"); });
        run.trigger("recordsComplete");
        QVERIFY(run.server.requests.size() > asked);
    }

    // A book another program changes while the review is open is left as it is and named.
    void aBookChangedMeanwhileIsSkippedAndNamed() {
        CompletionRun run;
        WhenReview([&](CCompletionReviewDlg* review) {
            RawCatalogue(run.file()).exec("UPDATE books SET capitole = 9 WHERE id = 1");
            Press(review, "ok");
        });
        run.trigger("recordsComplete");
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Aceste carti au fost schimbate intre timp de alt program si au "
                             "ramas cum erau:\nDune"});
        QCOMPARE(RawCatalogue(run.file())
                     .rows("SELECT editura, pagini, capitole FROM books "
                           "WHERE id = 1"),
                 Texts{"|NULL|9"});
        QVERIFY(!run.action("editUndo")->isEnabled());
    }
};

QTEST_MAIN(TestCompletionCommands)
#include "tst_completioncommands.moc"
