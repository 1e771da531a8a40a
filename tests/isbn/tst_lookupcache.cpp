#include "isbn/LookupCache.h"
#include "support/CoreTestSupport.h"
#include "support/DiskFull.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const std::string kIsbn = "9780451526533";
using Kind = LookupCache::Kind;

QString Kept(const LookupCache& cache, Kind kind = Kind::Answer) {
    const auto kept = cache.Read(kind, kIsbn);
    return kept ? QString::fromStdString(kept->bytes) : QStringLiteral("(none)");
}
} // namespace

// The cache folder is the user's, but anything may lie in it: it is read as data, never followed.
class TestLookupCache : public QObject {
    Q_OBJECT
private slots:
    void onlyCheckedIsbnsNameFiles() {
        QTemporaryDir dir;
        const LookupCache cache(dir.path().toStdString());
        QStringList refused;
        for (const char* name : {"../../../tmp/x", "9780451526534", "978045152653", "0451526538",
                                 "978045152653/", "97804515265333"}) {
            if (!LookupCache::MayName(name) && !cache.Write(Kind::Cover, name, "x") &&
                !cache.Read(Kind::Cover, name)) {
                refused << name;
            }
        }
        QCOMPARE(refused.size(), 6);
        QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
        QVERIFY(cache.Write(Kind::Answer, kIsbn, "{}"));
        QCOMPARE(Kept(cache), QString("{}"));
        QCOMPARE(FileBytes(dir.path() + "/answers/9780451526533.json"), QByteArray("{}"));
        QVERIFY(cache.Read(Kind::Answer, kIsbn)->ageSeconds < 5);
    }

    void whatIsNoPlainFileIsRemovedUnread() {
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        const LookupCache cache(dir.path().toStdString());
        const QString answer = dir.path() + "/answers/9780451526533.json";
        const QString secret = elsewhere.path() + "/secret";
        QDir().mkpath(dir.path() + "/answers");
        WriteFile(secret, "{\"secret\": 1}");
        // A link to a file elsewhere: not read, and writing replaces the link, not the file.
        QVERIFY(QFile::link(secret, answer));
        QCOMPARE(Kept(cache), QString("(none)"));
        QVERIFY(!QFileInfo::exists(answer) && !QFileInfo(answer).isSymLink());
        QVERIFY(QFile::link(secret, answer));
        QVERIFY(cache.Write(Kind::Answer, kIsbn, "{}"));
        QCOMPARE(FileBytes(secret), QByteArray("{\"secret\": 1}"));
        QVERIFY(!QFileInfo(answer).isSymLink());
        // A FIFO nobody writes to is refused at once, and a device too.
        QVERIFY(QFile::remove(answer));
        QVERIFY(::mkfifo(answer.toLocal8Bit().constData(), 0600) == 0);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(Kept(cache), QString("(none)"));
        QVERIFY(clock.elapsed() < 1000);
        QVERIFY(!QFileInfo::exists(answer));
        QVERIFY(QFile::link("/dev/zero", answer));
        QCOMPARE(Kept(cache), QString("(none)"));
        // Empty, or bigger than an answer may be.
        for (const QByteArray& bytes :
             {QByteArray(), QByteArray(LookupCache::kAnswerLimit + 1, ' ')}) {
            WriteFile(answer, bytes);
            QCOMPARE(Kept(cache), QString("(none)"));
            QVERIFY(!QFileInfo::exists(answer));
        }
        QVERIFY(!cache.Write(Kind::Answer, kIsbn, std::string(LookupCache::kAnswerLimit + 1, ' ')));
        QVERIFY(cache.Write(Kind::Cover, kIsbn, std::string(LookupCache::kAnswerLimit + 1, ' ')));
    }

    void aFullDiskKeepsNothing() {
        QTemporaryDir dir;
        const LookupCache cache(dir.path().toStdString());
        QVERIFY(cache.Write(Kind::Cover, kIsbn, "old cover"));
        bool written = true;
        {
            const DiskFull full(65536);
            written = cache.Write(Kind::Cover, kIsbn, std::string(100000, 'c'));
        }
        QVERIFY(!written);
        // Nothing half written stays to be taken for a cover, nor any temporary file.
        QCOMPARE(Kept(cache, Kind::Cover), QString("(none)"));
        QCOMPARE(QDir(dir.path() + "/covers").entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }
};

QTEST_APPLESS_MAIN(TestLookupCache)
#include "tst_lookupcache.moc"
