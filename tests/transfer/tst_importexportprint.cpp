#include "support/DiskFull.h"
#include "support/GuiDriver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QStatusBar>

namespace {

int PdfPages(const QString& path) {
    return static_cast<int>(QString::fromLatin1(FileBytes(path))
                                .count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

const QString kChooseAType = QStringLiteral("Alegeti tipul cartilor care nu il au.");

// Imports through File > Import: the choosers answered with `files`, OK pressed on the dialog,
// "Importa si duplicatele" ticked when asked to, books without a type made "SF".
void Import(RunningApp& app, std::deque<std::optional<QString>> files, bool withDuplicates) {
    app.prompts.files = std::move(files);
    WhenModal([withDuplicates](QWidget* dialog) {
        dialog->findChild<QCheckBox*>(QStringLiteral("importDuplicates"))
            ->setChecked(withDuplicates);
        dialog->findChild<QComboBox*>(QStringLiteral("importType"))
            ->setCurrentText(QStringLiteral("SF"));
        Press(dialog, "ok");
    });
    app.trigger("fileImport");
}

} // namespace

class TestImportExportPrint : public QObject {
    Q_OBJECT
private slots:
    void importReportsAndOffersTheRejects() {
        LibraryApp app;
        const QString csv = app.path("in.csv");
        WriteFile(csv, "\xEF\xBB\xBFTitle,Author,Number of Pages,Original Publication Year\r\n"
                       "Emma,Jane Austen,320.00,1815.0\r\n"
                       "DUNE,herbert,600,1965\r\n"
                       "Walden,Thoreau,many,1854\r\n"
                       "Ion,Liviu Rebreanu,,1920\r\n");
        app.prompts.answers = {true};
        Import(app, {csv, app.path("rejects.csv")}, false);
        QCOMPARE(app.prompts.questions.size(), 1);
        QVERIFY2(app.prompts.questions[0].startsWith(
                     "Importate: 2 carti; respinse: 1; deja in catalog: 1\n"),
                 qPrintable(app.prompts.questions[0]));
        QCOMPARE(app.column(1),
                 (QStringList{"Abandonata", "Dune", "Emma", "Ion", "Ion", "Odiseea"}));
        QCOMPARE(FileBytes(app.path("rejects.csv")).count("\r\n"), 3); // the header, two rejects
        // Ticked, the duplicates are stored too; nothing is rejected then but the bad number.
        app.prompts.answers = {false};
        Import(app, {csv}, true);
        QVERIFY(app.prompts.questions.last().startsWith(
            "Importate: 3 carti; respinse: 1; deja in catalog: 3\n"));
        QCOMPARE(app.view()->Model()->rowCount(), 9);
    }

    // A spreadsheet saved with Romanian settings: semicolons, Windows-1250, its own headers.
    void thePreviewShowsTheFileAsItWillBeRead() {
        LibraryApp app;
        const QString csv = app.path("carti.csv");
        WriteFile(csv, "Nr;Carte;Scriitor;Pagini;Gen\r\n"
                       "1;P\xe3"
                       "durea sp\xe2"
                       "nzura\xfe"
                       "ilor;Liviu Rebreanu;0;\r\n"
                       "2;Baltagul;Mihail Sadoveanu;180;Roman\r\n"
                       "\r\n");
        app.prompts.files = {csv};
        QStringList seen;
        WhenModal([&](QWidget* dlg) {
            auto combo = [dlg](const char* name) {
                return dlg->findChild<QComboBox*>(QString::fromLatin1(name));
            };
            auto* table = dlg->findChild<QTableWidget*>(QStringLiteral("importPreview"));
            seen << combo("importDelimiter")->currentText()
                 << combo("importEncoding")->currentText() << table->item(1, 1)->text()
                 << QString::number(table->rowCount()) << combo("importType")->currentText();
            for (const char* column :
                 {"importColumn0", "importColumn1", "importColumn2", "importColumn3"}) {
                seen << combo(column)->currentText();
            }
            // "Carte" and "Scriitor" are nobody's guess: the user says what they hold, and keeps
            // it through the other encodings and delimiters tried.
            Choose(dlg, "importColumn1", 0);
            Choose(dlg, "importColumn2", 1);
            Choose(dlg, "importEncoding", 2);
            Choose(dlg, "importDelimiter", 0);
            Choose(dlg, "importDelimiter", 1);
            Choose(dlg, "importEncoding", 1);
            // Its first book names no type ("Gen" is empty): one has to be chosen.
            Press(dlg, "ok");
            combo("importType")->setCurrentText(QStringLiteral("Roman"));
            Press(dlg, "ok");
        });
        app.trigger("fileImport");
        QCOMPARE(seen,
                 (QStringList{"Punct si virgula (;)", "Windows-1250",
                              "P\u0103durea sp\u00e2nzura\u0163ilor", "3", "", "(nu se importa)",
                              "(nu se importa)", "(nu se importa)", "Pagini"}));
        QCOMPARE(app.prompts.takeMessages(),
                 (QStringList{kChooseAType, "Importate: 2 carti; respinse: 0; deja in catalog: 0\n"
                                            "Coloane nefolosite: Nr"}));
        QCOMPARE(RawCatalogue(app.file())
                     .rows("SELECT b.titlu, b.autor, b.pagini, t.tip FROM books b JOIN types t "
                           "ON t.id = b.tip + 1 WHERE b.id > 4 ORDER BY b.id"),
                 (Texts{"Pădurea spânzuraţilor|Liviu Rebreanu|NULL|Roman",
                        "Baltagul|Mihail Sadoveanu|180|Roman"}));
    }

    // The type of books that name none is the user's, never a guess: asked for, or the
    // catalogue's "Altele" offered; a file whose every book names its type needs none.
    void theTypeOfBooksWithoutOneIsTheUsers_data() {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<bool>("altele"); // the catalogue has a type "Altele"
        // The type offered, the messages (a type asked for while OK is refused, when none is
        // offered; then the summary) and the type stored ("SF" when the user had to choose).
        QTest::addColumn<QStringList>("seen");
        const QString imported = "Importate: 1 carte; respinse: 0; deja in catalog: 0";
        QTest::newRow("no type column") << QByteArray("Titlu\nCarte\n") << false
                                        << QStringList{"", kChooseAType, imported, "SF"};
        QTest::newRow("Altele in the catalogue")
            << QByteArray("Titlu\nCarte\n") << true << QStringList{"Altele", imported, "Altele"};
        QTest::newRow("every book names its type") << QByteArray("Titlu,Tip\nCarte,Clasic\n")
                                                   << false << QStringList{"", imported, "Clasic"};
    }

    void theTypeOfBooksWithoutOneIsTheUsers() {
        QFETCH(QByteArray, csv);
        QFETCH(bool, altele);
        Library books;
        if (altele) {
            QVERIFY(RawCatalogue(books.file()).exec("INSERT INTO types(tip) VALUES ('Altele')"));
        }
        RunningApp app(books.path);
        WriteFile(app.path("in.csv"), csv);
        app.prompts.files = {app.path("in.csv")};
        QStringList seen;
        WhenModal([&](QWidget* dlg) {
            seen << Value(dlg, "importType");
            Press(dlg, "ok");
            if (dlg->isVisible()) {
                dlg->findChild<QComboBox*>(QStringLiteral("importType"))
                    ->setCurrentText(QStringLiteral("SF"));
                Press(dlg, "ok");
            }
        });
        app.trigger("fileImport");
        seen << app.prompts.takeMessages()
             << QString::fromStdString(RawCatalogue(books.file())
                                           .one("SELECT t.tip FROM books b JOIN types t ON t.id = "
                                                "b.tip + 1 WHERE b.titlu = 'Carte'"));
        QTEST(seen, "seen");
    }

    // A hostile file is previewed at once from its first bytes, and refused with its line before
    // anything is stored.
    void aHostileFileIsRefusedAtOnce_data() {
        QTest::addColumn<QByteArray>("csv");
        // The columns the preview shows, its note, and the message.
        QTest::addColumn<QStringList>("seen");
        QByteArray wide = "Titlu";
        for (int i = 2; i <= 100000; ++i) {
            wide += ",c" + QByteArray::number(i);
        }
        QTest::newRow("100,000 columns")
            << wide + "\r\nA\r\n"
            << QStringList{"0", "Linia 1: antetul are mai mult de 1000 de coloane",
                           "Fisierul nu poate fi importat.\nLinia 1: antetul are mai mult de 1000 "
                           "de coloane"};
        QTest::newRow("a cell of 4 MB")
            << "Titlu,Autor\r\nBun,A\r\nLung," + QByteArray(4 << 20, 'x') + "\r\n"
            // The preview reads no further than its first bytes.
            << QStringList{"2", "",
                           "Nu s-a importat nicio carte.\nin.csv, linia 3: coloana 2 are mai mult "
                           "de 65536 de octeti"};
    }

    void aHostileFileIsRefusedAtOnce() {
        QFETCH(QByteArray, csv);
        LibraryApp app;
        WriteFile(app.path("in.csv"), csv);
        app.prompts.files = {app.path("in.csv")};
        QElapsedTimer clock;
        qint64 shownAfter = -1;
        QStringList seen;
        WhenModal([&](QWidget* dialog) {
            shownAfter = clock.elapsed();
            seen << QString::number(
                        dialog->findChild<QTableWidget*>(QStringLiteral("importPreview"))
                            ->columnCount())
                 << dialog->findChild<QLabel*>(QStringLiteral("importNote"))->text();
            dialog->findChild<QComboBox*>(QStringLiteral("importType"))
                ->setCurrentText(QStringLiteral("SF"));
            Press(dialog, "ok");
            if (dialog->isVisible()) {
                Press(dialog, "cancel");
            }
        });
        clock.start();
        app.trigger("fileImport");
        QVERIFY2(shownAfter >= 0 && shownAfter < 3000, qPrintable(QString::number(shownAfter)));
        QTEST(seen << app.prompts.takeMessages(), "seen");
        QCOMPARE(RawCatalogue(app.file()).one("SELECT count(*) FROM books"), std::string("4"));
    }

    // No output of the window may land on the open catalogue or the files SQLite keeps beside
    // it, or in a folder that is not there; each is refused before anything is written.
    void everyOutputIsRefusedOnTheCatalogueAndItsJournals_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        const QString mine = "Fisierul %1 este chiar catalogul sau un fisier al lui; nu s-a "
                             "scris nimic.";
        const QString missing = "Fisierul out.%1 nu poate fi scris: dosarul lui nu primeste "
                                "fisiere (fisierul sau dosarul nu exista); nu s-a scris nimic.";
        for (const char* command : {"fileExport", "fileExportPdf", "rejects"}) {
            const QString suffix = QString(command) == "fileExportPdf" ? "pdf" : "csv";
            for (const char* target :
                 {"test.mdb", "test.mdb-journal", "test.mdb-wal", "test.mdb-shm"}) {
                QTest::addRow("%s onto %s", command, target)
                    << command << target << mine.arg(target);
            }
            QTest::addRow("%s into a missing folder", command)
                << command << "none/out." + suffix << missing.arg(suffix);
        }
    }

    void everyOutputIsRefusedOnTheCatalogueAndItsJournals() {
        QFETCH(QString, command);
        QFETCH(QString, target);
        QFETCH(QString, message);
        LibraryApp app;
        const QString path = QFileInfo(app.Library::path).dir().filePath(target);
        const bool existed = QFile::exists(path);
        const QByteArray before = FileBytes(app.Library::path);
        if (command == "rejects") {
            const QString csv = app.path("in.csv");
            WriteFile(csv, "Titlu,Pagini\nBun,1\nRau,many\n");
            app.prompts.answers = {true};
            Import(app, {csv, path}, true);
        } else {
            app.prompts.files = {path};
            app.trigger(command.toUtf8().constData());
        }
        QCOMPARE(app.prompts.takeMessages(), QStringList{message});
        QCOMPARE(QFile::exists(path), existed);
        if (command != "rejects") {
            QCOMPARE(FileBytes(app.Library::path), before);
        }
        QCOMPARE(app.view()->Model()->rowCount(), command == "rejects" ? 5 : 4);
    }

    // Export writes every book; the PDF holds the listing shown, on as many pages as it takes. On
    // a full disk an earlier PDF keeps its bytes, and the user is told.
    void exportAndThePdfHoldWhatIsListed() {
        LibraryApp app;
        app.prompts.files = {app.path("out.csv")};
        app.trigger("fileExport");
        QCOMPARE(app.prompts.takeMessages(), QStringList{"Exportate: 4 carti in out.csv."});
        QVERIFY(FileBytes(app.path("out.csv")).startsWith("ID,Titlu,Autor,"));
        QCOMPARE(FileBytes(app.path("out.csv")).count("\r\n"), 5);
        QVERIFY(app.action("filePrint")->isEnabled());
        app.prompts.files = {app.path("four.pdf")};
        app.trigger("fileExportPdf");
        QCOMPARE(PdfPages(app.path("four.pdf")), 1);
        QCOMPARE(app.frame()->statusBar()->currentMessage(),
                 QStringLiteral("Lista a fost scrisa in four.pdf."));
        const QByteArray four = FileBytes(app.path("four.pdf"));
        QVERIFY(four.startsWith("%PDF-") && four.trimmed().endsWith("%%EOF"));
        app.frame()->statusBar()->clearMessage();
        WriteFile(app.path("old.pdf"), four);
        app.prompts.files = {app.path("old.pdf")};
        {
            const DiskFull full(static_cast<rlim_t>(four.size() / 2));
            app.trigger("fileExportPdf");
        }
        QCOMPARE(app.prompts.takeMessages(),
                 QStringList{"Fisierul old.pdf nu poate fi scris: fisierul este mai mare decat "
                             "poate primi discul"});
        QCOMPARE(FileBytes(app.path("old.pdf")), four);
        QCOMPARE(QDir(app.dir.path())
                     .entryList({"*old.pdf*"}, QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{"old.pdf"});
        QVERIFY(!app.frame()->statusBar()->currentMessage().startsWith("Lista a fost scrisa"));
        QByteArray csv = "Titlu\n";
        for (int i = 0; i < 300; ++i) {
            csv += "Carte " + QByteArray::number(i) + "\n";
        }
        WriteFile(app.path("many.csv"), csv);
        Import(app, {app.path("many.csv"), app.path("many.pdf")}, false);
        app.trigger("fileExportPdf");
        const int pages = PdfPages(app.path("many.pdf"));
        QVERIFY2(pages > 2 && pages < 10, qPrintable(QString::number(pages)));
    }

    // While more than one row is selected, every way out offers "Doar cartile selectate",
    // checked; left so, only those books go out.
    void theSelectionAloneCanGoOut() {
        LibraryApp app;
        app.view()->selectRow(1); // Dune
        app.view()->selectionModel()->select(app.view()->model()->index(2, 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows); // and Ion
        app.prompts.files = {app.path("two.csv"), app.path("all.csv"), app.path("two.pdf")};
        app.prompts.options = {true, false};
        app.trigger("fileExport");
        app.trigger("fileExport");
        QCOMPARE(app.prompts.takeMessages(),
                 (QStringList{"Exportate: 2 carti in two.csv.", "Exportate: 4 carti in all.csv."}));
        const QByteArray two = FileBytes(app.path("two.csv"));
        QCOMPARE(two.count("\r\n"), 3);
        QVERIFY(two.contains("Dune") && two.contains("Ion") && !two.contains("Odiseea"));
        QCOMPARE(FileBytes(app.path("all.csv")).count("\r\n"), 5);
        QCOMPARE(app.prompts.fileRequests.first(),
                 QStringLiteral("save|Fisiere CSV (*.csv)|csv|Doar cartile selectate=1"));
        app.trigger("fileExportPdf");
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {app.path("two.pdf"), QStringLiteral("-")});
        QVERIFY(text.waitForFinished());
        const QByteArray printed = text.readAllStandardOutput();
        QVERIFY2(printed.contains("Dune") && printed.contains("Ion") &&
                     !printed.contains("Odiseea") && !printed.contains("Abandonata"),
                 printed.constData());
        bool offered = false;
        WhenModal([&](QWidget* dialog) {
            auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("onlySelected"));
            offered = box && box->isChecked() && box->text() == "Doar cartile selectate";
            qobject_cast<QDialog*>(dialog)->reject();
        });
        app.trigger("filePrint");
        QVERIFY(offered);

        // One row chosen: the whole listing, asked as before.
        app.view()->selectRow(1);
        app.prompts.fileRequests.clear();
        app.prompts.files = {app.path("one.csv")};
        app.trigger("fileExport");
        QCOMPARE(app.prompts.fileRequests, QStringList{"save|Fisiere CSV (*.csv)|csv"});
        QCOMPARE(app.prompts.takeMessages(), QStringList{"Exportate: 4 carti in one.csv."});
    }

    // The preview offers the selection alone too: two books on one page, the whole listing of a
    // hundred on more once the box is cleared.
    void thePreviewOffersTheSelection() {
        LibraryApp app;
        for (int i = 0; i < 100; ++i) {
            QVERIFY(app.doc()->GetDatabase()->InsertBook("Carte " + std::to_string(i), "Autor",
                                                         "Editura", 0, 1, 1, 1, 1, 1, 0, 0, 0));
        }
        app.trigger("viewAll");
        app.view()->selectRow(1);
        app.view()->selectionModel()->select(app.view()->model()->index(2, 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows);
        QList<int> pages;
        WhenModal([&](QWidget* dialog) {
            auto* preview = dialog->findChild<QPrintPreviewWidget*>();
            auto* only = dialog->findChild<QAction*>(QStringLiteral("onlySelected"));
            pages << (only && only->isChecked() ? preview->pageCount() : -1);
            only->setChecked(false);
            pages << preview->pageCount();
            qobject_cast<QDialog*>(dialog)->reject();
        });
        app.trigger("filePrintPreview");
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages[0], 1);
        QVERIFY2(pages[1] > 1, qPrintable(QString::number(pages[1])));
    }
};

QTEST_MAIN(TestImportExportPrint)
#include "tst_importexportprint.moc"
