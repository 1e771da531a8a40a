#include "lookup/BookOfMarc.h"
#include "lookup/MarcText.h"

#include "lookup/LookupRows.h"

#include <QTest>

Q_DECLARE_METATYPE(MarcRecord)

namespace {

// A record written as a cataloguer's editor shows it, one field a line: "008 data" for a
// control field, "245 10$aBaltagul :$broman /" for a data field ('_' a blank indicator).
MarcRecord RecordOf(std::initializer_list<std::string_view> lines) {
    MarcRecord record;
    for (const std::string_view line : lines) {
        const std::string tag(line.substr(0, 3));
        if (tag < "010") {
            record.controlFields.push_back({tag, std::string(line.substr(4))});
            continue;
        }
        MarcDataField field{
            tag, line[4] == '_' ? ' ' : line[4], line[5] == '_' ? ' ' : line[5], {}};
        for (std::string_view rest = line.substr(7); !rest.empty();) {
            const std::size_t next = std::min(rest.find('$'), rest.size());
            field.subfields.push_back({rest[0], std::string(rest.substr(1, next - 1))});
            rest.remove_prefix(std::min(next + 1, rest.size()));
        }
        record.dataFields.push_back(std::move(field));
    }
    return record;
}

} // namespace

class TestBookOfMarc : public QObject {
    Q_OBJECT
private slots:
    void marc21Records_data() {
        QTest::addColumn<MarcRecord>("record");
        QTest::addColumn<QString>("expected");
        // A reprint: 264 publication, the original year from 008's second date.
        QTest::newRow("reprint")
            << RecordOf({
                   "008 040315r20041930rm            000 1 rum d",
                   "100 1_$aSadoveanu, Mihail,$d1880-1961.",
                   "245 10$aBaltagul :$broman /$cMihail Sadoveanu.",
                   "264 _4$cc2003",
                   "264 _1$aIași :$bPolirom,$c2004.",
                   "300 __$a223 p. ;$c20 cm.",
                   "490 1_$aBiblioteca Polirom. Clasici ;$v12",
               })
            << "Baltagul: roman|Mihail Sadoveanu|Polirom|223|1930|2004|Biblioteca Polirom. "
               "Clasici|12";
        // Dates in the heading's $a, 260, "c1999", roman pages, the number left in 490 $a; a
        // copyright date (008/06 "t") is no first publication.
        QTest::newRow("260") << RecordOf({
                                    "008 990101t19991998rm            000 1 rum d",
                                    "100 1_$aCreangă, Ion, 1837-1889.",
                                    "245 10$aAmintiri din copilărie /",
                                    "260 __$aBucurești :$bEditura Științifică,$cc1999.",
                                    "300 __$axii, 352 p. :$bil. ;",
                                    "490 0_$aBiblioteca pentru toți ; 1234",
                                })
                             << "Amintiri din copilărie|Ion Creangă|Editura "
                                "Științifică|352||1999|Biblioteca pentru toți|1234";
        // A forename entry; a translator left out, an author by code kept, a name given twice;
        // a supplied publisher and year in brackets; unnumbered pages; the series from 830.
        QTest::newRow("names")
            << RecordOf({
                   "100 0_$aHomer.",
                   "700 1_$aMurnu, George,$etranslator.",
                   "700 1_$aȚepeneag, Dumitru,$4aut",
                   "700 1_$aȚepeneag, Dumitru.",
                   "245 14$aIliada.",
                   "264 _1$a[S.l.] :$b[Univers],$c[2004]",
                   "300 __$a1 v. ([8], 415 pages) ;$c24 cm",
                   "830 _0$aClasicii literaturii universale ;$vnr. 7.",
               })
            << "Iliada|Homer, Dumitru Țepeneag|Univers|415||2004|Clasicii literaturii universale|7";
        // Initials keep their dots; no publisher ("s.n."), no year in 264: 008's first date;
        // German pages.
        QTest::newRow("initials") << RecordOf({
                                         "008 051104s2005    gw            000 1 ger d",
                                         "100 1_$aTolkien, J. R. R.",
                                         "245 10$aDer kleine Hobbit /$cJ. R. R. Tolkien.",
                                         "264 _1$a[S.l.] :$b[s.n.],$c[19--]",
                                         "300 __$a352 S. : 500 Ill.",
                                     })
                                  << "Der kleine Hobbit|J. R. R. Tolkien||352||2005||";
        QTest::newRow("empty") << MarcRecord() << "|||||||";
    }
    void marc21Records() {
        QFETCH(MarcRecord, record);
        QTEST(RecordRow(BookOfMarc(record, MarcFlavour::Marc21)), "expected");
    }

