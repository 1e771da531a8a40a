#include "support/CoreTestSupport.h"
#include "transfer/CatalogueExport.h"
#include "transfer/CatalogueImport.h"
#include "transfer/Csv.h"
#include "transfer/ImportPreview.h"

#include <QDate>
#include <QDir>

namespace {
const char* kHeader =
    "Titlu,Autor,Editura,Tip,Pagini,Capitole,Volume,An aparitie,An publicare volum,Citita,"
    "Calificativ,Stare\r\n";

// The records of a CSV text, with or without their first field (the identifier).
std::vector<Texts> Records(const std::string& csv, std::size_t from = 0) {
    std::vector<Texts> out;
    CsvReader r(csv);
    while (auto record = r.Next()) {
        out.emplace_back(record->fields.begin() + from, record->fields.end());
    }
    return out;
}

// Text as a spreadsheet saves "Unicode text": UTF-16LE after its byte-order mark.
QByteArray Utf16Le(const QString& text) {
    return QByteArray("\xFF\xFE", 2) +
           QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// "Titlu,c2,c3,...": a header of this many columns, the first alone known.
std::string Header(int columns) {
    std::string header = "Titlu";
    for (int i = 2; i <= columns; ++i) {
        header += ",c" + std::to_string(i);
    }
    return header;
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
        Texts read; // each record's line, then its fields
        while (auto record = r.Next()) {
            read.push_back(std::to_string(record->line));
            for (const std::string& field : record->fields) {
                read.back() += "|" + field;
            }
        }
        QCOMPARE(read, (Texts{"1|a|b,c|say \"hi\"", "2|line\nbreak||x", "4|last"}));
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
            (Texts{
                "Harry Potter and the Philosopher's Stone|Rowling, J. K.|Bloomsbury|223|1997|-1|0",
                "Multi\r\nline \"quoted\"|O'Brien|  spaced  |1|-700|0|6",
                "ألف ليلة وليلة|مجهول|Dar|NULL|-800|0|6", "Anon ð â¬|||10|1|0|6"}));
        QCOMPARE(raw.rows("SELECT tip FROM types ORDER BY id"), (Texts{"Fantasy", "Alte", "SF"}));
        QCOMPARE(
            raw.one(
                "SELECT stare FROM states WHERE id = (SELECT stare + 1 FROM books WHERE id = 2)"),
            std::string("Nedetinuta"));
    }

