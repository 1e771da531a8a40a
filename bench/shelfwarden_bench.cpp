// Times the everyday operations of the program on a generated catalogue, each against the same
// statements run straight through SQLite, and prints one row per operation.

#include "BenchCatalogue.h"
#include "ReferenceEngine.h"
#include "bulk/BulkChange.h"
#include "bulk/DoubleBooks.h"
#include "complete/CatalogueCompletion.h"
#include "complete/ui/CCompletionModel.h"
#include "isbn/LookupCache.h"
#include "isbn/ReplayServer.h"
#include "isbn/ui/LookupAnswer.h"
#include "loans/CLoanRegister.h"
#include "loans/ui/CLoanListModel.h"
#include "lookup/LookupSources.h"
#include "lookup/ui/CLookupChain.h"
#include "search/SearchStatements.h"
#include "shell/CShelfwardenDoc.h"
#include "stats/GeneralStatistics.h"
#include "stats/NameStatistics.h"
#include "stats/ui/ChartDrawing.h"
#include "store/CBookDatabase.h"
#include "store/CatalogueCopy.h"
#include "store/DetailsSchema.h"
#include "store/LookupList.h"
#include "store/StatementFormat.h"
#include "view/BookRowTable.h"
#include "view/ListingQuery.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CCoverGrid.h"
#include "view/ui/CShelfwardenView.h"

#include <QApplication>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QEventLoop>
#include <QImage>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <malloc.h>

namespace {

struct Options {
    int books = 100000;
    int runs = 5;
    std::string titles;
    std::string out;
};

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (arg == "--books") {
            o.books = std::max(1, std::atoi(value().c_str()));
        } else if (arg == "--runs") {
            o.runs = std::max(1, std::atoi(value().c_str()));
        } else if (arg == "--titles") {
            o.titles = value();
        } else if (arg == "--out") {
            o.out = value();
        } else {
            std::fprintf(stderr,
                         "usage: shelfwarden-bench [--books N] [--titles FILE.csv] [--out FILE] "
                         "[--runs R]\n");
            return false;
        }
    }
    return true;
}

double Milliseconds(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct Result {
    std::string name;
    double ms;
    double referenceMs;
    long peakKiB; // the program's own runs
};

// The most memory the process has held since the peak was last reset (VmHWM).
long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return 0;
}

// From here on, the peak counts from what the process holds now (memory freed but kept by the
// allocator included, as the program keeps it).
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "shelfwarden-bench: %s\n", what.c_str());
    std::exit(1);
}

} // namespace

