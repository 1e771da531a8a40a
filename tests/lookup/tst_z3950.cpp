// A Z39.50 search against a real target on 127.0.0.1: z3950_target, made with YAZ's own server,
// serving records written here as ISO 2709.
#include "lookup/ui/CZ3950Search.h"
#include "lookup/ui/MarcXml.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QString kMarc21Isbn = QStringLiteral("9789734633401");
const QString kUnimarcIsbn = QStringLiteral("9786069210031");
const QString kFourTimesIsbn = QStringLiteral("9786060000013");

// What Done said: the MARCXML and the failure.
using Result = std::pair<QByteArray, QString>;

// Fields as "tag ind1ind2 $avalue$bvalue", control fields as "tag data".
using Fields = QList<QByteArray>;

// One ISO 2709 record: the leader's length and base address filled in, the directory made.
QByteArray Iso2709(QByteArray leader, const Fields& fields) {
    QByteArray directory;
    QByteArray data;
    for (const QByteArray& field : fields) {
        QByteArray body = field.mid(4);
        if (!field.startsWith("00"))
            body = body.left(2) + body.mid(3).replace('$', '\x1f');
        body += '\x1e';
        directory += field.left(3) + QByteArray::number(body.size()).rightJustified(4, '0') +
                     QByteArray::number(data.size()).rightJustified(5, '0');
        data += body;
    }
    const int base = 24 + directory.size() + 1;
    leader.replace(0, 5, QByteArray::number(base + data.size() + 1).rightJustified(5, '0'));
    leader.replace(12, 5, QByteArray::number(base).rightJustified(5, '0'));
    return leader + directory + '\x1e' + data + '\x1d';
}

// The fields of every record of a MARCXML collection as the program reads them, written as
// Iso2709 takes them.
Fields FieldsOf(const QByteArray& xml) {
    Fields fields;
    for (const MarcRecord& record : ReadMarcXml(xml)) {
        for (const MarcControlField& field : record.controlFields)
            fields += QByteArray::fromStdString(field.tag + ' ' + field.data);
        for (const MarcDataField& field : record.dataFields) {
            std::string text = field.tag + ' ' + field.indicator1 + field.indicator2 + ' ';
            for (const MarcSubfield& subfield : field.subfields)
                text += '$' + (subfield.code + subfield.value);
            fields += QByteArray::fromStdString(text);
        }
    }
    return fields;
}

// The UNIMARC record served, in UTF-8: it comes back as written.
const Fields kUnimarc = {"001 sad-1",
                         "010    $a9786069210031",
                         "200 1  $aBaltagul$fMihail Sadoveanu",
                         "210    $aBucurești$cEditura Țara$d2010",
                         "215    $a233 p.",
                         "225 2  $aCărți de învățătură$v7",
                         "700  1 $aSadoveanu$bMihail"};

// One of four MARC 21 records in UTF-8 (leader/09 "a") for one ISBN.
Fields Copy(int n) {
    return {"001 copy-" + QByteArray::number(n), "020    $a9786060000013", "245 00 $aȘcoala"};
}

// A free port on 127.0.0.1, as the system hands one out.
quint16 FreePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class TestZ3950 : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QProcess m_target;
    QTcpServer m_rude; // hangs up on every connection
    QString m_served, m_nobody, m_hangsUp;

    // Searches and waits for Done, which must come once and name the ISBN asked.
    Result Ask(const QString& target, MarcFlavour flavour, const QString& isbn) {
        CZ3950Search search;
        QSignalSpy done(&search, &CZ3950Search::Done);
        search.Search(target, flavour, isbn, 5000);
        if (!done.wait(7000) || done.count() != 1 || done[0][0].toString() != isbn)
            return {{}, QStringLiteral("no Done for %1").arg(isbn)};
        return {done[0][1].toByteArray(), done[0][2].toString()};
    }

