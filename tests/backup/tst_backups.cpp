#include "backup/CatalogueBackups.h"
#include "support/CoreTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace std::chrono;

namespace {
constexpr BackupDay kDay{year(2026), month(12), day(6)};

BackupDay DaysAfter(BackupDay d, int n) {
    return BackupDay(sys_days(d) + days(n));
}

int Books(const std::string& path) {
    return std::stoi(RawCatalogue(path).one("SELECT count(*) FROM books"));
}

// Adds `n` books in one statement, so that a catalogue of thousands is made at once.
void AddBooks(const std::string& catalogue, int n) {
    QVERIFY(RawCatalogue(catalogue).exec(
        "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r WHERE n < " +
        std::to_string(n) +
        ") INSERT INTO books(titlu, autor, editura, tip, pagini, capitole, volume, publicare, "
        "publicare_volum, citita, calificativ, stare) SELECT 'Book ' || n, 'Author ' || (n % 97), "
        "'Publisher', 0, n % 900 + 1, 1, 1, 1990, 1990, 0, 6, 0 FROM r WHERE n <= " +
        std::to_string(n)));
}

// A catalogue of some books, closed, with its copies' root in the same temporary folder.
struct Shelf : TestCatalogue {
    BackupSettings settings;
    explicit Shelf(int books) {
        db->Close();
        AddBooks(catalogue(), books);
        settings.root = path("backups");
    }
    std::string catalogue() const { return path("test.mdb"); }
    // A copy made now, as of `day`, with no one told of a failure.
    BackupResult backUp(BackupDay day) const {
        return BackUpCatalogue(catalogue(), settings, day, nullptr);
    }
    std::string folder() const { return BackupFolderOf(settings.root, catalogue()); }
    // Every name in the copies' folder, temporary files too.
    QStringList names() const {
        return QDir(QString::fromStdString(folder()))
            .entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::Reversed);
    }
};

// Writes `line` to the child, then reads the line it answers; true when that is `answer`.
bool Tell(QProcess& child, const QByteArray& line, const QByteArray& answer) {
    child.write(line);
    child.waitForBytesWritten();
    while (!child.canReadLine() && child.waitForReadyRead(60000)) {
    }
    return child.readLine() == answer;
}

} // namespace

class TestBackups : public QObject {
    Q_OBJECT
private slots:
    void theFirstOpeningOfADayMakesOneCopy() {
        Shelf s(3);
        RecordingSink sink;
        using O = BackupResult::Outcome;
        for (const auto& [day, outcome] : QList<QPair<BackupDay, O>>{
                 {kDay, O::Made}, {kDay, O::NotNeeded}, {DaysAfter(kDay, 1), O::Made}}) {
            QCOMPARE(BackUpOnFirstOpen(s.catalogue(), s.settings, day, sink.sink()).outcome,
                     outcome);
        }
        QVERIFY(QString::fromStdString(s.folder())
                    .contains(QRegularExpression("/backups/test\\.mdb-[0-9a-f]{8}$")));
        QCOMPARE(s.names(), (QStringList{"2026-12-07.mdb", "2026-12-06.mdb"}));
        for (const BackupCopy& c : ListBackups(s.folder())) {
            QCOMPARE(c.books, 3L);
            QCOMPARE(c.bytes, static_cast<std::int64_t>(FileBytes(c.path).size()));
        }
        // A file the program refuses to open (here a folder) is never copied, nor is a copy.
        QCOMPARE(
            BackUpOnFirstOpen(s.dir.path().toStdString(), s.settings, kDay, sink.sink()).outcome,
            O::Refused);
        const std::string copy = s.folder() + "/2026-12-06.mdb";
        QVERIFY(IsInsideBackupRoot(copy, s.settings.root));
        QVERIFY(!IsInsideBackupRoot(s.catalogue(), s.settings.root));
        QVERIFY(!IsInsideBackupRoot(s.path("backups-old/test.mdb"), s.settings.root));
        QCOMPARE(BackUpCatalogue(copy, s.settings, kDay, sink.sink()).outcome, O::Refused);
        QCOMPARE(QDir(QString::fromStdString(s.settings.root))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                     .size(),
                 1);
        QVERIFY(sink.messages.empty());
    }

