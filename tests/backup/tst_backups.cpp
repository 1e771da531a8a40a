#include "backup/CatalogueBackups.h"
#include "support/CoreTestSupport.h"
#include "support/RawCatalogue.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
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

// A catalogue of some books, closed, with its copies' root in the same temporary folder.
struct Shelf : TestCatalogue {
    BackupSettings settings;
    explicit Shelf(int books) {
        for (int i = 0; i < books; ++i) {
            add(MakeBook("Book " + std::to_string(i)));
        }
        db->Close();
        settings.root = path("backups");
    }
    std::string catalogue() const { return path("test.mdb"); }
    std::string folder() const { return BackupFolderOf(settings.root, catalogue()); }
    // Every name in the copies' folder, temporary files too.
    QStringList names() const {
        return QDir(QString::fromStdString(folder()))
            .entryList(QDir::Files | QDir::Hidden, QDir::Name | QDir::Reversed);
    }
};

bool FailedOnce(const BackupResult& result, const RecordingSink& sink) {
    return result.outcome == BackupResult::Outcome::Failed && sink.messages.size() == 1 &&
           sink.messages[0].rfind(msg::kBackupFailed, 0) == 0;
}
} // namespace

class TestBackups : public QObject {
    Q_OBJECT
private slots:
    void theFirstOpeningOfADayMakesOneCopy() {
        Shelf s(3);
        RecordingSink sink;
        using O = BackupResult::Outcome;
        const QList<QPair<BackupDay, O>> openings = {
            {kDay, O::Made}, {kDay, O::NotNeeded}, {DaysAfter(kDay, 1), O::Made}};
        for (const auto& [day, outcome] : openings) {
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
        // A file the program refuses to open (here a folder) is never copied.
        QCOMPARE(
            BackUpOnFirstOpen(s.dir.path().toStdString(), s.settings, kDay, sink.sink()).outcome,
            O::Refused);
        QCOMPARE(QDir(QString::fromStdString(s.settings.root))
                     .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                     .size(),
                 1);
        QVERIFY(sink.messages.empty());
    }

    void rotationKeepsSevenDaysAndTwelveMonthsOverTwoYears() {
        Shelf s(1);
        const BackupDay first{year(2025), month(1), day(1)};
        for (int i = 0; i < 730; ++i) {
            BackUpOnFirstOpen(s.catalogue(), s.settings, DaysAfter(first, i), nullptr);
        }
        QStringList expected;
        for (int d = 31; d >= 25; --d) {
            expected << QStringLiteral("2026-12-%1.mdb").arg(d);
        }
        for (int m = 12; m >= 1; --m) {
            expected << QStringLiteral("2026-%1-01.mdb").arg(m, 2, 10, QLatin1Char('0'));
        }
        QCOMPARE(s.names(), expected);
    }

    void aCopyTakenWhileAnotherProgramWritesHoldsWholeTransactions() {
        Shelf s(0);
        QProcess writer;
        writer.start(FAULT_CHILD, {"batches", QString::fromStdString(s.catalogue()), "300"});
        QVERIFY(writer.waitForStarted());
        // One copy while the writer stands between its first batch and the rest, then copies
        // as fast as they come while it writes on: each must hold whole batches only.
        while (!writer.canReadLine() && writer.waitForReadyRead(60000)) {
        }
        QCOMPARE(writer.readLine(), QByteArray("BATCH 0\n"));
        std::vector<std::string> copies;
        do {
            const BackupResult r = BackUpCatalogue(s.catalogue(), s.settings, kDay, nullptr);
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
        const std::string yesterday =
            BackUpCatalogue(s.catalogue(), s.settings, DaysAfter(kDay, -1), nullptr).path;
        QVERIFY(RawCatalogue(s.catalogue()).exec("DELETE FROM books"));
        struct stat before {};
        ::stat(s.catalogue().c_str(), &before);

        QVERIFY(RestoreBackup(s.catalogue(), yesterday, s.settings, kDay, sink.sink()));
        struct stat after {};
        ::stat(s.catalogue().c_str(), &after);
        QCOMPARE(Books(s.catalogue()), 3);
        QVERIFY(after.st_ino != before.st_ino); // renamed into place, never written over
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
        QCOMPARE(sink.messages.size(), std::size_t{1});
        QVERIFY(sink.messages[0].rfind(msg::kRestoreFailed, 0) == 0);
    }

    void aFailedCopyChangesNothingAndSaysSoOnce_data() {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("folder under a file") << false;
        QTest::newRow("disk full") << true;
    }

    void aFailedCopyChangesNothingAndSaysSoOnce() {
        QFETCH(bool, diskFull);
        Shelf s(50);
        const QByteArray before = FileBytes(s.catalogue());
        if (diskFull) {
            const pid_t child = ::fork();
            if (child == 0) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{8192, 8192};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                RecordingSink sink;
                const BackupResult r =
                    BackUpCatalogue(s.catalogue(), s.settings, kDay, sink.sink());
                ::_exit(FailedOnce(r, sink) ? 0 : 1);
            }
            int status = -1;
            ::waitpid(child, &status, 0);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        } else {
            QFile file(QString::fromStdString(s.path("file")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            s.settings.root = s.path("file") + "/backups";
            RecordingSink sink;
            QVERIFY(
                FailedOnce(BackUpCatalogue(s.catalogue(), s.settings, kDay, sink.sink()), sink));
        }
        QCOMPARE(FileBytes(s.catalogue()), before);
        QCOMPARE(s.names(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