int main(int argc, char** argv) {
    // The charts are drawn by widgets, into pictures: no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    Options o;
    if (!ParseOptions(argc, argv, o)) {
        return 2;
    }
    QTemporaryDir dir;
    const std::string catalogue = dir.filePath("bench.mdb").toStdString();
    const std::string reference = dir.filePath("reference.db").toStdString();
    {
        const auto books = MakeBenchBooks(o.books, o.titles);
        WriteProgramCatalogue(catalogue, books);
        WriteReferenceCatalogue(reference, books);
    }
    const std::string today = "2026-12-06";
    AddProgramLoans(catalogue, today);
    AddReferenceLoans(reference, today);
    // Making the catalogue is the benchmark's work, not the program's: the peak counts from here.
    malloc_trim(0);
    ResetPeak();
    MessageSink failOnMessage = [](const std::string& m) { Fail("the program reported: " + m); };
    ReferenceEngine ref(reference);

    // The program's state between operations: a catalogue, its lookups and the listed rows.
    auto db = std::make_unique<CBookDatabase>(failOnMessage);
    LookupList types;
    LookupList states;
    CBookListModel model;
    // As the list lists: the rows, then the details it shows beside them.
    auto list = [&](const std::string& statement) {
        auto listing = ListingQuery::Open(*db, statement);
        if (listing && !listing->IsEmpty()) {
            auto rows = listing->Read(types, states, failOnMessage);
            model.ResetRows(std::move(*rows), ReadListedDetails(*db));
        }
    };
    std::vector<Result> results;
    auto measure = [&](const std::string& name, const std::function<void()>& program,
                       const std::function<void()>& referenceRun) {
        // Runs alternate, so a busy moment of the machine weighs on both sides alike.
        std::vector<double> ours;
        std::vector<double> theirs;
        long peak = 0;
        for (int i = 0; i < o.runs; ++i) {
            ResetPeak();
            ours.push_back(Milliseconds(program));
            peak = std::max(peak, PeakResidentKiB());
            theirs.push_back(Milliseconds(referenceRun));
        }
        results.push_back({name, Median(ours), Median(theirs), peak});
    };

    measure(
        "open and list all",
        [&] {
            db = std::make_unique<CBookDatabase>(failOnMessage);
            db->Open(catalogue);
            ReloadLookupList(*db, LookupKind::Types, kReloadTypesStatement, types);
            ReloadLookupList(*db, LookupKind::States, kReloadStatesStatement, states);
            list("SELECT * FROM books ORDER BY titlu");
        },
        [&] {
            ReferenceEngine fresh(reference);
            fresh.Query(kReloadTypesStatement);
            fresh.Query("SELECT * FROM states ORDER BY stare");
            fresh.Query("SELECT * FROM books ORDER BY titlu");
        });
    // A header click: ascending, as a first click sorts.
    for (const int column : {1, 2, 5}) {
        const std::string sql = SortStatement("SELECT * FROM books", column);
        measure(
            std::string("sort by ") + BookListColumns()[static_cast<std::size_t>(column)].header,
            [&] { list(sql); }, [&] { ref.Query(sql); });
    }
    std::string author;
    {
        auto first = db->OpenQuery("SELECT autor FROM books WHERE id = 1");
        first->MoveFirst();
        author = first->GetText("autor");
    }
    const std::vector<std::pair<std::string, std::string>> searches = {
        {"search by author",
         ListingStatement(FormatStatement(kSearchAuthor.baseStatement, author))},
        {"search by type", ListingStatement(FormatStatement(kSearchType.baseStatement, 4))},
        {"search by page range",
         ListingStatement(NumericSearchStatement(kSearchPages, 1, 0, 100, 300))},
        {"composite search", [] {
             CompositeCriteria c;
             c.publisher = "Polirom";
             c.read = 1;
             c.rating = 2;
             return ListingStatement(CompositeStatement(c));
         }()}};
    for (const auto& [name, sql] : searches) {
        measure(
            name, [&] { list(sql); }, [&] { ref.Query(sql); });
    }
    {
        // One keystroke of the quick filter over the whole listing, once its folded texts are
        // made (once per listing); the nearest a plain SQLite user has is LIKE over the texts.
        list("SELECT * FROM books ORDER BY titlu");
        const std::string word = author.substr(0, std::min<std::size_t>(4, author.size()));
        const std::vector<std::string> typed = {word, word.substr(0, 3)};
        model.SetFilter(typed[1]);
        int keystroke = 0;
        measure(
            "filter as you type", [&] { model.SetFilter(typed[keystroke++ % 2]); },
            [&] {
                ref.Query(FormatStatement("SELECT * FROM books WHERE titlu LIKE '%s' OR autor "
                                          "LIKE '%s' OR editura LIKE '%s'",
                                          "%" + word + "%", "%" + word + "%", "%" + word + "%"));
            });
        model.SetFilter("");
    }

    const std::string insert = FormatStatement(
        "INSERT INTO "
        "books(titlu,autor,editura,tip,pagini,\t\tcapitole,volume,publicare,publicare_volum,"
        "citita,calificativ,stare)\t\tVALUES('%s','%s','%s',%d,%d,%d,%d,%d,%d,%d,%d,%d)",
        "Benchmark's book", "Bench", "Editura", 1, 100, 10, 1, 2000, 2001, 0, 6, 0);
    measure(
        "add a book",
        [&] {
            db->InsertBook("Benchmark's book", "Bench", "Editura", 1, 100, 10, 1, 2000, 2001, 0, 6,
                           0);
            RowTexts texts;
            texts[0] = FormatBookId(db->GetLastInsertedId());
            texts[1] = "Benchmark's book";
            model.AppendRow(texts);
        },
        [&] { ref.Execute(insert); });
    measure(
        "modify a book",
        [&] {
            db->UpdateBook(2, "Changed", "Bench", "Editura", 1, 100, 10, 1, 2000, 2001, 0, 6, 0);
            RowTexts texts;
            texts[1] = "Changed";
            model.SetRowTexts(1, texts, {});
        },
        [&] {
            ref.Execute(
                "UPDATE books set titlu = 'Changed', autor = 'Bench',\t\teditura = 'Editura',tip = "
                "1, "
                "pagini = 100, capitole = 10,\t\tvolume = 1, publicare = 2000, publicare_volum = "
                "2001,\t\tcitita = 0 ,calificativ = 6, stare = 0 where id = 2");
        });
    int victim = 10;
    int refVictim = 10;
    measure(
        "delete a book (and list all)",
        [&] {
            db->DeleteBook(victim++);
            model.Clear();
            list("SELECT * FROM books ORDER BY titlu");
        },
        [&] {
            ref.Execute("DELETE FROM books WHERE id = " + std::to_string(refVictim++));
            ref.Query("SELECT * FROM books ORDER BY titlu");
        });
    measure(
        "general statistics", [&] { ComputeGeneralStatistics(*db); },
        [&] {
            for (const char* sql :
                 {"SELECT count(id) AS idn, sum(pagini) AS pag, sum(capitole) AS cap, sum(volume) "
                  "AS vol FROM books",
                  "SELECT count(id) AS idn, sum(pagini) AS pag, sum(capitole) AS cap, sum(volume) "
                  "AS vol FROM "
                  "books WHERE citita = -1",
                  "SELECT count(pagini), count(capitole), count(volume) FROM books",
                  "SELECT count(pagini), count(capitole), count(volume) FROM books WHERE "
                  "citita = -1",
                  "SELECT DISTINCT autor FROM books", "SELECT DISTINCT editura FROM books",
                  "SELECT count(id) AS idn FROM books WHERE publicare <= 1800",
                  "SELECT count(id) AS idn FROM books WHERE publicare > 1800 AND publicare <= 1900",
                  "SELECT count(id) AS idn FROM books WHERE publicare > 1900 AND publicare <= 2000",
                  "SELECT count(id) AS idn FROM books WHERE publicare > 2000",
                  "SELECT count(id) AS idn FROM books WHERE publicare <= 1800 AND citita = -1",
                  "SELECT count(id) AS idn FROM books WHERE publicare > 1800 AND publicare <= 1900 "
                  "AND citita = -1",
                  "SELECT count(id) AS idn FROM books WHERE publicare > 1900 AND publicare <= 2000 "
                  "AND citita = -1",
                  "SELECT count(id) AS idn FROM books WHERE publicare > 2000 AND citita = -1"}) {
                ref.Query(sql);
            }
        });
    measure(
        "author statistics", [&] { ComputeNameStatistics(*db, NameStatisticsMode::Authors); },
        [&] {
            ref.Query("SELECT DISTINCT autor, count(id) as idn FROM books WHERE citita = -1 GROUP "
                      "by autor");
            ref.Query("SELECT DISTINCT autor, count(id) as idn FROM books GROUP by autor");
            ref.Query(
                "SELECT autor, sum(pagini) as spag, sum(volume) as svol, sum(capitole) as scap "
                "FROM books WHERE citita = -1 GROUP BY autor");
        });
    {
        // Each chart computed over every book and drawn as the charts window draws it. Every
        // book was added on one of 2,000 days, so the months run over more than five years.
        const std::string added = "INSERT INTO book_details(id, adaugata) SELECT id, "
                                  "date('2020-01-01', '+' || (id % 2000) || ' days') FROM books";
        db->Engine().Execute("BEGIN");
        db->Engine().Execute(kCreateDetailsTable);
        db->Engine().Execute(kCreateDetailsIsbnIndex);
        db->Engine().Execute(added);
        db->Engine().Execute("COMMIT");
        ref.Execute("CREATE TABLE book_details(id INTEGER PRIMARY KEY, adaugata TEXT)");
        ref.Execute(added);
        const ChartLookups names{types, "[nedefinit]", states, "[nedefinita]"};
        QChartView view;
        view.resize(820, 500);
        QImage picture(view.size(), QImage::Format_ARGB32);
        const std::pair<ChartKind, const char*> charts[] = {
            {ChartKind::Decades,
             "SELECT publicare - ((publicare % 10 + 10) % 10) AS decada, count(*) AS n FROM "
             "books WHERE publicare IS NOT NULL GROUP BY decada ORDER BY decada; SELECT count(*) "
             "FROM books WHERE publicare IS NULL"},
            {ChartKind::Types, "SELECT tip, count(*) AS n FROM books GROUP BY tip ORDER BY n "
                               "DESC, tip"},
            {ChartKind::States, "SELECT stare, count(*) AS n FROM books GROUP BY stare ORDER BY "
                                "n DESC, stare"},
            {ChartKind::Read, "SELECT count(*) FROM books WHERE citita = -1; SELECT count(*) "
                              "FROM books WHERE citita IS NOT -1"},
            {ChartKind::Authors, "SELECT autor, count(*) AS n FROM books GROUP BY autor ORDER "
                                 "BY n DESC, autor LIMIT 20"},
            {ChartKind::Publishers, "SELECT editura, count(*) AS n FROM books GROUP BY editura "
                                    "ORDER BY n DESC, editura LIMIT 20"},
            {ChartKind::Added,
             "SELECT substr(d.adaugata, 1, 7) AS luna, count(*) AS n FROM books AS b JOIN "
             "book_details AS d ON d.id = b.id WHERE d.adaugata IS NOT NULL GROUP BY luna ORDER "
             "BY luna; SELECT count(*) FROM books WHERE id NOT IN (SELECT id FROM book_details "
             "WHERE adaugata IS NOT NULL)"},
            {ChartKind::Loans, "SELECT substr(lent, 1, 7) AS luna, count(*) AS n FROM loans "
                               "WHERE book IN (SELECT id FROM books) GROUP BY luna ORDER BY luna"},
            {ChartKind::Borrowers,
             "SELECT borrower, count(*) AS n FROM loans WHERE returned IS NULL AND book IN "
             "(SELECT id FROM books) GROUP BY borrower ORDER BY n DESC, borrower LIMIT 20"}};
        for (const auto& [kind, reference] : charts) {
            measure(
                std::string("chart: ") + ChartTitle(kind),
                [&, kind = kind] {
                    const auto bars = ComputeChart(*db, kind, "SELECT * FROM books", names);
                    if (!bars || bars->empty()) {
                        Fail(std::string("no chart ") + ChartTitle(kind));
                    }
                    QChart* old = view.chart();
                    view.setChart(MakeChart(kind, *bars, ChartTitle(kind), [](std::size_t) {}));
                    delete old;
                    picture.fill(Qt::white);
                    view.QWidget::render(&picture);
                },
                [&, reference = reference] {
                    for (const QString& sql : QString(reference).split(QStringLiteral("; "))) {
                        ref.Query(sql.toStdString());
                    }
                });
        }
    }
    {
        // The grid of covers over every book, half of them with a cover the look-up fetched (a
        // picture of 120 by 180 pixels): switching to it from the list and drawing the first
        // screen, then the slowest of 20 screens scrolled once the first one's covers are in.
        QTemporaryDir coverFolders;
        const LookupCache cache(coverFolders.filePath(QStringLiteral("isbn")).toStdString());
        std::filesystem::create_directories(cache.Folder(LookupCache::Kind::Cover));
        QImage picture(120, 180, QImage::Format_RGB32);
        picture.fill(QColor(30, 80, 140));
        QByteArray jpeg;
        {
            QBuffer out(&jpeg);
            out.open(QIODevice::WriteOnly);
            picture.save(&out, "JPEG");
        }
        db->Engine().Execute("BEGIN");
        for (int id = 2; id <= o.books; id += 2) {
            std::string isbn = "978" + std::to_string(100000000 + id).substr(0, 9);
            int sum = 0;
            for (std::size_t i = 0; i < 12; ++i) {
                sum += (isbn[i] - '0') * (i % 2 == 0 ? 1 : 3);
            }
            isbn += static_cast<char>('0' + (10 - sum % 10) % 10);
            db->Engine().Execute(
                FormatStatement("UPDATE book_details SET isbn = '%s' WHERE id = %d", isbn, id));
            std::ofstream(cache.Path(LookupCache::Kind::Cover, isbn), std::ios::binary)
                .write(jpeg.constData(), jpeg.size());
        }
        db->Engine().Execute("COMMIT");
        CShelfwardenDoc doc;
        if (!doc.OnOpenDocument(catalogue)) {
            Fail("the catalogue did not open for the grid");
        }
        auto* frame = new QStackedWidget;
        auto* list = new CShelfwardenView(&doc, frame);
        auto* grid = new CCoverGrid(list, frame);
        grid->SetFolders(coverFolders.filePath(QStringLiteral("isbn")),
                         coverFolders.filePath(QStringLiteral("coperti")));
        int arrived = 0;
        QObject::connect(grid, &CCoverGrid::ThumbnailReady, [&arrived] { ++arrived; });
        frame->addWidget(list);
        frame->addWidget(grid);
        frame->resize(1000, 700);
        frame->show();
        list->ReloadLookups();
        std::vector<double> firstScreen;
        double slowestScroll = 0;
        long peak = 0;
        for (int run = 0; run < o.runs; ++run) {
            frame->setCurrentWidget(list);
            list->ListAllBooks(); // a new listing: the grid forgets what it showed
            QApplication::processEvents();
            malloc_trim(0);
            ResetPeak();
            arrived = 0;
            firstScreen.push_back(Milliseconds([&] {
                frame->setCurrentWidget(grid);
                QApplication::processEvents();
                grid->viewport()->repaint();
            }));
            for (int wait = 0; wait < 10000 && arrived < grid->Requested(); ++wait) {
                QThread::msleep(1);
                QApplication::processEvents();
            }
            QScrollBar* bar = grid->verticalScrollBar();
            for (int step = 0; step < 20; ++step) {
                slowestScroll = std::max(slowestScroll, Milliseconds([&] {
                                             bar->setValue(bar->value() + bar->pageStep());
                                             grid->viewport()->repaint();
                                         }));
                QApplication::processEvents();
            }
            peak = std::max(peak, PeakResidentKiB());
        }
        results.push_back({"cover grid: switch, first screen", Median(firstScreen), 0, peak});
        results.push_back({"cover grid: slowest scroll frame", slowestScroll, 0, peak});
        delete frame;
    }
    {
        // The loans window: its borrower filter and the open loans, overdue first.
        LoanQuery open;
        open.today = today;
        const std::string listing = LoanListStatement(open);
        CLoanListModel loanModel;
        measure(
            "open the loans window",
            [&] {
                CLoanRegister loans(*db, failOnMessage);
                loans.Borrowers();
                if (auto rows = loans.List(open)) {
                    loanModel.ResetRows(std::move(*rows));
                }
            },
            [&] {
                ref.Query("SELECT DISTINCT borrower FROM loans ORDER BY borrower");
                ref.Query(listing);
            });
        if (loanModel.rowCount() != (o.books / 10)) {
            Fail("the loans window listed " + std::to_string(loanModel.rowCount()) + " loans");
        }
    }
    int copies = 0;
    measure(
        "Save As",
        [&] {
            const std::string target =
                dir.filePath(QStringLiteral("copy%1.mdb").arg(copies++)).toStdString();
            if (!CopyCatalogue(*db, target, failOnMessage)) {
                Fail("copy failed");
            }
        },
        [&] {
            ReferenceCopy(reference,
                          dir.filePath(QStringLiteral("refcopy%1.db").arg(copies++)).toStdString());
        });

    // Completing from the libraries: one "Aplica" of 5,000 filled fields, taken back as one step
    // so that every run finds the books as they were.
    {
        constexpr int kCompleted = 5000;
        LookupRecord found;
        found.editura = "Editura completata";
        std::map<std::int32_t, StoredBook> seen;
        std::vector<CompletionProposal> proposals;
        for (std::int32_t id = 1; id <= o.books && proposals.size() < kCompleted; ++id) {
            if (auto book = ReadStoredBook(*db, id)) {
                seen[id] = *book;
                for (CompletionProposal& p : ProposeCompletion(*book, found, "bench", false)) {
                    p.checked = true;
                    proposals.push_back(std::move(p));
                }
            }
        }
        measure(
            "complete: apply and undo " + std::to_string(proposals.size()) + " fields",
            [&] {
                const auto result = ApplyCompletion(*db, seen, proposals, failOnMessage);
                if (!result || !result->skipped.empty() ||
                    !UndoBookChanges(*db, result->changes, failOnMessage)) {
                    Fail("the completion was not written whole");
                }
            },
            [&] {
                ref.Execute("BEGIN");
                for (const auto& entry : seen) {
                    ref.Execute("UPDATE books SET editura = 'Editura completata' WHERE id = " +
                                std::to_string(entry.first));
                }
                ref.Execute("ROLLBACK");
            });
    }

    // Completing from the libraries: a thousand books looked up at a service that answers at
    // once, in as many requests as their batches take, then the review table of what the
    // answers propose.
    {
        QTemporaryDir answers;
        const std::vector<std::string> isbns = WriteBenchAnswers(answers.path(), 1000);
        ReplayServer server(answers.path());
        std::map<QString, LookupAnswer> found;
        qsizetype requests = 0;
        measure(
            "complete: look up " + std::to_string(isbns.size()) + " ISBNs",
            [&] {
                QTemporaryDir cache;
                CLookupChain chain;
                chain.SetSources(
                    ParseSources("on|openlibrary|Open Library|" + server.address().toStdString()));
                chain.SetCacheFolder(cache.path());
                chain.SetFirstYears(false);
                // The service answers at once: the polite spacing of requests is not waited.
                qint64 now = 0;
                chain.SetClock([&now] { return now += 60000; });
                std::size_t waiting = isbns.size();
                QEventLoop all;
                const auto answered = [&](const QString& isbn, const LookupAnswer& answer) {
                    found[isbn] = answer;
                    if (--waiting == 0) {
                        all.quit();
                    }
                };
                QObject::connect(&chain, &CLookupChain::Answered, answered);
                QObject::connect(
                    &chain, &CLookupChain::Failed,
                    [&](const QString& isbn, const QString&) { answered(isbn, LookupAnswer{}); });
                const qsizetype before = server.requests.size();
                for (const std::string& isbn : isbns) {
                    chain.Lookup(isbn);
                }
                all.exec();
                requests = server.requests.size() - before;
            },
            [] {});
        results.back().name += " (" + std::to_string(requests) + " requests)";
        std::vector<CompletionProposal> offered;
        std::int32_t id = 0;
        for (const auto& [isbn, answer] : found) {
            while (++id <= o.books) {
                if (const auto book = ReadStoredBook(*db, id)) {
                    for (CompletionProposal& p :
                         ProposeCompletion(*book, RecordOf(answer), "bench", false)) {
                        offered.push_back(std::move(p));
                    }
                    break;
                }
            }
        }
        measure(
            "complete: review table of " + std::to_string(offered.size()) + " changes",
            [&] {
                CCompletionModel review(offered);
                QSortFilterProxyModel shown;
                shown.setSourceModel(&review);
                shown.setSortRole(Qt::UserRole);
                shown.sort(CCompletionModel::Book);
                if (shown.rowCount() != static_cast<int>(offered.size())) {
                    Fail("the review lost rows");
                }
            },
            [] {});
    }

    // Many books at once: one field given to 5,000 books, 5,000 deleted and the list listed
    // again, and the search for doubles over the whole catalogue.
    {
        const int many = std::min(5000, o.books / (o.runs + 1));
        std::string list5000;
        std::vector<std::int32_t> ids;
        for (std::int32_t id = 1; id <= many; ++id) {
            ids.push_back(id);
            list5000 += (id == 1 ? "" : ",") + std::to_string(id);
        }
        CatalogueMoment moment = ReadCatalogueMoment(db->Engine());
        std::vector<StoredBook> snapshot = ReadStoredBooks(*db, ids);
        int changes = 0;
        // The same UPDATE in raw SQLite on a copy of the catalogue itself: the same table, its
        // yes/no triggers included, so that only what the program adds is measured.
        const std::string sameFile = dir.filePath("same-catalogue.mdb").toStdString();
        ReferenceCopy(catalogue, sameFile);
        ReferenceEngine same(sameFile);
        measure(
            "bulk change of " + std::to_string(many),
            [&] {
                auto outcome =
                    ChangeBooks(*db, std::move(snapshot), moment,
                                {{"editura", "Editura " + std::to_string(changes++ % 2), false}},
                                failOnMessage);
                if (!outcome || !outcome->skipped.empty()) {
                    Fail("the bulk change skipped books");
                }
                snapshot.clear();
                for (BookChange& change : outcome->changes) {
                    snapshot.push_back(std::move(*change.after));
                }
                moment = ReadCatalogueMoment(db->Engine());
            },
            [&] {
                same.Execute("BEGIN");
                same.Execute("UPDATE books SET editura = 'Editura " + std::to_string(changes % 2) +
                             "' WHERE id IN (" + list5000 + ")");
                same.Execute("COMMIT");
            });
        measure(
            "find doubles",
            [&] {
                if (!FindDoubles(*db, failOnMessage)) {
                    Fail("the doubles were not found");
                }
            },
            [&] {
                ref.Query("SELECT lower(titlu), lower(autor), count(*) FROM books GROUP BY 1, 2 "
                          "HAVING count(*) > 1");
            });
        // Each run deletes books of its own, taken back once all are measured.
        std::vector<std::vector<StoredBook>> slices;
        std::vector<std::string> refSlices;
        for (int run = 0; run < o.runs; ++run) {
            std::vector<std::int32_t> slice;
            std::string text;
            for (std::int32_t id = many * (run + 1) + 1; id <= many * (run + 2); ++id) {
                slice.push_back(id);
                text += (text.empty() ? "" : ",") + std::to_string(id);
            }
            slices.push_back(ReadStoredBooks(*db, slice));
            refSlices.push_back(text);
        }
        std::vector<BookChange> deleted;
        int deletions = 0;
        int refDeletions = 0;
        measure(
            "bulk delete of " + std::to_string(many) + " and list",
            [&] {
                auto outcome =
                    DeleteBooks(*db, std::move(slices[static_cast<std::size_t>(deletions++)]),
                                ReadCatalogueMoment(db->Engine()), today, failOnMessage);
                if (!outcome || !outcome->skipped.empty()) {
                    Fail("the bulk delete skipped books");
                }
                std::ranges::move(outcome->changes, std::back_inserter(deleted));
                list("SELECT * FROM books ORDER BY titlu");
            },
            [&] {
                ref.Execute("BEGIN");
                ref.Execute("UPDATE loans SET returned = '" + today +
                            "' WHERE returned IS NULL AND book IN (" +
                            refSlices[static_cast<std::size_t>(refDeletions)] + ")");
                ref.Execute("DELETE FROM books WHERE id IN (" +
                            refSlices[static_cast<std::size_t>(refDeletions++)] + ")");
                ref.Execute("COMMIT");
                ref.Query("SELECT * FROM books ORDER BY titlu");
            });
        if (!UndoBookChanges(*db, deleted, failOnMessage)) {
            Fail("the deleted books did not come back");
        }
    }

    // What the listed rows cost beyond their texts.
    model.Clear();
    // Small blocks and mapped ones (a large row array is mapped) together.
    auto heapInUse = [] {
        const struct mallinfo2 m = mallinfo2();
        return m.uordblks + m.hblkhd;
    };
    const std::size_t before = heapInUse();
    std::size_t textBytes = 0;
    {
        auto set = db->SelectAllBooks();
        BookRowTable rows = BookRowTable::FromRecordset(*set, types, states);
        // A book's own texts; what the list derives from its numbers is not kept.
        for (int r = 0; r < rows.RowCount(); ++r) {
            for (int c = 1; c <= 3; ++c) {
                textBytes += rows.Text(r, c).size();
            }
        }
        set.reset();
        model.ResetRows(std::move(rows));
    }
    const std::size_t listed = heapInUse() - before;
    // The quick filter's folded texts, made on its first keystroke.
    model.SetFilter("a");
    const std::size_t filtered = heapInUse() - before;
    model.SetFilter("");
    const int rowCount = model.rowCount();
    const double perBook =
        rowCount > 0 ? (static_cast<double>(listed) - static_cast<double>(textBytes)) / rowCount
                     : 0;
    long peakKiB = 0;
    std::printf("%-30s %10s %12s %12s %8s %9s\n", "operation", "books", "ms", "reference ms",
                "ratio", "peak MiB");
    std::string csv = "operation,books,ms,reference_ms,ratio,peak_rss_kib\n";
    for (const Result& r : results) {
        // Rows with nothing to compare with (a look-up) have no reference time.
        const double ratio = r.referenceMs >= 0.01 ? r.ms / r.referenceMs : 0;
        std::printf("%-30s %10d %12.2f %12.2f %8.2f %9.1f\n", r.name.c_str(), o.books, r.ms,
                    r.referenceMs, ratio, static_cast<double>(r.peakKiB) / 1024.0);
        char line[256];
        std::snprintf(line, sizeof line, "%s,%d,%.3f,%.3f,%.3f,%ld\n", r.name.c_str(), o.books,
                      r.ms, r.referenceMs, ratio, r.peakKiB);
        csv += line;
        peakKiB = std::max(peakKiB, r.peakKiB);
    }
    std::printf("peak resident memory: %.1f MiB\n", static_cast<double>(peakKiB) / 1024.0);
    std::printf("listed rows: %d, beyond their titles, authors and publishers: %.0f bytes per "
                "book\n",
                rowCount, perBook);
    const double perBookFiltered =
        rowCount > 0 ? (static_cast<double>(filtered) - static_cast<double>(textBytes)) / rowCount
                     : 0;
    std::printf("with the quick filter's folded texts: %.0f bytes per book\n", perBookFiltered);
    if (!o.out.empty()) {
        std::ofstream out(o.out);
        out << csv;
        out << "peak_rss_kib," << peakKiB << "\n";
        out << "row_overhead_bytes_per_book," << perBook << "\n";
    }
    return 0;
}