private slots:
    void initTestCase() {
        // MARC-8 writes the accent before its letter: breve E6 (\346), circumflex E3 (\343),
        // cedilla F0 (\360), comma below F7 (\367).
        const QByteArray marc21 = Iso2709(
            "00000nam  2200000   4500",
            {"001 rebr-1", "020    $a9789734633401", "100 1  $aRebreanu, Liviu,$d1885-1944.",
             "245 10 $aP\346adurea sp\343anzura\367tilor :$broman \343in dou\346a volume /"
             "$cLiviu Rebreanu.",
             "260    $aIa\360si :$bPolirom,$c2004.", "300    $a352 p. ;",
             "490 0  $aBiblioteca \367scolarului ;$v12"});
        const QByteArray unimarc = Iso2709("00000nam0 2200000   450 ", kUnimarc);
        QFile records(m_dir.filePath("records"));
        QVERIFY(records.open(QIODevice::WriteOnly));
        records.write('M' + marc21 + 'U' + unimarc);
        records.write("Mthis is no MARC record 9780000000002\x1d");
        records.write("X<record><datafield tag=\"020\"><subfield code=\"a\">9786060000020"
                      "</subfield></datafield></record>\x1d");
        for (int copy = 1; copy <= 4; ++copy) {
            records.write('M' + Iso2709("00000nam a2200000   4500", Copy(copy)));
        }
        records.close();

        const quint16 port = FreePort();
        m_served = QStringLiteral("127.0.0.1:%1/Default").arg(port);
        m_nobody = QStringLiteral("127.0.0.1:%1/Default").arg(FreePort());
        QVERIFY(m_rude.listen(QHostAddress::LocalHost, 0));
        connect(&m_rude, &QTcpServer::newConnection,
                [this] { delete m_rude.nextPendingConnection(); });
        m_hangsUp = QStringLiteral("127.0.0.1:%1/Default").arg(m_rude.serverPort());

        m_target.setStandardOutputFile(m_dir.filePath("target.log"));
        m_target.setStandardErrorFile(m_dir.filePath("target.log"), QIODevice::Append);
        m_target.start(Z3950_TARGET,
                       {records.fileName(), QStringLiteral("tcp:127.0.0.1:%1").arg(port)});
        QVERIFY2(m_target.waitForStarted(), qPrintable(m_target.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(
            [port] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                return probe.waitForConnected(200);
            }(),
            5000);
    }

    void cleanupTestCase() {
        m_target.kill();
        m_target.waitForFinished();
    }

    // What the target holds comes back in UTF-8, three records at most; what it does not, or
    // cannot give, comes back as nothing, with the failure said.
    void aSearchGivesWhatTheTargetHolds_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("flavour");
        QTest::addColumn<QString>("isbn");
        QTest::addColumn<Fields>("fields");
        QTest::addColumn<QString>("failure");
        const int marc21 = int(MarcFlavour::Marc21);
        // YAZ gives each accent after its letter (U+0306, U+0302, U+0326, U+0327), composed as
        // the record is read: the cedilla stays a cedilla (ş), the comma below one (ș, ț).
        const Fields composed = {
            "001 rebr-1",
            "020    $a9789734633401",
            "100 1  $aRebreanu, Liviu,$d1885-1944.",
            "245 10 $aPădurea spânzuraților :$broman în două volume /$cLiviu Rebreanu.",
            "260    $aIaşi :$bPolirom,$c2004.",
            "300    $a352 p. ;",
            "490 0  $aBiblioteca școlarului ;$v12"};
        QTest::newRow("MARC 21 in MARC-8")
            << m_served << marc21 << kMarc21Isbn << composed << QString();
        QTest::newRow("UNIMARC in UTF-8")
            << m_served << int(MarcFlavour::Unimarc) << kUnimarcIsbn << kUnimarc << QString();
        QTest::newRow("MARC 21 in UTF-8, three of four")
            << m_served << marc21 << kFourTimesIsbn << Copy(1) + Copy(2) + Copy(3) << QString();
        const QString unreadable = QStringLiteral("raspunsul catalogului nu poate fi citit");
        const auto none = [&](const char* name, const QString& target, const QString& isbn,
                              const QString& failure) {
            QTest::newRow(name) << target << marc21 << isbn << Fields() << failure;
        };
        none("not found", m_served, "9789990000001", QString());
        none("not MARC", m_served, "9780000000002", unreadable);
        none("in another syntax", m_served, "9786060000020", unreadable);
        none("refused", m_nobody, kMarc21Isbn, "catalogul nu poate fi contactat");
        none("hung up", m_hangsUp, kMarc21Isbn, "legatura cu catalogul s-a intrerupt");
    }

    void aSearchGivesWhatTheTargetHolds() {
        QFETCH(QString, target);
        QFETCH(int, flavour);
        QFETCH(QString, isbn);
        QFETCH(Fields, fields);
        const auto [xml, failure] = Ask(target, MarcFlavour(flavour), isbn);
        QTEST(failure, "failure");
        QCOMPARE(FieldsOf(xml), fields);
        QCOMPARE(xml.isEmpty(), fields.isEmpty());
    }

    void aSilentTargetTimesOutWhileTheEventLoopRuns() {
        // Connections are taken (the system completes them) and never answered.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&ticks] { ++ticks; });
        ticker.start(20);

        CZ3950Search search;
        QSignalSpy done(&search, &CZ3950Search::Done);
        QElapsedTimer clock;
        clock.start();
        search.Search(QStringLiteral("127.0.0.1:%1/Default").arg(silent.serverPort()),
                      MarcFlavour::Marc21, kMarc21Isbn, 1500);
        QVERIFY(clock.elapsed() < 200);
        QVERIFY(done.wait(5000));
        // YAZ's own limit is in whole seconds (2 here): the answer comes at 1.5 s all the same.
        const qint64 waited = clock.elapsed();
        QVERIFY2(waited >= 1400 && waited < 1900, qPrintable(QString::number(waited)));
        QVERIFY2(ticks >= 30, qPrintable(QString::number(ticks)));
        QCOMPARE(done.count(), 1);
        QCOMPARE(done[0][2].toString(), "catalogul nu a raspuns la timp");
    }

    void aRequestThatCannotBeAskedIsToldLater() {
        CZ3950Search search;
        QSignalSpy done(&search, &CZ3950Search::Done);
        search.Search("http://127.0.0.1:1/x", MarcFlavour::Marc21, kMarc21Isbn, 1000);
        search.Search(m_served, MarcFlavour::Marc21, "978 @attr 1=4 x", 1000);
        QCOMPARE(done.count(), 0);
        QTRY_COMPARE(done.count(), 2);
        QCOMPARE(done[0][2].toString(), "adresa catalogului nu este de forma gazda:port/baza");
        QCOMPARE(done[1][2].toString(), "ISBN gresit");
    }
};

QTEST_GUILESS_MAIN(TestZ3950)
#include "tst_z3950.moc"