    // A catalogue written since it was opened is copied as it closes, unless its day has a copy.
    void aCatalogueChangedWithoutTheDaysCopyIsCopiedAsItCloses() {
        Shelf s(2);
        using O = BackupResult::Outcome;
        const auto close = [&s](BackupDay day) {
            return BackUpOnClose(*s.db, s.settings, day, s.messages.sink()).outcome;
        };
        QVERIFY(s.db->Open(s.catalogue()));
        QCOMPARE(ListedTitles(*s.db, "SELECT * FROM books").size(), std::size_t{2});
        QCOMPARE(close(kDay), O::NotNeeded); // only read
        QVERIFY(s.add(MakeBook("Evening")));
        QCOMPARE(close(kDay), O::Made);
        QVERIFY(s.add(MakeBook("Later")));
        QCOMPARE(close(kDay), O::NotNeeded);
        QCOMPARE(close(DaysAfter(kDay, 1)), O::Made); // closed past midnight
        QCOMPARE(s.names(), (QStringList{"2026-12-07.mdb", "2026-12-06.mdb"}));
        QCOMPARE(Books(s.folder() + "/2026-12-06.mdb"), 3);
        QCOMPARE(Books(s.folder() + "/2026-12-07.mdb"), 4);
        // The copy of the day's first opening is the day's copy.
        QVERIFY(s.db->Close());
        const BackupDay later = DaysAfter(kDay, 2);
        QCOMPARE(BackUpOnFirstOpen(s.catalogue(), s.settings, later, nullptr).outcome, O::Made);
        QVERIFY(s.db->Open(s.catalogue()));
        QVERIFY(s.add(MakeBook("Next day")));
        QCOMPARE(close(later), O::NotNeeded);
        QCOMPARE(s.names().size(), 3);
        QVERIFY(s.messages.messages.empty());
    }

    void rotationKeepsSevenDaysAndTwelveMonthsOverTwoYears() {
        Shelf s(1);
        const BackupDay first{year(2025), month(1), day(1)};
        for (int i = 0; i < 730; ++i) {
            BackUpOnFirstOpen(s.catalogue(), s.settings, DaysAfter(first, i), nullptr);
        }
        QCOMPARE(
            s.names(),
            (QStringList{"2026-12-31.mdb", "2026-12-30.mdb", "2026-12-29.mdb", "2026-12-28.mdb",
                         "2026-12-27.mdb", "2026-12-26.mdb", "2026-12-25.mdb", "2026-12-01.mdb",
                         "2026-11-01.mdb", "2026-10-01.mdb", "2026-09-01.mdb", "2026-08-01.mdb",
                         "2026-07-01.mdb", "2026-06-01.mdb", "2026-05-01.mdb", "2026-04-01.mdb",
                         "2026-03-01.mdb", "2026-02-01.mdb", "2026-01-01.mdb"}));
    }

    void aCopyTakenWhileAnotherProgramWritesHoldsWholeTransactions() {
        Shelf s(0);
        QProcess writer;
        writer.start(FAULT_CHILD, {"batches", QString::fromStdString(s.catalogue()), "300"});
        QVERIFY(writer.waitForStarted());
        // One copy while the writer stands between its first batch and the rest, then copies
        // as fast as they come while it writes on: each must hold whole batches only.
        QVERIFY(Tell(writer, "", "BATCH 0\n"));
        std::vector<std::string> copies;
        do {
            const BackupResult r = s.backUp(kDay);
            QCOMPARE(r.outcome, BackupResult::Outcome::Made);
            copies.push_back(r.path);
            if (copies.size() == 1) {
                writer.write("go\n");
                writer.waitForBytesWritten();
            }
        } while (writer.state() != QProcess::NotRunning && copies.size() < 40);
        QVERIFY(writer.waitForFinished(120000));
        QCOMPARE(Books(copies.front()), 10);
        for (const std::string& copy : copies) {
            QCOMPARE(RawCatalogue(copy).one("PRAGMA integrity_check"), std::string("ok"));
            QCOMPARE(Books(copy) % 10, 0);
        }
    }

