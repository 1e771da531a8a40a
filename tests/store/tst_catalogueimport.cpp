#include "support/CoreTestSupport.h"
#include "support/RawCatalogue.h"
#include "transfer/CatalogueExport.h"
#include "transfer/CatalogueImport.h"
#include "transfer/Csv.h"

#include <QFile>
#include <QTest>

using Rows = std::vector<std::string>;

namespace {
const char* kHeader =
    "Titlu,Autor,Editura,Tip,Pagini,Capitole,Volume,An aparitie,An publicare volum,Citita,"
    "Calificativ,Stare\r\n";

// The records of a CSV text without their first field (the identifier).
std::vector<Rows> WithoutIds(const std::string& csv) {
    std::vector<Rows> out;
    CsvReader r(csv);
    while (auto record = r.Next()) {
        out.emplace_back(record->fields.begin() + 1, record->fields.end());
    }
    return out;
}

} // namespace

class TestCatalogueImport : public QObject {
    Q_OBJECT
private slots:
    void csvReaderHandlesTheHardCases() {
        CsvReader r("\xEF\xBB\xBF"
                    "a,\"b,c\",\"say \"\"hi\"\"\"\r\n"
                    "\"line\nbreak\",,x\n"
                    "last");
        auto first = r.Next();
        QCOMPARE(first->fields, (Rows{"a", "b,c", "say \"hi\""}));
        QCOMPARE(first->line, std::size_t(1));
        auto second = r.Next();
        QCOMPARE(second->fields, (Rows{"line\nbreak", "", "x"}));
        QCOMPARE(second->line, std::size_t(2));
        auto third = r.Next();
        QCOMPARE(third->fields, Rows{"last"});
        QCOMPARE(third->line, std::size_t(4));
        QVERIFY(!r.Next());
        CsvReader broken("ok\n\"never closed,\n");
        QVERIFY(broken.Next());
        QVERIFY(!broken.Next());
        QCOMPARE(broken.ErrorLine(), std::size_t(2));
        QCOMPARE(CsvRecord({"plain", "a,b", "q\"q", "l\nl"}),
                 std::string("plain,\"a,b\",\"q\"\"q\",\"l\nl\"\r\n"));
    }