    void unimarcRecords_data() {
        QTest::addColumn<MarcRecord>("record");
        QTest::addColumn<QString>("expected");
        // A reproduction: the original year from 100 $a's second date; a translator left out.
        QTest::newRow("reproduction")
            << RecordOf({
                   "100 __$a20040315e20041930m  y0rumy50      ba",
                   "200 1_$aPădurea spânzuraților$eroman$fLiviu Rebreanu",
                   "210 __$aBucurești$cEditura Minerva$d2004",
                   "215 __$a352 p.$cil.$d20 cm",
                   "225 2_$aBiblioteca pentru toți$vnr. 12",
                   "700 _1$aRebreanu$bLiviu$f1885-1944$4070",
                   "701 _1$aStănescu$bNichita,",
                   "702 _1$aIonescu$bAna$4730",
               })
            << "Pădurea spânzuraților: roman|Liviu Rebreanu, Nichita Stănescu|Editura "
               "Minerva|352|1930|2004|Biblioteca pentru toți|12";
        // 214 for 210, "c1999", an initial, the author's code written with four digits, a 702
        // without relator counted; a copyright date.
        QTest::newRow("214") << RecordOf({
                                    "100 __$a19990101h19991998m  y0rumy50      ba",
                                    "200 1_$aIon :",
                                    "214 _1$cPolirom$dc1999",
                                    "215 __$a[352] p.",
                                    "701 _1$aRebreanu$bL.$40070",
                                    "702 _1$aManolescu$bNicolae",
                                })
                             << "Ion|L. Rebreanu, Nicolae Manolescu|Polirom|352||1999||";
        // No date in 210: 100 $a's first date.
        QTest::newRow("coded year") << RecordOf({
                                           "100 __$a20100101d2009    m  y0rumy50      ba",
                                           "200 1_$aPoezii",
                                           "210 __$aCluj$cDacia",
                                       })
                                    << "Poezii||Dacia|||2009||";
    }
    void unimarcRecords() {
        QFETCH(MarcRecord, record);
        QTEST(RecordRow(BookOfMarc(record, MarcFlavour::Unimarc)), "expected");
    }

    void yearsAndPages() {
        // A year is four digits alone; a count of pages needs its word.
        QCOMPARE(YearIn("tiraj 15000, 2004"), 2004);
        QCOMPARE(NumberText(YearIn("[199-?]")), "");
        QCOMPARE(PagesIn("2 v. (xii, 1234 p.)"), 1234);
        QCOMPARE(PagesIn("16 p. of plates, 352 p."), 352);
        QCOMPARE(NumberText(PagesIn("1 CD-ROM ; 12 cm")), "");
    }

    void longTextsAreCutAndNamed() {
        const QString title = QString("cuvânt ").repeated(60);
        const LookupRecord book = BookOfMarc(
            RecordOf({("245 10$a" + title).toStdString(), "260 __$bPolirom"}), MarcFlavour::Marc21);
        QCOMPARE(book.shortened, std::vector<std::string>{"Titlu"});
        // Cut after a word, then "...".
        QCOMPARE(RecordRow(book), title.left(7 * 36 - 1) + "...||Polirom|||||");
    }
};

QTEST_APPLESS_MAIN(TestBookOfMarc)
#include "tst_bookofmarc.moc"