    void restoreReplacesTheCatalogueWholeAndCanBeUndone() {
        Shelf s(3);
        RecordingSink sink;
        ::chmod(s.catalogue().c_str(), 0640);
        const std::string yesterday = s.backUp(DaysAfter(kDay, -1)).path;
        QVERIFY(RawCatalogue(s.catalogue()).exec("DELETE FROM books"));
        struct stat before {};
        ::stat(s.catalogue().c_str(), &before);

        QVERIFY(RestoreBackup(s.catalogue(), yesterday, s.settings, kDay, sink.sink()));
        struct stat after {};
        ::stat(s.catalogue().c_str(), &after);
        QCOMPARE(Books(s.catalogue()), 3);
        QCOMPARE(after.st_ino, before.st_ino); // written through SQLite: the file itself stays
        QCOMPARE(after.st_mode & 07777, 0640u);
        QCOMPARE(s.names(), (QStringList{"2026-12-06.mdb", "2026-12-05.mdb"}));

        QVERIFY(RestoreBackup(s.catalogue(), s.folder() + "/2026-12-06.mdb", s.settings, kDay,
                              sink.sink()));
        QCOMPARE(Books(s.catalogue()), 0);
        QCOMPARE(QDir(s.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.mdb"});
        QVERIFY(sink.messages.empty());

        // A copy that cannot be read leaves the catalogue as it was.
        const QByteArray kept = FileBytes(s.catalogue());
        QVERIFY(
            !RestoreBackup(s.catalogue(), s.path("missing.mdb"), s.settings, kDay, sink.sink()));
        QCOMPARE(FileBytes(s.catalogue()), kept);
        QVERIFY(sink.messages.size() == 1 && sink.messages[0].rfind(msg::kRestoreFailed, 0) == 0);
        // Nor is a copy restored when the catalogue as it is now cannot be kept first.
        BackupSettings nowhere = s.settings;
        nowhere.root = s.path("test.mdb/backups");
        QVERIFY(!RestoreBackup(s.catalogue(), yesterday, nowhere, kDay, sink.sink()));
        QCOMPARE(FileBytes(s.catalogue()), kept);
        QVERIFY(sink.messages.size() == 2 && sink.messages[1].rfind(msg::kRestoreFailed, 0) == 0);
    }

    void aRestoreWaitsForAWriterOfAnotherProgramAndLeavesAWholeCatalogue() {
        Shelf s(4000);
        const std::string copy = s.backUp(DaysAfter(kDay, -1)).path;
        QVERIFY(RawCatalogue(s.catalogue()).exec("DELETE FROM books WHERE id % 2 = 0"));
        QProcess writer;
        writer.start(FAULT_CHILD, {"holder", QString::fromStdString(s.catalogue()), "2"});
        QVERIFY(writer.waitForStarted());
        // The writer is inside a transaction, its pages partly in the file already, when the
        // restore starts: it finishes first.
        QVERIFY(Tell(writer, "begin\n", "HOLDING 0\n"));
        writer.write("commit\n");
        writer.waitForBytesWritten();
        RecordingSink sink;
        QVERIFY(RestoreBackup(s.catalogue(), copy, s.settings, kDay, sink.sink()));
        QVERIFY(sink.messages.empty());
        QVERIFY(Tell(writer, "", "COMMITTED 0\n"));
        // The copy made first holds the writer's transaction, whole.
        QCOMPARE(RawCatalogue(s.folder() + "/2026-12-06.mdb")
                     .one("SELECT count(*) || '|' || min(capitole) || '|' || max(capitole) FROM "
                          "books"),
                 std::string("2000|2|2"));

        // The writer's next transaction goes to the restored catalogue: locked while it holds
        // it, and in it once committed.
        QVERIFY(Tell(writer, "begin\n", "HOLDING 1\n"));
        QVERIFY(RawCatalogue(s.catalogue()).one("SELECT count(*) FROM books").rfind("ERROR", 0) ==
                0);
        QVERIFY(Tell(writer, "commit\n", "COMMITTED 1\n"));
        QVERIFY(writer.waitForFinished(60000));
        QCOMPARE(writer.exitCode(), 0);
        const RawCatalogue restored(s.catalogue());
        QCOMPARE(restored.one("PRAGMA integrity_check"), std::string("ok"));
        QCOMPARE(restored.one("SELECT count(*) || '|' || min(capitole) || '|' || max(capitole) "
                              "FROM books"),
                 std::string("4000|2|2"));
    }

    void theNewestCopyStaysWhateverTheClockSays_data() {
        QTest::addColumn<int>("daily");
        QTest::addColumn<int>("monthly");
        QTest::addColumn<int>("clock"); // days from the newest copy
        QTest::newRow("clock a month behind") << 7 << 12 << -30;
        QTest::newRow("clock a year behind") << 7 << 12 << -400;
        QTest::newRow("clock a day behind, one day kept") << 1 << 0 << -1;
        QTest::newRow("no monthly copies, clock behind") << 3 << 0 << -5;
        QTest::newRow("clock right, no monthly copies") << 2 << 0 << 1;
    }

    void theNewestCopyStaysWhateverTheClockSays() {
        QFETCH(int, daily);
        QFETCH(int, monthly);
        QFETCH(int, clock);
        Shelf s(2);
        s.settings.daily = daily;
        s.settings.monthly = monthly;
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(s.backUp(DaysAfter(kDay, i)).outcome, BackupResult::Outcome::Made);
        }
        const BackupDay today = DaysAfter(kDay, 9 + clock);
        const BackupResult made = s.backUp(today);
        QCOMPARE(made.outcome, BackupResult::Outcome::Made);
        QVERIFY(QFile::exists(QString::fromStdString(made.path)));

        // A restore under that clock keeps the copy it makes of the catalogue first.
        QVERIFY(RawCatalogue(s.catalogue()).exec("DELETE FROM books"));
        RecordingSink sink;
        QVERIFY(RestoreBackup(s.catalogue(), made.path, s.settings, today, sink.sink()));
        QCOMPARE(Books(s.catalogue()), 2);
        QVERIFY(std::ranges::any_of(ListBackups(s.folder()),
                                    [](const BackupCopy& c) { return c.books == 0; }));
    }

    void aDamagedCopyIsShownSoAndNeverRestored() {
        Shelf s(3000);
        const std::string copy = s.backUp(kDay).path;
        // Bytes overwritten in the middle of its pages, its header left whole: a disk gone bad.
        QFile file(QString::fromStdString(copy));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.size() > 8 * 4096);
        for (qint64 at = 2 * 4096 + 100; at < file.size(); at += 3 * 4096) {
            file.seek(at);
            file.write(QByteArray(300, '\x5a'));
        }
        file.close();
        QVERIFY(RawCatalogue(s.catalogue()).exec("DELETE FROM books WHERE id > 10"));
        const QByteArray before = FileBytes(s.catalogue());
        const std::vector<BackupCopy> listed = ListBackups(s.folder());
        QCOMPARE(listed.size(), std::size_t{1});
        QVERIFY(listed[0].damaged);
        QCOMPARE(BackupRowTexts(listed[0])[2], std::string("deteriorata"));
        // A copy whose books cannot be counted is asked about without a number.
        BackupCopy uncounted = listed[0];
        uncounted.damaged = false;
        uncounted.books = -1;
        QVERIFY(RestoreQuestion(uncounted).starts_with(
            "Baza de date va fi inlocuita cu copia din 2026-12-06 (? carti)."));

        RecordingSink sink;
        QVERIFY(!RestoreBackup(s.catalogue(), copy, s.settings, kDay, sink.sink()));
        QCOMPARE(sink.messages,
                 Texts{std::string(msg::kRestoreFailed) + ": " + copy + ": " + msg::kDamagedCopy});
        QCOMPARE(FileBytes(s.catalogue()), before);
        QCOMPARE(s.names(), QStringList{"2026-12-06.mdb"}); // no copy made for nothing
    }