    void importsTrickyTextsExactly() {
        TestCatalogue c;
        const std::string csv =
            std::string("\xEF\xBB\xBF") + kHeader +
            "\"Harry Potter and the Philosopher's Stone\",\"Rowling, J. K.\",Bloomsbury,"
            "Fantasy,223,17,1,1997,1997,Da,Deosebita,Acasa\r\n"
            "\"Multi\r\nline \"\"quoted\"\"\",O'Brien,  spaced  ,Fantasy,1,1,1,-700,1,Nu,De "
            "citit,\r\n"
            "ألف ليلة وليلة,مجهول,Dar,,,,,-800,,Nu,De citit,Acasa\r\n"
            "Anon ð â¬,,,SF,10,2,1,1,1,Nu,De citit,Acasa\r\n";
        const ImportResult r = ImportCsv(csv, *c.db);
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.books, 4);
        QCOMPARE(r.types, 3);  // Fantasy, Alte, SF
        QCOMPARE(r.states, 2); // Acasa, Nedetinuta
        RawCatalogue raw(c.path("test.mdb"));
        QCOMPARE(
            raw.rows("SELECT titlu, autor, editura, pagini, publicare, citita, calificativ FROM "
                     "books ORDER BY id"),
            (Rows{
                "Harry Potter and the Philosopher's Stone|Rowling, J. K.|Bloomsbury|223|1997|-1|0",
                "Multi\r\nline \"quoted\"|O'Brien|  spaced  |1|-700|0|6",
                "ألف ليلة وليلة|مجهول|Dar|1|-800|0|6", "Anon ð â¬|-|-|10|1|0|6"}));
        QCOMPARE(raw.rows("SELECT tip FROM types ORDER BY id"), (Rows{"Fantasy", "Alte", "SF"}));
        QCOMPARE(
            raw.one(
                "SELECT stare FROM states WHERE id = (SELECT stare + 1 FROM books WHERE id = 2)"),
            std::string("Nedetinuta"));
    }

    void exportThenImportGivesTheSameBooks() {
        TestCatalogue c;
        c.db->InsertType("Roman");
        c.db->InsertState("Acasa");
        BookRecord a = MakeBook("Zebra, \"the\" book", "Ştefan O'Neill", "Ed\nitura");
        a.citita = 1;
        a.calificativ = 2;
        a.publicare = -44;
        c.add(a);
        c.add(MakeBook("Alpha"));
        std::string first;
        QVERIFY(ExportCsv(*c.db, first));
        QVERIFY(
            first.rfind(
                "ID,Titlu,Autor,Editura,Tip,Pagini,Capitole,Volume,An aparitie,An publicare volum,"
                "Citita,Calificativ,Stare\r\n0002,Alpha,",
                0) == 0);
        TestCatalogue copy("copy.mdb");
        const ImportResult r = ImportCsv(first, *copy.db);
        QVERIFY2(r.ok, r.error.c_str());
        std::string second;
        QVERIFY(ExportCsv(*copy.db, second));
        // The identifiers are new; everything else is the same.
        QCOMPARE(WithoutIds(second), WithoutIds(first));
        QVERIFY(second.find("\r\n0001,Alpha,") != std::string::npos);
    }

    void anExportIsOneMomentOfTheCatalogue() {
        TestCatalogue c;
        c.db->InsertType("Roman");
        c.add(MakeBook("Old"));
        // The moment the export selects the books, another program adds a type and a book of it.
        struct Writer {
            RawCatalogue other;
            bool wrote = false;
        } writer{RawCatalogue(c.path("test.mdb"))};
        auto onStatement = [](unsigned, void* context, void* statement, void*) {
            auto* w = static_cast<Writer*>(context);
            const std::string_view sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
            if (!w->wrote && sql.find("FROM books") != std::string_view::npos) {
                w->wrote = true;
                w->other.exec("INSERT INTO types(tip) VALUES ('Nou');"
                              "INSERT INTO books(titlu, tip, citita, calificativ, stare) "
                              "VALUES ('New', (SELECT max(id) - 1 FROM types), 0, 6, 0)");
            }
            return 0;
        };
        sqlite3* handle = c.db->Engine().Handle();
        sqlite3_trace_v2(handle, SQLITE_TRACE_STMT, onStatement, &writer);
        std::string csv;
        QVERIFY(ExportCsv(*c.db, csv));
        sqlite3_trace_v2(handle, 0, nullptr, nullptr);
        QVERIFY(writer.wrote);
        QVERIFY2(csv.find("[nedefinit]") == std::string::npos, csv.c_str());
    }

    void importsAReadingSiteExport() {
        TestCatalogue c;
        const std::string csv =
            "Book Id,Title,Author,Author l-f,Publisher,Number of Pages,Year Published,Original "
            "Publication Year,"
            "My Rating,Exclusive Shelf\n"
            "1,Dune,Frank Herbert,\"Herbert, Frank\",Ace,604,2005,1965,5,read\n"
            "2,Emma,Jane Austen,\"Austen, Jane\",Penguin,,2003,1815,0,to-read\n"
            "3,Ion,Liviu Rebreanu,\"Rebreanu, Liviu\",Humanitas,528,2008,1920,1,read\n"
            "4,Walden,Thoreau,\"Thoreau\",Penguin,352,,1854,0,read\n";
        const ImportResult r = ImportCsv(csv, *c.db);
        QVERIFY2(r.ok, r.error.c_str());
        RawCatalogue raw(c.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT titlu, editura, pagini, publicare, publicare_volum, citita, "
                          "calificativ FROM books "
                          "ORDER BY id"),
                 (Rows{"Dune|Ace|604|1965|2005|-1|0", "Emma|Penguin|1|1815|2003|0|6",
                       "Ion|Humanitas|528|1920|2008|-1|4", "Walden|Penguin|352|1854|1|-1|3"}));
        QCOMPARE(raw.rows("SELECT tip FROM types"), Rows{"Alte"});
        QCOMPARE(r.ignoredColumns, (Rows{"Book Id", "Author l-f"}));
        QCOMPARE(raw.rows("SELECT stare FROM states"), Rows{"Nedetinuta"});
    }

    void aReportingImportStoresTheGoodRowsAndListsTheOthers() {
        TestCatalogue c;
        c.add(MakeBook("Ion", "Liviu Rebreanu"));
        const std::string longAuthor(256, 'a');
        const std::string csv = std::string("\xEF\xBB\xBF") + kHeader +
                                "Good one,A,E,Roman,320.00,1,1,2008.0,1,Nu,De citit,Acasa\r\n" +
                                "Too long," + longAuthor +
                                ",E,Roman,1,1,1,1,1,Nu,De citit,Acasa\r\n" +
                                "Text pages,A,E,Roman,many,1,1,1,1,Nu,De citit,Acasa\r\n" +
                                "ION,liviu rebreanu,E,Roman,1,1,1,1,1,Nu,De citit,Acasa\r\n" +
                                "Half a year,A,E,Roman,1,1,1,2008.5,1,Nu,De citit,Acasa\r\n" +
                                "Good two,A,E,Roman,1,1,1,1,1,Nu,De citit,Acasa\r\n";
        ImportOptions options;
        options.setAsideRejects = true;
        options.skipDuplicates = true;
        const ImportResult r = ImportCsv(csv, *c.db, options);
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.books, 2);
        QCOMPARE(r.duplicates, 1);
        RawCatalogue raw(c.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT titlu, pagini, publicare FROM books ORDER BY id"),
                 (Rows{"Ion|1|1", "Good one|320|2008", "Good two|1|1"}));
        const std::string rejects = RejectsCsv(r);
        CsvReader reader(rejects);
        std::vector<Rows> listed;
        while (auto record = reader.Next()) {
            listed.push_back(record->fields);
        }
        QCOMPARE(listed.size(), std::size_t(5));
        QCOMPARE(Rows(listed[0].begin(), listed[0].begin() + 3), (Rows{"Linie", "Motiv", "Titlu"}));
        const Rows expected[] = {
            {"3", "Autor is longer than 255 characters", "Too long", longAuthor},
            {"4", "Pagini is not an integer: \"many\"", "Text pages", "A"},
            {"5", "already in the catalogue", "ION", "liviu rebreanu"},
            {"6", "An aparitie is not an integer: \"2008.5\"", "Half a year", "A"}};
        for (std::size_t i = 0; i < 4; ++i) {
            QCOMPARE(Rows(listed[i + 1].begin(), listed[i + 1].begin() + 4), expected[i]);
        }
        // Mended, the rejects import back; the duplicate is set aside again.
        std::string mended = rejects;
        mended.replace(mended.find(longAuthor), longAuthor.size(), "Short");
        mended.replace(mended.find(",many,"), 6, ",12,");
        mended.replace(mended.rfind("2008.5"), 6, "2008");
        const ImportResult again = ImportCsv(mended, *c.db, options);
        QVERIFY2(again.ok, again.error.c_str());
        QCOMPARE(again.books, 3);
        QVERIFY(again.ignoredColumns.empty());
        QCOMPARE(again.rejects.size(), std::size_t(1));
        QCOMPARE(again.rejects[0].reason, std::string(kAlreadyInCatalogue));
        QCOMPARE(raw.one("SELECT count(*) FROM books"), std::string("6"));
        // Text that is not UTF-8 refuses the whole file, naming its line.
        TestCatalogue other;
        const ImportResult refused = ImportCsv(
            csv + "Bront\xeb,A,E,Roman,1,1,1,1,1,Nu,De citit,Acasa\r\n", *other.db, options);
        QVERIFY(!refused.ok);
        QCOMPARE(refused.errorLine, std::size_t(8));
        QVERIFY2(refused.error.find("save the file as UTF-8") != std::string::npos,
                 refused.error.c_str());
        QCOMPARE(RawCatalogue(other.path("test.mdb")).one("SELECT count(*) FROM books"),
                 std::string("0"));
    }

    void aCancelledImportLeavesTheCatalogueAsItWas() {
        TestCatalogue c;
        c.add(MakeBook("Already there"));
        QVERIFY(c.db->Close());
        const QByteArray before = FileBytes(c.path("test.mdb"));
        QVERIFY(c.db->Open(c.path("test.mdb")));
        std::string csv = "Titlu,Autor\n";
        for (int i = 0; i < 2000; ++i) {
            csv += "Book " + std::to_string(i) + ",A\n";
        }
        int calls = 0;
        ImportOptions options;
        options.progress = [&](std::size_t done, std::size_t total) {
            return done < total && ++calls < 3;
        };
        const ImportResult r = ImportCsv(csv, *c.db, options);
        QVERIFY(r.cancelled && !r.ok);
        QCOMPARE(calls, 3);
        QVERIFY(c.db->Close());
        QCOMPARE(FileBytes(c.path("test.mdb")), before);
    }

    void safeCellsDisarmFormulasOnly() {
        const std::pair<const char*, const char*> cases[] = {{"=1+1", "'=1+1"},
                                                             {"+40 723", "'+40 723"},
                                                             {"@SUM(A1)", "'@SUM(A1)"},
                                                             {"-2+3", "'-2+3"},
                                                             {"-700", "-700"},
                                                             {"-", "-"},
                                                             {"a=b", "a=b"},
                                                             {"", ""}};
        for (const auto& [cell, safe] : cases) {
            QCOMPARE(SafeCell(cell), std::string(safe));
        }
    }

    void aBadRowStopsTheImportAndChangesNothing_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        QByteArray sixGood = kHeader;
        for (int i = 0; i < 5; ++i) {
            sixGood +=
                "Book " + QByteArray::number(i) + ",A,E,Roman,1,1,1,1,1,Nu,De citit,Acasa\r\n";
        }
        QTest::newRow("bad number on line 7")
            << sixGood + "Bad,A,E,Roman,12x,1,1,1,1,Nu,De citit,Acasa\r\n"
            << 7 << "Pagini is not an integer";
        QTest::newRow("number out of range")
            << sixGood + "Big,A,E,Roman,40000,1,1,1,1,Nu,De citit,Acasa\r\n"
            << 7 << "Pagini is out of range";
        QTest::newRow("title of 256 characters")
            << sixGood + QByteArray(256, 't') + ",A,E,Roman,1,1,1,1,1,Nu,De citit,Acasa\r\n"
            << 7 << "Titlu is longer than 255 characters";
        QTest::newRow("broken quote") << sixGood + "\"Open,A,E\r\n"
                                      << 7 << "unterminated quoted field";
        QTest::newRow("unknown rating") << sixGood + "X,A,E,Roman,1,1,1,1,1,Nu,Grozava,Acasa\r\n"
                                        << 7 << "unknown Calificativ";
        const QByteArray rest = ",A,E,Roman,1,1,1,1,1,Nu,De citit,Acasa\r\n";
        QTest::newRow("a truncated last row")
            << sixGood + "Cut short,A,E,Rom" << 7 << "the row has 4 cells, the header 12";
        QTest::newRow("a blank row")
            << sixGood + "\r\nAfter" + rest << 7 << "the row has 1 cell, the header 12";
        QTest::newRow("a row of commas only") << sixGood + ",,,,,,,,,,,\r\n"
                                              << 7 << "Citita must be";
        QTest::newRow("a row without a title")
            << sixGood + rest << 7 << "Trebuie specificat un titlu!";
        QTest::newRow("a carriage return outside quotes")
            << sixGood + "Split\rin two" + rest << 7 << "a carriage return outside quotes";
        QTest::newRow("a column named twice")
            << QByteArray("Titlu,Autor,Titlu\r\nA,B,C\r\n") << 1
            << "the header names one column twice: \"Titlu\" and \"Titlu\"";
        QTest::newRow("one field under two names")
            << QByteArray("Title,Autor,Titlu\r\nA,B,C\r\n") << 1
            << "the header names one column twice: \"Title\" and \"Titlu\"";
        QTest::newRow("a fraction") << sixGood + "Z,A,E,Roman,1.5,1,1,1,1,Nu,De citit,Acasa\r\n"
                                    << 7 << "Pagini is not an integer: \"1.5\"";
        QTest::newRow("no known column")
            << QByteArray("Name,Writer\r\nA,B\r\n") << 1
            << "no known column in the header; the known columns are \"Titlu\", \"Autor\"";
        QTest::newRow("no pages") << sixGood + "Z,A,E,Roman,0,1,1,1,1,Nu,De citit,Acasa\r\n"
                                  << 7 << "Numarul de pagini trebuie sa fie mai mare decat 0!";
        QTest::newRow("a rating of a book not read")
            << sixGood + "Z,A,E,Roman,1,1,1,1,1,Nu,Deosebita,Acasa\r\n"
            << 7 << "Nu exista concordanta intre calificativ si stare citire carte!";
        QTest::newRow("Windows-1252 text") << sixGood + "Jane Eyre,Bront\xeb" + rest.mid(2) << 7
                                           << "column 2 is not valid UTF-8 text";
        QTest::newRow("an overlong form")
            << sixGood + "\xc0\xaf" + rest << 7 << "column 1 is not valid UTF-8 text";
        QTest::newRow("a surrogate")
            << sixGood + "\xed\xa0\x80" + rest << 7 << "column 1 is not valid UTF-8 text";
        QTest::newRow("a cut sequence")
            << sixGood + "\xe2\x82" + rest << 7 << "column 1 is not valid UTF-8 text";
        QTest::newRow("a NUL byte")
            << sixGood + QByteArray("A\0B", 3) + rest << 7 << "column 1 holds a NUL byte";
    }

    void aBadRowStopsTheImportAndChangesNothing() {
        QFETCH(QByteArray, csv);
        QFETCH(int, line);
        QFETCH(QString, reason);
        TestCatalogue c;
        c.add(MakeBook("Already there"));
        const QByteArray before = FileBytes(c.path("test.mdb"));
        const ImportResult r = ImportCsv(csv.toStdString(), *c.db);
        QVERIFY(!r.ok);
        QCOMPARE(r.errorLine, std::size_t(line));
        QVERIFY2(QString::fromStdString(r.error).startsWith(reason), r.error.c_str());
        QCOMPARE(r.books, 0);
        QVERIFY(c.db->Close());
        QCOMPARE(FileBytes(c.path("test.mdb")), before);
    }
};

QTEST_APPLESS_MAIN(TestCatalogueImport)
#include "tst_catalogueimport.moc"
