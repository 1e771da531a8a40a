#include "store/CBookDatabase.h"
#include "store/StatementFormat.h"
#include "store/UserReasons.h"
#include "support/CoreTestSupport.h"
#include "support/CrashSnapshot.h"
#include "support/SqliteShell.h"

#include <QtEndian>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {
using namespace shown;
const std::string kOpenFailed = "Nu se poate deschide baza de date";

} // namespace

class TestBookDatabase : public QObject {
    Q_OBJECT
private slots:
    void createMakesThreeEmptyTablesInOrderButNeverOverAFile() {
        TestCatalogue c;
        QVERIFY(c.db->IsOpen());
        QCOMPARE(c.db->GetPath(), c.path("test.mdb"));
        QVERIFY(c.messages.messages.empty());
        RawCatalogue raw(c.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                          "'sqlite_%' ORDER BY rowid"),
                 (Texts{"books", "states", "types"}));
        QCOMPARE(raw.rows("SELECT name FROM pragma_table_info('books')"),
                 (Texts{"id", "titlu", "autor", "editura", "tip", "pagini", "capitole", "volume",
                        "publicare", "publicare_volum", "citita", "calificativ", "stare"}));
        QCOMPARE(raw.rows("SELECT name FROM pragma_table_info('types')"), (Texts{"id", "tip"}));
        QCOMPARE(raw.rows("SELECT name FROM pragma_table_info('states')"), (Texts{"id", "stare"}));
        QCOMPARE(raw.one("SELECT (SELECT count(*) FROM books) + (SELECT count(*) FROM types) + "
                         "(SELECT count(*) FROM states)"),
                 std::string("0"));
        RecordingSink sink; // an existing file is never made anew
        QVERIFY(!CBookDatabase(sink.sink()).Create(c.path("test.mdb")));
        QCOMPARE(sink.take(), Texts{kCannotCreateOverAFile});
    }

    // A failed open says why: in English for the command line, and in Romanian below the
    // message the window shows.
    void openRefusesAndSaysWhy() {
        TestCatalogue c;
        QVERIFY(c.db->Close());
        QTemporaryDir dir;
        const std::string fifo = dir.filePath("fifo.mdb").toStdString();
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        RawCatalogue locker(c.path("test.mdb"));
        QVERIFY(locker.exec("PRAGMA locking_mode = EXCLUSIVE"));
        QVERIFY(locker.exec("BEGIN EXCLUSIVE"));
        struct Case {
            std::string path;
            const char* reason;
            const char* shown;
        };
        for (const Case& k :
             {Case{fifo, "not a regular file", "nu este un fisier obisnuit"},
              Case{dir.path().toStdString(), "not a regular file", "nu este un fisier obisnuit"},
              Case{dir.filePath("none.mdb").toStdString(), "No such file or directory",
                   "fisierul sau dosarul nu exista"},
              Case{c.path("test.mdb"),
                   "the catalogue is being written by another program; try again",
                   "fisierul este blocat de alt program; incercati din nou"}}) {
            RecordingSink sink;
            CBookDatabase db(sink.sink());
            QVERIFY(!db.Open(k.path));
            QCOMPARE(db.LastFailure(), std::string(k.reason));
            QCOMPARE(sink.take(), Texts{kOpenFailed + "\n" + k.shown});
        }
    }

    // What the system says when a file cannot be read or written, told in Romanian in the
    // window; a text it does not know stays as it is.
    void systemReasonsInRomanian() {
        const auto said = [](int error) { return std::string(std::strerror(error)); };
        for (const auto& [reason, shown] : std::vector<std::pair<std::string, std::string>>{
                 {said(ENOENT), "fisierul sau dosarul nu exista"},
                 {said(EACCES), "fisierul nu poate fi citit sau scris: lipseste dreptul de acces"},
                 {said(ENOSPC), "discul este plin"},
                 {said(EBUSY), "fisierul este folosit de alt program"},
                 {said(EROFS), "discul poate fi doar citit"},
                 {"copy.mdb: " + said(ENOSPC), "copy.mdb: discul este plin"},
                 {"the catalogue is read-only", "fisierul poate fi doar citit"},
                 {said(EPERM), "operatia nu este permisa"},
                 {said(EFBIG), "fisierul este mai mare decat poate primi discul"},
                 {"its folder cannot be written: " + said(EPERM),
                  "dosarul lui nu primeste fisiere: operatia nu este permisa"},
                 {"copy.mdb: database or disk is full", "copy.mdb: discul este plin"},
                 {"copy.mdb: holds a trigger the program did not make: \"the disk is full\"",
                  "copy.mdb: fisierul are un trigger pe care programul nu l-a facut: \"the disk "
                  "is full\""},
                 {"holds a view in place of its table: \"books\"",
                  "fisierul are o vedere in locul tabelei \"books\""},
                 {"x.mdb: " + said(ENAMETOOLONG), "x.mdb: numele fisierului este prea lung"},
                 {said(ENOTRECOVERABLE),
                  "eroare a sistemului (" + std::to_string(ENOTRECOVERABLE) + ")"},
                 {"something else", "something else"}}) {
            QCOMPARE(RomanianReason(reason), shown);
        }
        // No error of the system reaches a window in English.
        for (int errnum = 1; errnum < 134; ++errnum) {
            QVERIFY2(SystemReason(errnum) != said(errnum), qPrintable(QString::number(errnum)));
        }
    }

    void aCommitCutOffAfterItsFirstWriteIsRecoveredOnOpen() {
        TestCatalogue c;
        for (int i = 0; i < 52; ++i) {
            QVERIFY(c.add(MakeBook("Book " + std::to_string(i))));
        }
        QVERIFY(c.db->Close());
        const std::string crashed = c.path("crashed.mdb");
        {
            CrashSnapshot snapshot(c.path("test.mdb"), crashed);
            QVERIFY(c.db->Open(c.path("test.mdb")));
            QVERIFY(c.db->ExecuteStatement("BEGIN", ""));
            for (int i = 0; i < 400; ++i) {
                QVERIFY(c.add(MakeBook(std::string(200, 'x') + std::to_string(i))));
            }
            snapshot.Arm();
            QVERIFY(c.db->ExecuteStatement("COMMIT", ""));
            QVERIFY(snapshot.Taken());
            QVERIFY(c.db->Close());
        }
        // What a kill at that write leaves: a header counting pages the file does not hold yet.
        QFile file(QString::fromStdString(crashed));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray header = file.read(100);
        const qint64 pageSize = (uchar(header[16]) << 8) | uchar(header[17]);
        const qint64 counted = qFromBigEndian<quint32>(header.constData() + 28);
        QVERIFY(counted * pageSize > file.size());
        file.close();

        const QString journal = QString::fromStdString(crashed + "-journal");
        QVERIFY(QFile::rename(journal, journal + ".aside"));
        CBookDatabase db(nullptr);
        QVERIFY(!db.Open(crashed)); // truncated, and nothing to recover it from
        QCOMPARE(db.LastFailure(), std::string("not a catalogue that can be opened"));
        QVERIFY(QFile::rename(journal + ".aside", journal));
        QVERIFY(db.Open(crashed));
        auto books = db.SelectAllBooks();
        QVERIFY(books);
        QCOMPARE(books->GetRecordCount(), 52L);
        QVERIFY(!QFile::exists(journal));
    }

    void quotesPercentSignsAndNonAsciiAreStoredAndFoundExactly() {
        TestCatalogue c;
        const std::vector<std::string> texts = {"Harry Potter and the Philosopher's Stone",
                                                "O'Brien",
                                                "'Salem's Lot",
                                                "100% \"pur\" \\ ;--",
                                                "Ştefan cel Mare – ţară",
                                                "漢字仮名交じり文 🙂",
                                                " leading and trailing  "};
        for (const auto& t : texts) {
            QVERIFY(c.db->InsertBook(t, t, t, 0, 1, 1, 1, 1, 1, 0, 6, 0));
        }
        QVERIFY(c.messages.messages.empty());
        for (const auto& t : texts) {
            const std::int32_t id = c.db->FindBookId(t);
            QVERIFY2(id > 0, t.c_str());
            auto set =
                c.db->OpenQuery(FormatStatement("SELECT * FROM books WHERE autor = '%s'", t));
            QVERIFY(set);
            QCOMPARE(set->GetRecordCount(), 1L);
            set->MoveFirst();
            QCOMPARE(set->GetText("EDITURA"), t); // names match in any case
            QCOMPARE(set->GetLong("id"), id);
        }
        QVERIFY(c.db->InsertType("Capa si spada's"));
        QVERIFY(c.db->UpdateType(1, "d'Artagnan"));
        RawCatalogue raw(c.path("test.mdb"));
        QCOMPARE(raw.one("SELECT tip FROM types"), std::string("d'Artagnan"));
    }

    void limitsOfTheColumnTypesAreRefusedWithTheOperationsMessage() {
        TestCatalogue c;
        QVERIFY(c.db->InsertBook("ok", "a", "e", 0, 32767, -32768, 1, 1, 1, 0, 255, 255));
        const std::string longText(256, 'x');
        const std::string maxText(255, 'y');
        QVERIFY(!c.db->InsertBook("byte", "a", "e", 0, 1, 1, 1, 1, 1, 0, 256, 0));
        QVERIFY(!c.db->InsertBook("byte", "a", "e", 0, 1, 1, 1, 1, 1, 0, 0, -1));
        QVERIFY(!c.db->InsertBook("int", "a", "e", 0, 40000, 1, 1, 1, 1, 0, 0, 0));
        QVERIFY(!c.db->InsertBook(longText, "a", "e", 0, 1, 1, 1, 1, 1, 0, 0, 0));
        QVERIFY(
            c.db->InsertBook(maxText, "ă" + std::string(253, 'z'), "e", 0, 1, 1, 1, 1, 1, 0, 0, 0));
        QCOMPARE(c.messages.take(), Texts(4, kCannotInsert));
        QVERIFY(!c.db->UpdateBook(1, "ok", "a", "e", 0, 32768, 1, 1, 1, 1, 0, 0, 0));
        QCOMPARE(c.messages.take(), Texts{kCannotUpdate});
        QVERIFY(!c.db->InsertType(longText));
        QCOMPARE(c.messages.take(), Texts{kCannotInsert});
        RawCatalogue raw(c.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT titlu, pagini FROM books ORDER BY id"),
                 (Texts{"ok|32767", maxText + "|1"}));
        QCOMPARE(raw.one("SELECT count(*) FROM types"), std::string("0"));
    }

    // A read that finds nothing, or may not run, says so once: a missing title, an action
    // statement (a record set is for reading only), a view of the file calling a function.
    void aReadThatFindsNothingOrMayNotRunSaysSo() {
        TestCatalogue c;
        QVERIFY(c.db->InsertBook("Twin", "x", "y", 0, 1, 1, 1, 1, 1, 0, 0, 0));
        QVERIFY(c.db->InsertBook("Twin", "z", "y", 0, 1, 1, 1, 1, 1, 0, 0, 0));
        const std::int32_t id = c.db->FindBookId("Twin");
        QVERIFY(id == 1 || id == 2);
        QCOMPARE(c.db->FindBookId("Nobody"), -1);
        QVERIFY(!c.db->OpenQuery("DELETE FROM books"));
        QVERIFY(!c.db->OpenQuery("SELECT * FROM books; DELETE FROM books"));
        QVERIFY(RawCatalogue(c.path("test.mdb"))
                    .exec("CREATE VIEW sneaky AS SELECT load_extension('x') AS v"));
        QVERIFY(c.db->Close());
        QVERIFY(c.db->Open(c.path("test.mdb")));
        QVERIFY(!c.db->OpenQuery("SELECT * FROM sneaky"));
        QCOMPARE(c.messages.take(), Texts(4, kSelectFailed));
        QCOMPARE(RawCatalogue(c.path("test.mdb")).one("SELECT count(*) FROM books"),
                 std::string("2"));
    }

    void aClosedCatalogueFailsEveryOperationWithItsMessage() {
        TestCatalogue c;
        QVERIFY(c.db->Close());
        QVERIFY(!c.db->IsOpen());
        QCOMPARE(c.db->GetPath(), std::string());
        QVERIFY(!c.db->InsertBook("a", "x", "y", 0, 1, 1, 1, 1, 1, 0, 0, 0));
        QVERIFY(!c.db->UpdateBook(1, "a", "x", "y", 0, 1, 1, 1, 1, 1, 0, 0, 0));
        QVERIFY(!c.db->DeleteBook(1));
        QVERIFY(!c.db->SelectAllBooks());
        QVERIFY(!c.db->InsertType("t"));
        QVERIFY(!c.db->Close());
        QCOMPARE(c.messages.take(),
                 (Texts{kCannotInsert, kCannotUpdate, kCannotDelete, kSelectFailed, kCannotInsert,
                        "Nu se poate inchide baza de date!"}));
        RecordingSink sink;
        CBookDatabase reopened(sink.sink());
        QVERIFY(reopened.Open(c.path("test.mdb")));
        QVERIFY(sink.messages.empty());
    }

    void aCatalogueWorksInTheSqliteShell() {
        QTemporaryDir dir;
        const QString file = dir.filePath("books.mdb");
        RecordingSink sink;
        {
            CBookDatabase db(sink.sink());
            QVERIFY(db.Create(file.toStdString()));
            db.CreateTables();
            for (const auto& [titlu, autor] : {std::pair{"Poezii", "Mihai Eminescu"},
                                               {"Ion", "Liviu Rebreanu"},
                                               {"Luceafărul", "Mihai Eminescu"},
                                               {"At Swim-Two-Birds", "Flann O'Brien"}}) {
                QVERIFY(db.InsertBook(titlu, autor, "Polirom", 0, 100, 1, 1, 1, 1, 0, 6, 0));
            }
        }
        QCOMPARE(Shell(file, "SELECT count(*) FROM books"), QString("4"));
        QCOMPARE(Shell(file, "SELECT titlu FROM books WHERE autor = 'Mihai Eminescu' ORDER BY id"),
                 QString("Poezii\nLuceafărul"));
        QCOMPARE(Shell(file, "PRAGMA integrity_check"), QString("ok"));
        QCOMPARE(Shell(file, "VACUUM"), QString());
        // Rows another tool adds, with and without an identifier.
        QCOMPARE(Shell(file, "INSERT INTO books(titlu, autor, citita) VALUES('Dune', 'Herbert', "
                             "1); INSERT INTO books(id, titlu) VALUES(40, 'Solaris')"),
                 QString());
        const QString restored = dir.filePath("restored.mdb");
        QCOMPARE(Shell(restored, {}, Shell(file, ".dump").toUtf8()), QString());

        CBookDatabase db(sink.sink());
        QVERIFY(db.Open(restored.toStdString()));
        QCOMPARE(ListedTitles(db, "SELECT * FROM books ORDER BY titlu"),
                 (Texts{"At Swim-Two-Birds", "Dune", "Ion", "Luceafărul", "Poezii", "Solaris"}));
        QVERIFY(db.InsertBook("Nou", "a", "e", 0, 1, 1, 1, 1, 1, 1, 0, 0));
        QCOMPARE(db.GetLastInsertedId(), 41);
        QCOMPARE(RawCatalogue(restored.toStdString())
                     .rows("SELECT citita FROM books WHERE titlu IN ('Dune', 'Nou')"),
                 (Texts{"-1", "-1"}));
        QVERIFY(sink.messages.empty());
    }
};

QTEST_APPLESS_MAIN(TestBookDatabase)
#include "tst_bookdatabase.moc"