    void exportThenImportGivesTheSameBooks() {
        TestCatalogue c;
        c.db->InsertType("Roman");
        c.db->InsertState("Acasa");
        c.add(MakeBook("Zebra, \"the\" book", "Ştefan O'Neill", "Ed\nitura",
                       {.publicare = -44, .citita = 1, .calificativ = 2}));
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
        QCOMPARE(Records(second, 1), Records(first, 1));
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
            "4,Walden,Thoreau,\"Thoreau\",Penguin,352,,1854,0,read\n"
            "5,Kindle,Someone,\"Someone\",Amazon,0,2015,2015,4,read\n";
        const ImportResult r = ImportCsv(csv, *c.db);
        QVERIFY2(r.ok, r.error.c_str());
        RawCatalogue raw(c.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT titlu, editura, pagini, publicare, publicare_volum, citita, "
                          "calificativ FROM books "
                          "ORDER BY id"),
                 (Texts{"Dune|Ace|604|1965|2005|-1|0", "Emma|Penguin|NULL|1815|2003|0|6",
                        "Ion|Humanitas|528|1920|2008|-1|4", "Walden|Penguin|352|1854|NULL|-1|3",
                        "Kindle|Amazon|NULL|2015|2015|-1|1"}));
        QCOMPARE(raw.rows("SELECT tip FROM types"), Texts{"Alte"});
        QCOMPARE(r.ignoredColumns, (Texts{"Book Id", "Author l-f"}));
        QCOMPARE(raw.rows("SELECT stare FROM states"), Texts{"Nedetinuta"});
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
                 (Texts{"Ion|1|1", "Good one|320|2008", "Good two|1|1"}));
        const std::string rejects = RejectsCsv(r);
        Texts listed; // the first four fields of each record
        for (const Texts& record : Records(rejects)) {
            listed.push_back(record[0] + "|" + record[1] + "|" + record[2] + "|" + record[3]);
        }
        QCOMPARE(listed,
                 (Texts{"Linie|Motiv|Titlu|Autor",
                        "3|Autor are mai mult de 255 de caractere|Too long|" + longAuthor,
                        "4|Pagini nu este un numar intreg: \"many\"|Text pages|A",
                        "5|deja in catalog|ION|liviu rebreanu",
                        "6|An aparitie nu este un numar intreg: \"2008.5\"|Half a year|A"}));
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
        // Its own rejects file has one line and one reason column, not the earlier ones again,
        // after the byte-order mark the file began with.
        QVERIFY(RejectsCsv(again).rfind("\xEF\xBB\xBFLinie,Motiv,Titlu,Autor,", 0) == 0);
        QCOMPARE(RejectsCsv(again).find("Motiv", 10), std::string::npos);
        QCOMPARE(raw.one("SELECT count(*) FROM books"), std::string("6"));
        // Text that is not UTF-8 refuses the whole file, naming its line.
        TestCatalogue other;
        const ImportResult refused = ImportCsv(
            csv + "Bront\xeb,A,E,Roman,1,1,1,1,1,Nu,De citit,Acasa\r\n", *other.db, options);
        QVERIFY(!refused.ok);
        QCOMPARE(refused.errorLine, std::size_t(8));
        QVERIFY2(refused.error.find("codificarea fisierului (Windows-1250, Windows-1252)") !=
                     std::string::npos,
                 refused.error.c_str());
        QCOMPARE(RawCatalogue(other.path("test.mdb")).one("SELECT count(*) FROM books"),
                 std::string("0"));
    }

    // The rejects of a spreadsheet saved with Romanian settings go back in its Windows-1250 (where
    // ș and ț are the cedilla letters ş ţ) and with its semicolons, quoted where they need it.
    void rejectsAreWrittenAsTheFileWas() {
        TestCatalogue c;
        ImportOptions options;
        options.encoding = TextEncoding::Windows1250;
        options.setAsideRejects = true;
        const ImportResult r = ImportCsv("titlu;autor;pagini\r\n"
                                         "P\xe3"
                                         "durea sp\xe2nzura\xfeilor;Liviu Rebreanu;multe\r\n"
                                         "Baltagul;Mihail Sadoveanu;180\r\n"
                                         "\"Poezii; vol. 1\";Iosif, \xaa"
                                         "t. O.;-3\r\n",
                                         *c.db, options);
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.books, 1);
        QCOMPARE(QByteArray::fromStdString(RejectsCsv(r)),
                 QByteArray("Linie;Motiv;titlu;autor;pagini\r\n"
                            "2;\"Pagini nu este un numar intreg: \"\"multe\"\"\";"
                            "P\xe3"
                            "durea sp\xe2nzura\xfeilor;Liviu Rebreanu;multe\r\n"
                            "4;Numarul de pagini trebuie sa fie mai mare decat 0!;"
                            "\"Poezii; vol. 1\";Iosif, \xaa"
                            "t. O.;-3\r\n"));
    }

    // Each spreadsheet in the folder is imported whole, its stored books being its .rows file
    // ("titlu|autor|editura|pagini|publicare|publicare_volum" a line). A name that ends in
    // ".windows-1250" is read in that encoding, as the user would choose it.
    void everyOrdinarySpreadsheetGetsIn_data() {
        QTest::addColumn<QString>("csv");
        const QDir folder(QStringLiteral(SPREADSHEETS_DIR));
        const QStringList sheets = folder.entryList({"*.csv"});
        QVERIFY(!sheets.isEmpty());
        for (const QString& sheet : sheets) {
            QTest::newRow(qPrintable(sheet.chopped(4))) << folder.filePath(sheet);
        }
    }

    void everyOrdinarySpreadsheetGetsIn() {
        QFETCH(QString, csv);
        TestCatalogue c;
        ImportOptions options;
        if (csv.endsWith(".windows-1250.csv")) {
            options.encoding = TextEncoding::Windows1250;
        }
        const ImportResult r = ImportCsv(FileBytes(csv).toStdString(), *c.db, options);
        QVERIFY2(r.ok, r.error.c_str());
        std::string stored;
        for (const std::string& row :
             RawCatalogue(c.path("test.mdb"))
                 .rows("SELECT titlu, autor, editura, pagini, publicare, publicare_volum FROM "
                       "books ORDER BY id")) {
            stored += row + "\n";
        }
        QCOMPARE(QString::fromStdString(stored),
                 QString::fromUtf8(FileBytes(csv.chopped(3) + "rows")));
    }

    void theUsersChoicesGovern() {
        TestCatalogue c;
        c.db->InsertType("Roman");
        c.db->InsertState("Acasa");
        // The file calls its columns what it likes; the user says what each fills.
        ImportOptions options;
        options.columns = {ImportField::Autor, ImportField::None, ImportField::Titlu};
        options.delimiter = ';';
        options.defaultType = "Roman";
        options.defaultState = "Imprumutata";
        const ImportResult r = ImportCsv("Scriitor;Nota;Carte\nRebreanu;5;Ion\n", *c.db, options);
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.ignoredColumns, Texts{"Nota"});
        RawCatalogue raw(c.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT b.titlu, b.autor, t.tip, s.stare FROM books b JOIN types t ON "
                          "t.id = b.tip + 1 JOIN states s ON s.id = b.stare + 1"),
                 Texts{"Ion|Rebreanu|Roman|Imprumutata"});
        QCOMPARE(r.types, 0);
        QCOMPARE(r.states, 1);
        // With no type chosen for them, a book without one is refused, not given an empty type.
        options.defaultType.clear();
        QCOMPARE(ImportCsv("Scriitor;Nota;Carte\nSadoveanu;4;Baltagul\n", *c.db, options).error,
                 std::string("cartea nu are tip, iar pentru cartile fara tip nu s-a ales unul"));
        // The preview reads what the import will: the delimiter and encoding guessed or offered.
        const ImportPreview preview =
            PreviewImport("Titlu;Autor\nBront\xeb;A\n\nX;Y\n", 0, TextEncoding::Utf8);
        QCOMPARE(std::tuple(preview.delimiter, preview.validUtf8, preview.encoding),
                 std::tuple(';', false, TextEncoding::Windows1250));
        QCOMPARE(preview.columns,
                 (std::vector<ImportField>{ImportField::Titlu, ImportField::Autor}));
        QCOMPARE(preview.rows, (std::vector<Texts>{{"Brontë", "A"}, {"X", "Y"}}));
        // Twenty rows show what a long list holds.
        std::string longList = "Titlu,Autor\n";
        for (int i = 1; i <= 25; ++i) {
            longList += "Carte " + std::to_string(i) + ",A\n";
        }
        const ImportPreview first = PreviewImport(longList, 0, TextEncoding::Utf8);
        QCOMPARE(first.rows.size(), std::size_t{20});
        QCOMPARE(first.rows.back().front(), std::string("Carte 20"));
    }

    // Headers as Romanian and English spreadsheets write them, and the field each fills.
    void headersNameTheirFields_data() {
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("field");
        const std::pair<const char*, std::vector<const char*>> fields[] = {
            {"An publicare volum",
             {"anul", "An", "Year", "an_publicare", "Publication Year", "Ediție", "Edition Year"}},
            {"An aparitie", {"An apariție", "First Publication Year"}},
            {"Pagini", {"Nr. pagini", "nr pagini", "Number of Pages"}},
            {"ISBN-13", {"ISBN13", "isbn-13"}},
            {"Locatie", {"Locație", "Raft", "Shelf", "Location"}},
            {"Serie", {"Serie", "Series"}},
            {"Note", {"Note", "Notes"}},
            {"Raft (read, to-read)", {"Exclusive Shelf"}},
            {"Adaugata", {"Date Added", "Data adăugării"}},
            {"(nu se importa)", {"Nota"}}};
        for (const auto& [field, headers] : fields) {
            for (const char* header : headers) {
                QTest::newRow(header) << QString::fromUtf8(header) << QString::fromUtf8(field);
            }
        }
    }

    void headersNameTheirFields() {
        QFETCH(QString, header);
        QFETCH(QString, field);
        QCOMPARE(QString::fromStdString(ImportFieldName(GuessImportField(header.toStdString()))),
                 field);
    }

    // The preview reads the file's first 64 KB: a record or a letter cut there is left out, not
    // taken for a fault; a header too large is refused at once.
    void thePreviewReadsOnlyTheStartOfAFile() {
        std::string list = "Titlu,Autor\n\"Carte\",A\n";
        list += "\"" + std::string(kPreviewBytes - list.size() - 2, 'x') + "ț\",B\nUltima,C\n";
        const ImportPreview cut = PreviewImport(list, 0, TextEncoding::Utf8);
        QCOMPARE(cut.encoding, TextEncoding::Utf8);
        QCOMPARE(cut.rows, (std::vector<Texts>{{"Carte", "A"}}));
        QCOMPARE(cut.error, std::string());
        Texts refusals;
        for (const std::string& file :
             {Header(100000) + "\nA\n", "Titlu," + std::string(kPreviewBytes, 'h') + "\nA\n"}) {
            const ImportPreview refused = PreviewImport(file, 0, TextEncoding::Utf8);
            QVERIFY(refused.header.empty() && refused.rows.empty());
            refusals.push_back(std::to_string(refused.errorLine) + ": " + refused.error);
        }
        QCOMPARE(refusals, (Texts{"1: antetul are mai mult de 1000 de coloane",
                                  "1: antetul este mai lung de 65536 de octeti; fisierul nu poate "
                                  "fi previzualizat"}));
        // UTF-16 is named as such.
        const ImportPreview utf16 = PreviewImport(
            Utf16Le(QStringLiteral("Titlu\tAutor\r\nȚară\tȘt. Ion\r\n")).toStdString(), 0,
            TextEncoding::Utf8);
        QCOMPARE(utf16.encoding, TextEncoding::Utf16Le);
        QCOMPARE(utf16.rows, (std::vector<Texts>{{"Țară", "Șt. Ion"}}));
    }

    // A header of 1000 columns and a cell of 64 KB are the most a file may hold, and get in.
    void theLargestRecordsStillGetIn() {
        TestCatalogue c;
        const std::string csv = Header(1000) + "\r\nDune," + std::string(kMostCsvCellBytes, 'x') +
                                std::string(998, ',') + "\r\n";
        const ImportResult r = ImportCsv(csv, *c.db);
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.ignoredColumns.size(), std::size_t(999));
        QCOMPARE(RawCatalogue(c.path("test.mdb")).rows("SELECT titlu FROM books"), Texts{"Dune"});
    }

    // ISBNs as reading sites and spreadsheets write them, and the details back out and in.
    void detailsGoInAndOut() {
        TestCatalogue c;
        const ImportResult r =
            ImportCsv("Title,Author,ISBN,ISBN13,Locatie,Series\n"
                      "Dune,Herbert,=\"0441013597\",=\"9780441013593\",Raft 2,Dune\n"
                      "Emma,Austen,141439580,9.78014143959e+12,,\n"
                      "Ion,Rebreanu,12345,,,\n"
                      "Solaris,Lem,,9780156027601,,\n"
                      "Baltagul,Sadoveanu,=\"\",=\"9789734501472\",,\n"
                      "Enigma,Anonim,=\"\",=\"\",,\n",
                      *c.db);
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.books, 6);
        QCOMPARE(r.isbnsLeftOut, 1); // Ion's; an empty cell is no ISBN left out
        const char* statement = "SELECT b.titlu, d.isbn, d.locatie, d.serie FROM books b LEFT JOIN "
                                "book_details d ON d.id = b.id ORDER BY b.titlu";
        const Texts stored = {"Baltagul|9789734501472|NULL|NULL",
                              "Dune|9780441013593|Raft 2|Dune",
                              "Emma|9780141439587|NULL|NULL",
                              "Enigma|NULL|NULL|NULL",
                              "Ion|NULL|NULL|NULL",
                              "Solaris|9780156027601|NULL|NULL"};
        QCOMPARE(RawCatalogue(c.path("test.mdb")).rows(statement), stored);
        std::string csv;
        QVERIFY(ExportCsv(*c.db, csv));
        QVERIFY2(csv.find("Calificativ,Stare,ISBN,Locatie,Serie,Numar in serie,Note\r\n") !=
                     std::string::npos,
                 csv.c_str());
        TestCatalogue copy("copy.mdb");
        const ImportResult again = ImportCsv(csv, *copy.db);
        QVERIFY2(again.ok, again.error.c_str());
        QCOMPARE(again.isbnsLeftOut, 0);
        QCOMPARE(RawCatalogue(copy.path("copy.mdb")).rows(statement), stored);
    }

    // A book's details are dated as the file says it was added, else on the import's day; a book
    // without details has no date to keep.
    void theDayABookWasAddedIsKept() {
        TestCatalogue c;
        const std::string today = QDate::currentDate().toString(Qt::ISODate).toStdString();
        ImportOptions options;
        options.setAsideRejects = true;
        const ImportResult r = ImportCsv("Title,ISBN13,Date Added\n"
                                         "Dune,9780441013593,2024/03/15\n"
                                         "Emma,9780141439587,2023-01-02\n"
                                         "Ion,9789734501472,\n"
                                         "Walden,9780451450524,15.03.2022\n"
                                         "Solaris,,\n"
                                         "Nope,,2024/13/01\n",
                                         *c.db, options);
        QVERIFY2(r.ok, r.error.c_str());
        QCOMPARE(r.rejects.size(), std::size_t(1));
        QCOMPARE(r.rejects[0].reason, std::string("Adaugata nu este o data: \"2024/13/01\""));
        const ImportResult undated =
            ImportCsv("Title,ISBN\nBaltagul,9789734501472\n", *c.db, options);
        QVERIFY2(undated.ok, undated.error.c_str());
        QCOMPARE(RawCatalogue(c.path("test.mdb"))
                     .rows("SELECT b.titlu, d.adaugata FROM books b LEFT JOIN book_details d ON "
                           "d.id = b.id ORDER BY b.id"),
                 (Texts{"Dune|2024-03-15", "Emma|2023-01-02", "Ion|" + today, "Walden|2022-03-15",
                        "Solaris|NULL", "Baltagul|" + today}));
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
        Texts safe;
        for (const char* cell : {"=1+1", "+40 723", "@SUM(A1)", "-2+3", "-700", "-", "a=b", ""}) {
            safe.push_back(SafeCell(cell));
        }
        QCOMPARE(safe, (Texts{"'=1+1", "'+40 723", "'@SUM(A1)", "'-2+3", "-700", "-", "a=b", ""}));
    }

    void aBadRowStopsTheImportAndChangesNothing_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("unread"); // refused before the catalogue is touched
        QByteArray sixGood = kHeader;
        for (int i = 0; i < 5; ++i) {
            sixGood +=
                "Book " + QByteArray::number(i) + ",A,E,Roman,1,1,1,1,1,Nu,De citit,Acasa\r\n";
        }
        auto row = [](const char* name, const QByteArray& csv, int line, const char* reason,
                      bool unread = false) {
            QTest::newRow(name) << csv << line << QString::fromUtf8(reason) << unread;
        };
        // Six good lines, then this one.
        auto seventh = [&](const char* name, const QByteArray& bad, const char* reason,
                           bool unread = false) { row(name, sixGood + bad, 7, reason, unread); };
        const QByteArray rest = ",A,E,Roman,1,1,1,1,1,Nu,De citit,Acasa\r\n";
        seventh("bad number on line 7", "Bad,A,E,Roman,12x,1,1,1,1,Nu,De citit,Acasa\r\n",
                "Pagini nu este un numar intreg");
        seventh("number out of range", "Big,A,E,Roman,40000,1,1,1,1,Nu,De citit,Acasa\r\n",
                "Pagini este in afara intervalului");
        seventh("title of 256 characters", QByteArray(256, 't') + rest,
                "Titlu are mai mult de 255 de caractere");
        seventh("broken quote", "\"Open,A,E\r\n", "ghilimele neinchise");
        seventh("unknown rating", "X,A,E,Roman,1,1,1,1,1,Nu,Grozava,Acasa\r\n",
                "Calificativ necunoscut");
        seventh("a truncated last row", "Cut short,A,E,Rom", "randul are 4 celule, antetul 12");
        seventh("a row with a cell too many", "One more" + rest.chopped(2) + ",x\r\n",
                "randul are 13 celule, antetul 12");
        seventh("a row of twenty cells",
                "Twenty" + rest.chopped(2) + QByteArray(",x").repeated(8) + "\r\n",
                "randul are 20 de celule, antetul 12");
        seventh("a row without a title", rest, "Trebuie specificat un titlu!");
        seventh("un retur de car (CR) in afara ghilimelelor", "Split\rin two" + rest,
                "un retur de car (CR) in afara ghilimelelor");
        row("a column named twice", "Titlu,Autor,Titlu\r\nA,B,C\r\n", 1,
            "antetul numeste o coloana de doua ori: \"Titlu\" si \"Titlu\"");
        row("one field under two names", "Title,Autor,Titlu\r\nA,B,C\r\n", 1,
            "antetul numeste o coloana de doua ori: \"Title\" si \"Titlu\"");
        row("an author under two names", "Titlu,Autor,Author\r\nA,B,C\r\n", 1,
            "antetul numeste o coloana de doua ori: \"Autor\" si \"Author\"");
        seventh("a fraction", "Z,A,E,Roman,1.5,1,1,1,1,Nu,De citit,Acasa\r\n",
                "Pagini nu este un numar intreg: \"1.5\"");
        row("no known column", "Name,Colour\r\nA,B\r\n", 1,
            "nicio coloana cunoscuta in antet; coloanele cunoscute sunt \"Titlu\", \"Autor\"");
        seventh("pages below zero", "Z,A,E,Roman,-3,1,1,1,1,Nu,De citit,Acasa\r\n",
                "Numarul de pagini trebuie sa fie mai mare decat 0!");
        seventh("a rating of a book not read", "Z,A,E,Roman,1,1,1,1,1,Nu,Deosebita,Acasa\r\n",
                "Nu exista concordanta intre calificativ si stare citire carte!");
        seventh("Windows-1252 text", "Jane Eyre,Bront\xeb" + rest.mid(2),
                "coloana 2 nu este text UTF-8");
        seventh("an overlong form", "\xc0\xaf" + rest, "coloana 1 nu este text UTF-8");
        seventh("a surrogate", "\xed\xa0\x80" + rest, "coloana 1 nu este text UTF-8");
        seventh("a cut sequence", "\xe2\x82" + rest, "coloana 1 nu este text UTF-8");
        seventh("a NUL byte", QByteArray("A\0B", 3) + rest, "coloana 1 contine un octet NUL", true);
        // Records no book list needs, made to exhaust the reader, read no further than the limit.
        row("a header of 1001 columns", QByteArray::fromStdString(Header(1001)) + "\r\nA\r\n", 1,
            "antetul are mai mult de 1000 de coloane", true);
        seventh("a row of 1001 cells", "A" + QByteArray(1000, ',') + "\r\n",
                "randul are mai mult de 1000 de celule", true);
        seventh("a cell of 64 KB and a byte", QByteArray(65537, 'x') + rest,
                "coloana 1 are mai mult de 65536 de octeti", true);
        seventh("a quoted cell of 64 KB and a byte", "A,\"" + QByteArray(65537, '\n') + "\"\r\n",
                "coloana 2 are mai mult de 65536 de octeti", true);
        // UTF-16 that is not whole.
        const auto utf16 = Utf16Le;
        row("a lone surrogate in UTF-16",
            utf16(QStringLiteral("Titlu\r\nBun\r\nR") + QChar(0xD800) + QStringLiteral("u\r\n")), 3,
            "textul UTF-16 are un surogat fara pereche", true);
        row("UTF-16 cut after one byte", utf16(QStringLiteral("Titlu\r\nBun\r\n")) + "X", 3,
            "fisierul UTF-16 se termina cu un octet fara pereche", true);
    }

    void aBadRowStopsTheImportAndChangesNothing() {
        QFETCH(QByteArray, csv);
        QFETCH(int, line);
        QFETCH(QString, reason);
        QFETCH(bool, unread);
        TestCatalogue c;
        c.add(MakeBook("Already there"));
        const QByteArray before = FileBytes(c.path("test.mdb"));
        // Another program holding the catalogue would stop an import that began to store.
        std::optional<RawCatalogue> other;
        if (unread) {
            other.emplace(c.path("test.mdb"));
            QVERIFY(other->exec("BEGIN IMMEDIATE"));
        }
        const ImportResult r = ImportCsv(csv.toStdString(), *c.db);
        other.reset();
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
