#include "isbn/CBookDetailsStore.h"
#include "isbn/ReplayServer.h"
#include "lookup/LookupSources.h"
#include "lookup/ui/CLookupChain.h"
#include "support/CoreTestSupport.h"
#include "support/RawCatalogue.h"

#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
// The sample: ten Romanian books and ten others, each as `--lookup` prints it.
const QStringList kSample = {"9789734609123", "9786063312342", "9789735016425", "9789732345672",
                             "9789735035877", "9786067931051", "9789734702213", "9789734641239",
                             "9789735024192", "9789734630585", "9780141439518", "9780451526533",
                             "9780451524935", "9780743273565", "9780142437247", "9782070360024",
                             "9782070612758", "9791032305690", "9783150099001", "9783596294336"};

// Every source played by one local server, in the order a user might set them.
std::vector<LookupSource> Chain(const QString& server) {
    const std::string at = server.toStdString();
    return {{true, SourceKind::OpenLibrary, "Open Library", at},
            {true, SourceKind::SruMarc21, "Library of Congress", at + "/lcdb"},
            {true, SourceKind::SruUnimarc, "Bibliotheque nationale de France", at + "/bnf"},
            {true, SourceKind::GoogleBooks, "Google Books", at + "/books/v1"}};
}

QString Line(const QString& isbn, const LookupAnswer& a) {
    const auto n = [](std::int32_t v) { return IsUnknown(v) ? QString() : QString::number(v); };
    if (a.kind != LookupAnswer::Kind::Found) {
        return isbn + "|-";
    }
    return QStringList{isbn,
                       a.sources.join(", "),
                       QString::fromStdString(a.book.titlu),
                       QString::fromStdString(a.book.autor),
                       QString::fromStdString(a.book.editura),
                       n(a.book.publicare_volum),
                       n(a.book.pagini),
                       QString::fromStdString(a.serie) + " " + n(a.numar_serie)}
        .join('|');
}

// A chain at a local server, answering at once: its clock runs ahead a second a look.
struct Run {
    ReplayServer server{QStringLiteral(ANSWERS_DIR)};
    QTemporaryDir cache;
    CLookupChain chain;
    qint64 now = 100000;
    Run() {
        chain.SetSources(Chain(server.address()));
        chain.SetCacheFolder(cache.path());
        chain.SetContact("ana@example.org");
        chain.SetGoogleKey("KEY");
        chain.SetTimeout(2000);
        chain.SetClock([this] { return now += 1000; });
    }
    // Each ISBN's answer as a line, in the order asked.
    QStringList ask(const QStringList& isbns) {
        std::map<QString, QString> said;
        QObject::connect(
            &chain, &CLookupChain::Answered,
            [&](const QString& isbn, const LookupAnswer& a) { said[isbn] = Line(isbn, a); });
        QObject::connect(&chain, &CLookupChain::Failed,
                         [&](const QString& isbn, const QString& why) {
                             said[isbn] = isbn + "|failed: " + why;
                         });
        for (const QString& isbn : isbns) {
            chain.Lookup(isbn.toStdString());
        }
        for (int i = 0; i < 3000 && said.size() < std::size_t(isbns.size()); ++i) {
            QTest::qWait(10);
        }
        chain.disconnect();
        QStringList lines;
        for (const QString& isbn : isbns) {
            lines << said[isbn];
        }
        return lines;
    }
};
} // namespace

