#include "isbn/ReplayServer.h"
#include "lookup/ui/CLookupChain.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utime.h>

namespace {
const std::string kTom = "9780451526533";

// Whether anything opens `fifo` for reading while it lives: it tries to open the writing end,
// which succeeds only while a reader holds the other (and then lets that reader go on).
class FifoProbe {
public:
    explicit FifoProbe(const QString& fifo) : m_path(fifo.toStdString()) {
        ::mkfifo(m_path.c_str(), 0600);
        m_watch = std::thread([this] {
            while (!m_stop) {
                const int fd = ::open(m_path.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    m_opened = true;
                    ::close(fd);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    ~FifoProbe() {
        m_stop = true;
        m_watch.join();
    }
    bool opened() const { return m_opened; }

private:
    std::string m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_opened{false};
    std::thread m_watch;
};

// One look-up against a local service that sends whatever the test tells it to.
struct Hostile {
    ReplayServer server{QStringLiteral(ANSWERS_DIR)};
    QTemporaryDir cache;
    CLookupChain lookup;
    Hostile() {
        lookup.SetService(server.address());
        lookup.SetCacheFolder(cache.path());
        lookup.SetTimeout(3000);
    }
    void send(int status, const QByteArray& body, const QByteArray& headers = {}) {
        server.mode = ReplayServer::Mode::Body;
        server.status = status;
        server.body = body;
        server.headers = headers;
    }
    // "found|<title>", "not found" or "failed|<reason>".
    QString ask(const std::string& isbn = kTom) {
        QString said;
        QMetaObject::Connection answered = QObject::connect(
            &lookup, &CLookupChain::Answered, [&](const QString&, const LookupAnswer& a) {
                said = a.kind == LookupAnswer::Kind::Found
                           ? "found|" + QString::fromStdString(a.book.titlu)
                           : QStringLiteral("not found");
            });
        QMetaObject::Connection failed = QObject::connect(
            &lookup, &CLookupChain::Failed,
            [&](const QString&, const QString& reason) { said = "failed|" + reason; });
        lookup.Lookup(isbn);
        for (int i = 0; i < 1000 && said.isEmpty(); ++i) {
            QTest::qWait(10);
        }
        QObject::disconnect(answered);
        QObject::disconnect(failed);
        return said;
    }
    // "WxH" of the cover given, or "none".
    QString cover(const QString& url) {
        QSignalSpy ready(&lookup, &CLookupChain::CoverReady);
        lookup.FetchCover(kTom, url);
        if (ready.isEmpty() && !ready.wait(10000)) {
            return QStringLiteral("(no answer)");
        }
        const QImage image = ready.first().at(1).value<QImage>();
        return image.isNull() ? QStringLiteral("none")
                              : QStringLiteral("%1x%2").arg(image.width()).arg(image.height());
    }
    QStringList kept(const char* folder) const {
        return QDir(cache.path() + "/" + folder)
            .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
    }
};
} // namespace

// What a look-up service sends is only data: whatever it says, no file is read, the window is not
// held, memory stays bounded, and nothing is kept that is not whole and about the ISBN asked.
class TestHostileLookup : public QObject {
    Q_OBJECT
private slots:
    void coversComeOnlyOverTheWebFromTheServicesHosts() {
        Hostile h;
        QTemporaryDir files;
        const QString png = files.path() + "/cover.png";
        QFile f(png);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(CoverPng(20, 30)) > 0);
        f.close();
        const FifoProbe fifo(files.path() + "/fifo");
        h.server.cover = CoverPng(20, 30);
        QStringList got;
        for (const QString& url : QStringList{
                 "file://" + png, "file://" + files.path() + "/fifo", QString("file:///dev/zero"),
                 "ftp://127.0.0.1/" + png,
                 "data:image/png;base64," + QString::fromLatin1(CoverPng(20, 30).toBase64()),
                 // The same server by another host name: not a host the sources name.
                 QString(h.server.address()).replace("127.0.0.1", "localhost") + "/b/id/1-M.jpg"}) {
            got << h.cover(url);
        }
        QCOMPARE(got, QStringList(6, "none"));
        QVERIFY(!fifo.opened());
        QVERIFY(h.server.requests.isEmpty());
        // A redirect away from the web is refused; one within it is followed.
        h.send(302, {}, "Location: file://" + png.toUtf8() + "\r\n");
        QCOMPARE(h.cover(h.server.address() + "/b/id/1-M.jpg"), QString("none"));
        h.send(302, {}, "Location: file:///etc/passwd\r\n");
        QCOMPARE(h.ask(),
                 QString("failed|serviciul de cautare trimite la o adresa care nu este http sau "
                         "https"));
        h.server.mode = ReplayServer::Mode::Replay;
        h.server.headers.clear();
        // The service's own covers come, fitted to the dialog however big they are.
        h.server.cover = CoverPng(3000, 2000);
        QCOMPARE(h.cover(h.server.address() + "/b/id/2-M.jpg"), QString("240x160"));
        QCOMPARE(h.kept("covers"), QStringList{"9780451526533.img"});
        QCOMPARE(h.lookup.CachedCover(kTom).size(), QSize(240, 160));
        QVERIFY(h.lookup.CachedCover("../../../tmp/x").isNull());
    }

    // A book asked ahead is kept and told nothing of; asked for then, it is answered at once, and
    // a book asked for while it is still out is asked once.
    void booksAskedAheadAreKeptUntilWanted() {
        Hostile h;
        qint64 now = 100000;
        h.lookup.SetClock([&now] { return now; });
        h.server.cover = CoverPng(20, 30);
        QSignalSpy answered(&h.lookup, &CLookupChain::Answered);
        QSignalSpy covers(&h.lookup, &CLookupChain::CoverReady);
        h.lookup.Prefetch(kTom);
        QTRY_COMPARE(h.server.requests.size(), 1);
        now += 1000; // the first year, then the cover from its own host
        QTRY_COMPARE(h.server.requests.size(), 3);
        QTest::qWait(100);
        QCOMPARE(answered.size() + covers.size(), 0);
        QCOMPARE(h.kept("answers") + h.kept("years") + h.kept("covers"),
                 (QStringList{"9780451526533.json", "9780451526533.json", "9780451526533.img"}));
        QCOMPARE(h.ask(), QString("found|The adventures of Tom Sawyer"));
        QCOMPARE(h.cover(h.server.address() + "/b/id/295577-M.jpg"), QString("20x30"));
        QCOMPARE(h.server.requests.size(), 3);
        // Wanted while asked ahead: one request, told when it comes.
        h.lookup.Prefetch("9780141439518");
        h.lookup.Lookup("9780141439518");
        now += 1000;
        QTRY_COMPARE(h.server.requests.size(), 4);
        now += 1000;
        QTRY_COMPARE(answered.size(), 2);
        QCOMPARE(
            h.server.requests.count("/api/books?bibkeys=ISBN:9780141439518&format=json&jscmd=data"),
            1);
    }

    void tooMuchIsGivenUpAndNotKept() {
        Hostile h;
        // An answer past 2 MB, and one that unpacks to 100 MB (refused by the network layer's
        // own check or by ours, whichever comes first).
        h.send(200, "{\"ISBN:9780451526533\": {\"title\": \"" + QByteArray(3 << 20, 'a') + "\"}}");
        QCOMPARE(h.ask(),
                 QString("failed|raspunsul serviciului de cautare este prea mare (peste 2 MB)"));
        h.send(200, qCompress(QByteArray(100 << 20, ' '), 9).mid(4),
               "Content-Encoding: deflate\r\n");
        const QString bomb = h.ask();
        QVERIFY2(bomb.startsWith("failed|raspunsul serviciului de cautare "), qPrintable(bomb));
        // A cover past 5 MB: a picture that would read, padded past the limit.
        h.send(200, CoverPng(20, 30) + QByteArray(6 << 20, 'x'));
        QCOMPARE(h.cover(h.server.address() + "/b/id/3-M.jpg"), QString("none"));
        QCOMPARE(h.kept("answers") + h.kept("covers"), QStringList());
        // One of 5 MB exactly is taken.
        QByteArray whole = CoverPng(20, 30);
        whole += QByteArray((5 << 20) - whole.size(), 'x');
        h.send(200, whole);
        QCOMPARE(h.cover(h.server.address() + "/b/id/4-M.jpg"), QString("20x30"));
    }

    void onlyWholeAnswersAboutTheIsbnAskedAreKept() {
        Hostile h;
        qint64 now = 100000;
        h.lookup.SetClock([&now] { return now; });
        // Another ISBN's answer is none for this one.
        h.send(200, "{\"ISBN:9791032305690\": {\"title\": \"Alta carte\"}}");
        QCOMPARE(h.ask(), QString("failed|raspunsul serviciului de cautare nu poate fi citit"));
        QCOMPARE(h.kept("answers"), QStringList());
        // A service that asks for a pause is left alone that long, the ISBN waits for it and is
        // asked again; nothing of the refusal is kept.
        now += 1000;
        h.send(429, {}, "Retry-After: 2\r\n");
        QSignalSpy paused(&h.lookup, &CLookupChain::Paused);
        QSignalSpy answered(&h.lookup, &CLookupChain::Answered);
        QSignalSpy failed(&h.lookup, &CLookupChain::Failed);
        h.lookup.Lookup(kTom);
        QTRY_COMPARE(paused.size(), 1);
        QCOMPARE(paused.first().at(1).toInt(), 2);
        h.server.mode = ReplayServer::Mode::Replay;
        h.server.headers.clear();
        now += 1999;
        QTest::qWait(1200);
        QCOMPARE(h.server.requests.size(), 2);
        now += 1;
        QTRY_COMPARE(h.server.requests.size(), 3);
        now += 1000; // and the work's first year
        QTRY_COMPARE(answered.size(), 1);
        QCOMPARE(answered.first().at(1).value<LookupAnswer>().book.publicare, 1876);
        QCOMPARE(failed.size(), 0);
        QCOMPARE(h.kept("answers"), QStringList{"9780451526533.json"});
        // Too busy, without a word of how long: a minute.
        now += 1000;
        h.send(503, {});
        h.lookup.Lookup("9791032305690");
        QTRY_COMPARE(paused.size(), 2);
        QCOMPARE(paused.last().at(1).toInt(), 60);
        h.server.mode = ReplayServer::Mode::Replay;
        now += 59000;
        QTest::qWait(1200);
        QCOMPARE(h.server.requests.size(), 5);
        now += 1000;
        QTRY_COMPARE(answered.size(), 2);
        // What lies in the cache that cannot be read is asked again, and replaced.
        const QString kept = h.cache.path() + "/answers/9780451526533.json";
        QFile garbage(kept);
        QVERIFY(garbage.open(QIODevice::WriteOnly) && garbage.write("{\"ISBN:97804") > 0);
        garbage.close();
        now += 1000;
        QCOMPARE(h.ask(), QString("found|The adventures of Tom Sawyer"));
        QCOMPARE(h.server.requests.size(), 7);
        // A book not found is asked again after a week, not before.
        now += 1000;
        QCOMPARE(h.ask("9791032305690"), QString("not found"));
        QCOMPARE(h.ask("9791032305690"), QString("not found"));
        QCOMPARE(h.server.requests.size(), 7);
        const QString missed = h.cache.path() + "/answers/9791032305690.json";
        const utimbuf week{time(nullptr) - 8 * 24 * 3600, time(nullptr) - 8 * 24 * 3600};
        QVERIFY(::utime(missed.toLocal8Bit().constData(), &week) == 0);
        now += 1000;
        QCOMPARE(h.ask("9791032305690"), QString("not found"));
        QCOMPARE(h.server.requests.size(), 8);
    }
};

QTEST_MAIN(TestHostileLookup)
#include "tst_hostilelookup.moc"
