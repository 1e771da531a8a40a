#include "store/CatalogueCopy.h"
#include "support/CoreTestSupport.h"
#include "support/EarlierCatalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <signal.h>
#include <sys/stat.h>

namespace {
const QString kChild = QStringLiteral(FAULT_CHILD);

// Each stored book's "title|pages" by identifier.
using Books = std::map<int, std::string>;

Books Stored(const std::string& path) {
    Books out;
    for (const std::string& row : RawCatalogue(path).rows("SELECT id, titlu, pagini FROM books")) {
        out[std::stoi(row)] = row.substr(row.find('|') + 1);
    }
    return out;
}

// The books once the operation an intent line announces is done: `op` is its number, `id` the
// identifier an add was given.
Books Applied(Books books, const QString& intent, long op, int id) {
    const QString what = intent.mid(6); // "title|pages", "id|pages" or "id"
    if (intent.startsWith("I add")) {
        books[id] = what.toStdString();
    } else if (intent.startsWith("I mod")) {
        books[what.section('|', 0, 0).toInt()] =
            "book mod " + std::to_string(op) + "|" + what.section('|', 1).toStdString();
    } else {
        books.erase(what.toInt());
    }
    return books;
}

// Reads the child's report as it comes, one line at a time.
class ChildReport {
public:
    explicit ChildReport(QProcess& child) : m_child(child) {}

    // Waits until `due` holds for the lines read so far; false if the child ended or went
    // silent for a minute first.
    bool waitUntil(const std::function<bool(const QStringList&)>& due) {
        while (!due(m_lines)) {
            if (m_child.state() != QProcess::Running || !m_child.waitForReadyRead(60000)) {
                take();
                return due(m_lines);
            }
            take();
        }
        return true;
    }

    // Kills the child after spinning `micros` microseconds, so the kill lands at a chosen point
    // of the work under way rather than at a moment of the clock; then reads what it had said.
    void killAfterSpinning(int micros) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(micros);
        while (std::chrono::steady_clock::now() < until) {
        }
        const qint64 pid = m_child.processId(); // 0 once the child has ended: never kill(0, ...)
        if (m_child.state() == QProcess::Running && pid > 0) {
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
        m_child.waitForFinished(30000);
        take();
    }

    const QStringList& lines() const { return m_lines; }

private:
    void take() {
        m_partial += m_child.readAllStandardOutput();
        for (qsizetype nl = m_partial.indexOf('\n'); nl >= 0; nl = m_partial.indexOf('\n')) {
            m_lines << QString::fromUtf8(m_partial.left(nl));
            m_partial.remove(0, nl + 1);
        }
    }

    QProcess& m_child;
    QByteArray m_partial;
    QStringList m_lines;
};

} // namespace

