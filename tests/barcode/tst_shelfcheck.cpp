#include "barcode/ShelfCheck.h"
#include "isbn/CBookDetailsStore.h"
#include "support/CoreTestSupport.h"
#include "support/RawCatalogue.h"

#include <QTest>

namespace {

// Eight books: four on "Raft 1", two on "Raft 3", two with no location.
struct Shelves : TestCatalogue {
    Shelves() {
        const char* places[] = {"Raft 1", "Raft 1", "Raft 1", "Raft 1", "Raft 3", "Raft 3", "", ""};
        for (int i = 0; i < 8; ++i) {
            add(MakeBook("Carte " + std::to_string(i + 1), "Autor " + std::to_string(i + 1)));
            if (*places[i]) {
                BookDetails details;
                details.locatie = places[i];
                CBookDetailsStore(*db, messages.sink()).Write(i + 1, details);
            }
        }
    }
};

QStringList Ids(const std::vector<ShelfBook>& books) {
    QStringList ids;
    for (const ShelfBook& book : books) {
        ids << QString::number(book.id) + ":" + QString::fromStdString(book.location);
    }
    return ids;
}

const char* KindOf(const ShelfScan& scan) {
    switch (scan.kind) {
    case ShelfScan::Kind::Ticked:
        return "ticked";
    case ShelfScan::Kind::Again:
        return "again";
    case ShelfScan::Kind::Unknown:
        return "unknown";
    case ShelfScan::Kind::Refused:
        return "refused";
    case ShelfScan::Kind::NotACode:
        break;
    }
    return "no code";
}

} // namespace

class TestShelfCheck : public QObject {
    Q_OBJECT
private slots:
    // Raft 1 is checked: three of its books and one of Raft 3 are scanned, one of them twice,
    // with an unknown code and an ISBN between. The report names the missing book and the one
    // from elsewhere; the check outlives the catalogue being closed and opened again, and ends
    // when finished. A catalogue never checked keeps its tables until a label is scanned.
    void missingAndElsewhereCountedOnceAndResumed() {
        Shelves c;
        CShelfCheck check(*c.db, c.messages.sink());
        QCOMPARE(check.Current(), std::nullopt);
        QCOMPARE(RawCatalogue(c.path("test.mdb"))
                     .one("SELECT count(*) FROM sqlite_master WHERE name = 'shelf_check'"),
                 std::string("0"));
        QCOMPARE(Ids(*check.BooksOn("Raft 1")),
                 (QStringList{"1:Raft 1", "2:Raft 1", "3:Raft 1", "4:Raft 1"}));
        QStringList kinds;
        ShelfScan fifth;
        for (const char* code :
             {"SW0001", "SW0003", "sw1", "SW0099", "9780451526533", "SW0005", "SW0002\r\n"}) {
            const ShelfScan scan = check.Scan("Raft 1", code);
            kinds << KindOf(scan);
            fifth = scan.book == 5 ? scan : fifth;
        }
        QCOMPARE(kinds, (QStringList{"ticked", "ticked", "again", "unknown", "no code", "ticked",
                                     "ticked"}));
        QCOMPARE(fifth.title, std::string("Carte 5"));
        QCOMPARE(fifth.location, std::string("Raft 3"));
        QCOMPARE(*check.Scanned(), (std::vector<std::int32_t>{1, 2, 3, 5}));

        c.db->Close();
        QVERIFY(c.db->Open(c.path("test.mdb")));
        CShelfCheck resumed(*c.db, c.messages.sink());
        QCOMPARE(resumed.Current(), std::optional<std::string>("Raft 1"));
        QCOMPARE(KindOf(resumed.Scan("Raft 1", "SW0003")), "again");
        const auto report = resumed.Report("Raft 1");
        QCOMPARE(report->scanned, 4);
        QCOMPARE(Ids(report->missing), QStringList{"4:Raft 1"});
        QCOMPARE(Ids(report->elsewhere), QStringList{"5:Raft 3"});
        QCOMPARE(QString::fromStdString(ShelfReportText(*report)),
                 QString("Inventar: Raft 1\nScanate: 4 carti; lipsa: 1; in alt loc: 1\n\n"
                         "SW0004  Carte 4 - Autor 4: lipsa\n"
                         "SW0005  Carte 5 - Autor 5: in alt loc: Raft 3\n"));
        QVERIFY(resumed.Finish());
        QCOMPARE(resumed.Current(), std::nullopt);
        QVERIFY(resumed.Scanned()->empty());
        QVERIFY(c.messages.messages.empty());
    }

    // Every location at once: every book not scanned is missing, and none is elsewhere; a
    // book with no location scanned for a shelf is elsewhere, "fara locatie".
    void everyLocationAndBooksWithout() {
        Shelves c;
        CShelfCheck check(*c.db, c.messages.sink());
        check.Scan("", "SW0007");
        check.Scan("", "SW0002");
        auto report = check.Report("");
        QCOMPARE(Ids(report->missing),
                 (QStringList{"1:Raft 1", "3:Raft 1", "4:Raft 1", "5:Raft 3", "6:Raft 3", "8:"}));
        QVERIFY(report->elsewhere.empty());
        QVERIFY(QString::fromStdString(ShelfReportText(*report))
                    .startsWith("Inventar: toate locatiile\n"));
        report = check.Report("Raft 3");
        QCOMPARE(Ids(report->elsewhere), (QStringList{"2:Raft 1", "7:"}));
        QVERIFY(
            QString::fromStdString(ShelfReportText(*report)).contains("in alt loc: fara locatie"));
    }

    // A table of that name the program did not make refuses the check and stays as it was.
    void foreignTableRefused() {
        Shelves c;
        c.db->Engine().Execute("CREATE TABLE shelf_check (x TEXT)");
        c.db->Engine().Execute("INSERT INTO shelf_check VALUES ('al meu')");
        CShelfCheck check(*c.db, c.messages.sink());
        QCOMPARE(KindOf(check.Scan("Raft 1", "SW0001")), "refused");
        QCOMPARE(check.Current(), std::nullopt);
        QVERIFY(!check.Report("Raft 1"));
        QVERIFY(!c.messages.messages.empty());
        QCOMPARE(QString::fromStdString(c.messages.messages.front()),
                 QString("Tabelul shelf_check din catalog nu este al programului: inventarul nu "
                         "poate fi facut."));
        QCOMPARE(RawCatalogue(c.path("test.mdb")).rows("SELECT x FROM shelf_check"),
                 Texts{"al meu"});
    }
};

QTEST_GUILESS_MAIN(TestShelfCheck)
#include "tst_shelfcheck.moc"