    // A catalogue reached through a symbolic link: the file it points to gets the copy, the link
    // stays a link, whether the catalogue still opens or not.
    void aRestoreThroughALinkWritesTheFileItPointsTo() {
        for (const bool opens : {true, false}) {
            Shelf s(3);
            const std::string copy = s.backUp(DaysAfter(kDay, -1)).path;
            if (opens) {
                QVERIFY(RawCatalogue(s.catalogue()).exec("DELETE FROM books"));
            } else {
                WriteFile(QString::fromStdString(s.catalogue()), "not a catalogue any more");
            }
            const std::string link = s.path("link.mdb");
            QCOMPARE(::symlink(s.catalogue().c_str(), link.c_str()), 0);
            RecordingSink sink;
            QVERIFY(RestoreBackup(link, copy, s.settings, kDay, sink.sink()));
            QVERIFY(QFileInfo(QString::fromStdString(link)).isSymLink());
            QCOMPARE(Books(s.catalogue()), 3);
            QVERIFY(sink.messages.empty());
        }
    }

    void simultaneousCopiesEachKeepTheirOwnFile() {
        Shelf s(3000);
        constexpr int kCopies = 12;
        int pipes[2];
        QCOMPARE(::pipe(pipes), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < kCopies; ++i) {
            const pid_t child = ::fork();
            if (child == 0) {
                char go = 0;
                ::close(pipes[1]);
                if (::read(pipes[0], &go, 1) != 0) { // all start together, when the pipe closes
                    ::_exit(2);
                }
                const BackupResult r = s.backUp(kDay);
                ::_exit(r.outcome == BackupResult::Outcome::Made &&
                                QFile::exists(QString::fromStdString(r.path))
                            ? 0
                            : 1);
            }
            children.push_back(child);
        }
        ::close(pipes[0]);
        ::close(pipes[1]);
        for (const pid_t child : children) {
            int status = -1;
            ::waitpid(child, &status, 0);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        const QStringList names = s.names();
        QCOMPARE(names.size(), kCopies);
        QVERIFY(names.filter(QRegularExpression("^2026-12-06(\\.[0-9]+)?\\.mdb$")) == names);
    }

    void aCopyOnAFullDiskChangesNothingAndSaysSoOnce() {
        Shelf s(50);
        const QByteArray before = FileBytes(s.catalogue());
        const pid_t child = ::fork();
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{8192, 8192};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            RecordingSink sink;
            const BackupResult r = BackUpCatalogue(s.catalogue(), s.settings, kDay, sink.sink());
            ::_exit(r.outcome == BackupResult::Outcome::Failed && sink.messages.size() == 1 &&
                            sink.messages[0].rfind(msg::kBackupFailed, 0) == 0
                        ? 0
                        : 1);
        }
        int status = -1;
        ::waitpid(child, &status, 0);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QCOMPARE(FileBytes(s.catalogue()), before);
        QCOMPARE(s.names(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