class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void killedMidWriteLosesNothingAcknowledged() {
        TestCatalogue c;
        c.db->Close();
        const std::string path = c.path("test.mdb");
        QRandomGenerator rng(1206);
        Books expected;
        long next = 0;
        for (int kill = 0; kill < 60; ++kill) {
            QProcess child;
            child.start(kChild, {"write", QString::fromStdString(path), QString::number(next)});
            QVERIFY(child.waitForStarted());
            // Kill after a few acknowledged operations: either between two of them, or at a
            // random point inside the next one.
            ChildReport report(child);
            const qsizetype acks = 1 + rng.bounded(5);
            const bool inside = rng.bounded(2) == 1;
            QVERIFY2(report.waitUntil([&](const QStringList& l) {
                return l.filter(QRegularExpression("^OK")).size() >= acks &&
                       (!inside || l.last().startsWith("I "));
            }),
                     "the child stopped reporting");
            report.killAfterSpinning(inside ? static_cast<int>(rng.bounded(4000)) : 0);
            // Replay what the child reported: an intent, then its acknowledgement.
            QString pending;
            for (const QString& line : report.lines()) {
                QVERIFY2(!line.startsWith("MSG"), qPrintable(line));
                if (line.startsWith("I ")) {
                    pending = line;
                    ++next;
                } else {
                    expected = Applied(expected, pending, next - 1, line.mid(3).toInt());
                    pending.clear();
                }
            }
            QCOMPARE(RawCatalogue(path).one("PRAGMA integrity_check"), std::string("ok"));
            // The operation in flight when the child died is wholly there (an added book under
            // the newest identifier) or wholly not.
            const Books stored = Stored(path);
            if (!pending.isEmpty() && stored != expected) {
                expected = Applied(expected, pending, next - 1,
                                   stored.empty() ? 0 : stored.rbegin()->first);
            }
            QCOMPARE(stored.size(), expected.size());
            QVERIFY(stored == expected);
        }
        QVERIFY2(next > 100, "the child made too little progress to test anything");
        qInfo("60 kills, %ld operations, %zu books at the end", next, expected.size());
    }

    void killedMidCopyLeavesTheTargetWholeOrAsItWas() {
        TestCatalogue source;
        for (int i = 0; i < 3000; ++i) {
            source.add(MakeBook("Book " + std::to_string(i), "Author's " + std::to_string(i % 50)));
        }
        source.db->Close();
        const std::string from = source.path("test.mdb");
        const QByteArray sourceDigest = FileBytes(from);
        TestCatalogue old("old.mdb");
        old.add(MakeBook("Old"));
        old.db->Close();
        QRandomGenerator rng(77);
        int complete = 0;
        int midCopy = 0;
        int before = 0;
        const int rounds = 24;
        for (int round = 0; round < rounds; ++round) {
            const bool ontoExisting = round % 2 == 1;
            const std::string target = ontoExisting ? old.path("old.mdb") : source.path("new.mdb");
            QFile::remove(QString::fromStdString(source.path("new.mdb")));
            const QByteArray digestBefore = FileBytes(target);
            QProcess child;
            child.start(kChild,
                        {"copy", QString::fromStdString(from), QString::fromStdString(target)});
            QVERIFY(child.waitForStarted());
            ChildReport report(child);
            QVERIFY(report.waitUntil([](const QStringList& l) { return !l.isEmpty(); }));
            const QFileInfo info(QString::fromStdString(target));
            // The copy builds under this name; it is there until the rename.
            const std::string temporary = (info.absolutePath() + "/." + info.fileName() + ".part-" +
                                           QString::number(child.processId()) + "-0")
                                              .toStdString();
            if (round % 3 == 0) {
                // Anywhere: before the copy starts, while it runs, or once it is done.
                report.killAfterSpinning(static_cast<int>(rng.bounded(30000)));
            } else {
                // While the copy is under way.
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
                while (!std::filesystem::exists(temporary) && child.state() == QProcess::Running &&
                       std::chrono::steady_clock::now() < deadline) {
                }
                report.killAfterSpinning(static_cast<int>(rng.bounded(1000)));
            }
            QCOMPARE(FileBytes(from), sourceDigest);
            const QByteArray after = FileBytes(target);
            if (after == digestBefore) {
                std::filesystem::exists(temporary) ? ++midCopy : ++before;
                continue;
            }
            QVERIFY(!std::filesystem::exists(temporary));
            QCOMPARE(RawCatalogue(target).one("PRAGMA integrity_check"), std::string("ok"));
            QCOMPARE(RawCatalogue(target).one("SELECT count(*) FROM books"), std::string("3000"));
            ++complete;
            if (ontoExisting) {
                // Start the next round from the old catalogue again.
                QFile::remove(QString::fromStdString(target));
                TestCatalogue again("old.mdb");
                QFile::copy(QString::fromStdString(again.path("old.mdb")),
                            QString::fromStdString(target));
            }
        }
        qInfo("%d killed copies: %d before the copy began, %d mid-copy (left as they were), %d "
              "complete",
              rounds, before, midCopy, complete);
        QVERIFY2(midCopy * 3 >= rounds, "too few kills landed while the copy was under way");
        // The next copy clears what the killed ones left beside their targets.
        RecordingSink sink;
        CBookDatabase again(sink.sink());
        QVERIFY(again.Open(from));
        QVERIFY(CopyCatalogue(again, source.path("new.mdb"), sink.sink()));
        QVERIFY(CopyCatalogue(again, old.path("old.mdb"), sink.sink()));
        for (const QTemporaryDir* dir : {&source.dir, &old.dir}) {
            QCOMPARE(QDir(dir->path()).entryList({".*.part-*"}, QDir::Files | QDir::Hidden),
                     QStringList{});
        }
    }

    void aFullDiskRefusesTheWriteAndChangesNothing() {
        TestCatalogue c;
        for (int i = 0; i < 40; ++i) {
            c.add(MakeBook("Book " + std::to_string(i)));
        }
        c.db->Close();
        const std::string path = c.path("test.mdb");
        QProcess child;
        child.start(kChild, {"full", QString::fromStdString(path)});
        QVERIFY(child.waitForFinished(60000));
        const QStringList lines =
            QString::fromUtf8(child.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.size() >= 3);
        QVERIFY2(lines[lines.size() - 2].startsWith("MSG Nu se poate"),
                 qPrintable(lines.join(" / ")));
        QVERIFY(lines.last().startsWith("LISTED"));
        QCOMPARE(RawCatalogue(path).one("PRAGMA integrity_check"), std::string("ok"));
        const QString failed = lines[lines.size() - 3];
        QVERIFY(failed.startsWith("I "));
        if (failed.startsWith("I add")) {
            QCOMPARE(RawCatalogue(path).one("SELECT count(*) FROM books WHERE titlu = '" +
                                            failed.mid(6).split('|')[0].toStdString() + "'"),
                     std::string("0"));
        }
    }

    void aReadOnlyFolderRefusesEveryWrite_data() {
        QTest::addColumn<bool>("earlier");
        QTest::addColumn<int>("fileMode");
        QTest::newRow("read-only file") << false << 0444;
        QTest::newRow("writable file") << false << 0666;
        // Its conversion to the plain schema is refused, or fails half-way for want of a journal.
        QTest::newRow("read-only file of the earlier schema") << true << 0444;
        QTest::newRow("writable file of the earlier schema") << true << 0666;
    }

    void aReadOnlyFolderRefusesEveryWrite() {
        QFETCH(bool, earlier);
        QFETCH(int, fileMode);
        TestCatalogue c;
        c.add(MakeBook("Kept"));
        c.add(MakeBook("Also kept"));
        c.db->Close();
        const std::string path = c.path(earlier ? "earlier.mdb" : "test.mdb");
        if (earlier) {
            QVERIFY(WriteEarlierCatalogue(path, "INSERT INTO books(titlu, autor) VALUES"
                                                "('Kept', 'a'), ('Also kept', 'b')"));
        }
        const QByteArray before = FileBytes(path);
        ::chmod(c.dir.path().toUtf8().constData(), 0555);
        ::chmod(path.c_str(), static_cast<mode_t>(fileMode));
        QProcess child;
        child.start(kChild, {"readonly", QString::fromStdString(path)});
        QVERIFY(child.waitForFinished(30000));
        ::chmod(c.dir.path().toUtf8().constData(), 0755);
        ::chmod(path.c_str(), 0644);
        const QStringList messages = QString::fromUtf8(child.readAllStandardOutput())
                                         .split('\n', Qt::SkipEmptyParts)
                                         .filter(QRegularExpression("^(MSG|COPIED|NOT|LISTED)"));
        QCOMPARE(messages, (QStringList{"MSG Nu se poate adauga o noua inregistrare!",
                                        "MSG Nu se poate modifica inregistrarea!",
                                        "MSG Nu se pota sterge inregistrarea!",
                                        "MSG Nu se poate crea o nou baza de date!", "NOT COPIED",
                                        "LISTED 2"}));
        QCOMPARE(FileBytes(path), before);
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_faults.moc"