class TestLookupChain : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Sources asked in order until one gives the title, the next ones only while something is
    // missing, and a field an earlier one gave never replaced.
    void theSampleIsFoundWhereItIsCatalogued() {
        Run run;
        const QStringList lines = run.ask(kSample);
        // Romanian books are found in the libraries, the others mostly at Open Library; one book
        // is catalogued nowhere.
        QCOMPARE(
            lines,
            (QStringList{
                "9789734609123|Library of Congress, Google Books|Baltagul|Mihail "
                "Sadoveanu|Polirom|2004|223|Biblioteca Polirom. Clasici 12",
                "9786063312342|Library of Congress|Ion|Liviu Rebreanu|Litera|2018|478|Biblioteca "
                "școlarului 24",
                "9789735016425|Library of Congress|Poezii|Mihai Eminescu|Humanitas|2011|398|Seria "
                "Clasici români ",
                "9789732345672|Library of Congress|Moromeții|Marin Preda|Cartea "
                "Românească|2012|734| ",
                "9789735035877|Library of Congress|Orbitor: aripa stângă|Mircea "
                "Cărtărescu|Humanitas|2015|475|Seria de autor Mircea Cărtărescu ",
                "9786067931051|Google Books|Amintiri din copilărie|Ion Creangă|Corint|2019|192| ",
                "9789734702213|Library of Congress|Momente şi schiţe|I. L. Caragiale|Paralela "
                "45|2000|256|Biblioteca şcolarului 41",
                "9789734641239|-",
                "9789735024192|Library of Congress|Maitreyi|Mircea Eliade|Humanitas|2007|207|Seria "
                "Mircea Eliade ",
                "9789734630585|Library of Congress|Enigma Otiliei|George "
                "Călinescu|Polirom|2012|461|Biblioteca Polirom. Clasici 48",
                "9780141439518|Open Library, Library of Congress|Pride and Prejudice: a novel|Jane "
                "Austen|Penguin Books|2003|435|Penguin classics ",
                "9780451526533|Open Library|The adventures of Tom Sawyer|Mark Twain|Signet "
                "Classic|1997|216| ",
                "9780451524935|Open Library, Google Books|1984|George Orwell|Signet "
                "Classic|1961|328| ",
                "9780743273565|Open Library|The Great Gatsby|F. Scott "
                "Fitzgerald|Scribner|2004|180| ",
                "9780142437247|Open Library|Moby-Dick, or, The whale|Herman Melville|Penguin "
                "Books|2003|720| ",
                "9782070360024|Bibliotheque nationale de France, Google Books|L'étranger|Albert "
                "Camus|Gallimard|2005|184|Collection Folio 2",
                "9782070612758|Bibliotheque nationale de France|Le petit prince|Antoine de "
                "Saint-Exupéry|Gallimard jeunesse|2007|97|Folio junior 100",
                "9791032305690|Bibliotheque nationale de France|Madame Bovary: mœurs de "
                "province|Gustave Flaubert|Archipoche|2019|480|Archipoche 521",
                "9783150099001|Library of Congress|Die Verwandlung|Franz "
                "Kafka|Reclam|2001|77|Reclams Universal-Bibliothek 9900",
                "9783596294336|Library of Congress, Google Books|Der Zauberberg: Roman|Thomas "
                "Mann|Fischer-Taschenbuch-Verlag|1991|1007|Fischer-Taschenbücher 9433"}));
    }

    // A source that refuses, fails or does not answer in time is passed over for the next one,
    // and nothing of it is kept: asked again, it is asked again. Every request names the contact.
    void failuresGoToTheNextSourceAndAreNotKept() {
        Run run;
        ReplayServer library{QStringLiteral(ANSWERS_DIR)};
        auto sources = Chain(library.address());
        sources.front().address = run.server.address().toStdString();
        run.chain.SetSources(sources);
        QSignalSpy refused(&run.chain, &CLookupChain::Refused);
        const QString pride = "9780141439518|Library of Congress|Pride and prejudice|Jane Austen|"
                              "Penguin Books|2003|435|Penguin classics ";
        for (const auto& [mode, status] : {std::pair{ReplayServer::Mode::Status, 403},
                                           {ReplayServer::Mode::Body, 200},
                                           {ReplayServer::Mode::Silent, 200}}) {
            run.server.mode = mode;
            run.server.status = status;
            run.server.body = "<html>proxy</html>";
            QCOMPARE(run.ask({"9780141439518"}), QStringList{pride});
        }
        QCOMPARE(refused.size(), 1);
        QCOMPARE(refused.first().first().toString(), QString("Open Library"));
        QCOMPARE(run.server.requests.size(), 3);
        // A book the others do not have is not found, though one source failed.
        run.server.mode = ReplayServer::Mode::Status;
        run.server.status = 500;
        QCOMPARE(run.ask({"9789734641239"}), QStringList{"9789734641239|-"});
        run.server.mode = ReplayServer::Mode::Replay;
        QCOMPARE(run.ask({"9780141439518"}).first().section('|', 1, 1),
                 QString("Open Library, Library of Congress"));
        QCOMPARE(run.server.requests.size(), 6); // the book, then its first year
        QStringList agents = run.server.agents + library.agents;
        agents.removeDuplicates();
        QCOMPARE(agents, QStringList{"Shelfwarden/" SHELFWARDEN_VERSION " (+ana@example.org)"});
    }

    // The command line asks the sources of the settings and prints what they found.
    void theCommandLinePrintsWhatWasFound() {
        ReplayServer server{QStringLiteral(ANSWERS_DIR)};
        QTemporaryDir home;
        {
            QSettings settings(home.path() + "/config/Local AppWizard-Generated Applications/"
                                             "Shelfwarden.conf",
                               QSettings::IniFormat);
            settings.beginGroup("Shelfwarden");
            settings.setValue("ISBN Sources",
                              QString::fromStdString(FormatSources(Chain(server.address()))));
            settings.setValue("ISBN Google Key", "KEY");
        }
        const auto run = [&](const QStringList& arguments, QString& out, QString& err) {
            QProcess program;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_CONFIG_HOME", home.path() + "/config");
            env.insert("XDG_CACHE_HOME", home.path() + "/cache");
            env.insert("HOME", home.path());
            program.setProcessEnvironment(env);
            program.start(SHELFWARDEN_BINARY, arguments);
            program.waitForStarted();
            while (program.state() != QProcess::NotRunning) {
                QTest::qWait(20); // the server answers on this thread
            }
            out = QString::fromUtf8(program.readAllStandardOutput());
            err = QString::fromUtf8(program.readAllStandardError());
            return program.exitCode();
        };
        const auto lookup = [&](const QStringList& isbns, QString& out, QString& err) {
            return run(QStringList{"--lookup"} + isbns, out, err);
        };
        QString out;
        QString err;
        QCOMPARE(lookup({"973-46-0912-2", "9780451526533"}, out, err), 0);
        QCOMPARE(out, QString("9789734609123\tLibrary of Congress, Google Books\tBaltagul\tMihail "
                              "Sadoveanu\tPolirom\t2004\t223\n"
                              "9780451526533\tOpen Library\tThe adventures of Tom Sawyer\tMark "
                              "Twain\tSignet Classic\t1997\t216\n"));
        QCOMPARE(lookup({"9789734641239"}, out, err), 1);
        QCOMPARE(out, QString("9789734641239\t-\t\t\t\t\t\n"));
        QCOMPARE(lookup({"9780451526533", "9789734641230"}, out, err), 2);
        QCOMPARE(out, QString());
        QCOMPARE(err, QString("shelfwarden: 9789734641230: ISBN gresit: cifra de control nu se "
                              "potriveste\n"));
        QVERIFY(server.agents.size() >= 4);

        // --complete fills only what is empty, and every other byte of the catalogue stays.
        TestCatalogue c;
        QVERIFY(c.add(MakeBook("Baltagul", "", "", {.pagini = 0, .publicare_volum = 1980})));
        QVERIFY(c.add(MakeBook("Tom Sawyer", "Twain", "Mine", {.pagini = 0})));
        QVERIFY(c.add(MakeBook("Necunoscuta", "", "", {.pagini = 0})));
        QVERIFY(c.add(MakeBook("Fara ISBN", "", "", {.pagini = 0})));
        QVERIFY(c.add(MakeBook("Baltagul", "Mihail Sadoveanu", "", {.pagini = 0})));
        CBookDetailsStore details(*c.db, c.messages.sink());
        for (const auto& [id, isbn] :
             {std::pair{1, "9789734609123"}, {2, "9780451526533"}, {3, "9789734641239"}}) {
            BookDetails d;
            d.isbn = isbn;
            QVERIFY(details.Write(id, d));
        }
        c.db->Close();
        RawCatalogue raw(c.path("test.mdb"));
        const char* all = "SELECT * FROM books ORDER BY id";
        auto expected = raw.rows(all);
        QCOMPARE(run({"--complete", QString::fromStdString(c.path("test.mdb"))}, out, err), 0);
        QCOMPARE(out, QString("Asked 3 books: 2 found, 1 not found, 0 failed\n"
                              "Filled 6 fields in 2 books\n"
                              "  Autor: 1\n  Editura: 1\n  Numar in serie: 1\n  Pagini: 2\n"
                              "  Serie: 1\n"));
        expected[0] = "1|Baltagul|Mihail Sadoveanu|Polirom|0|223|1|1|1|1980|0|6|0";
        expected[1] = "2|Tom Sawyer|Twain|Mine|0|216|1|1|1|1|0|6|0";
        QCOMPARE(raw.rows(all), expected);
        QCOMPARE(raw.rows("SELECT count(*) FROM book_details WHERE serie IS NOT NULL AND id = 1"),
                 Texts{"1"});
        // --all also takes a work whose title and author are the book's, and only for what is
        // empty; a book without an author is not searched.
        QCOMPARE(run({"--complete", QString::fromStdString(c.path("test.mdb")), "--all"}, out, err),
                 0);
        QCOMPARE(out, QString("Asked 4 books: 3 found, 1 not found, 0 failed\n"
                              "Filled 1 fields in 1 books\n  Editura: 1\n"));
        expected[4] = "5|Baltagul|Mihail Sadoveanu|Polirom|0|0|1|1|1|1|0|6|0";
        QCOMPARE(raw.rows(all), expected);
    }
};

QTEST_MAIN(TestLookupChain)
#include "tst_lookupchain.moc"
