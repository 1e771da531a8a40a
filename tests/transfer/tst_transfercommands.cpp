#include "support/GuiDriver.h"

#include <QRegularExpression>
#include <QStatusBar>

namespace {

int PdfPages(const QString& path) {
    return static_cast<int>(QString::fromLatin1(FileBytes(path))
                                .count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

// Presses OK on the import's dialog, ticking "Importa si duplicatele" when asked to.
void ConfirmImport(bool withDuplicates) {
    WhenModal([withDuplicates](QWidget* dialog) {
        dialog->findChild<QCheckBox*>(QStringLiteral("importDuplicates"))
            ->setChecked(withDuplicates);
        Press(dialog, "ok");
    });
}

} // namespace

class TestTransferCommands : public QObject {
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
        app.prompts.files = {csv, app.path("rejects.csv")};
        app.prompts.answers = {true};
        ConfirmImport(false);
        app.trigger("fileImport");
        QCOMPARE(app.prompts.questions.size(), 1);
        QVERIFY2(app.prompts.questions[0].startsWith(
                     "Importate: 2 carti; respinse: 1; deja in catalog: 1\n"),
                 qPrintable(app.prompts.questions[0]));
        QCOMPARE(app.column(1),
                 (QStringList{"Abandonata", "Dune", "Emma", "Ion", "Ion", "Odiseea"}));
        QCOMPARE(FileBytes(app.path("rejects.csv")),
                 QByteArray(
                     "Linie,Motiv,Title,Author,Number of Pages,Original Publication Year\r\n"
                     "3,already in the catalogue,DUNE,herbert,600,1965\r\n"
                     "4,\"Pagini is not an integer: \"\"many\"\"\",Walden,Thoreau,many,1854\r\n"));
        // Ticked, the duplicates are stored too; nothing is rejected then but the bad number.
        app.prompts.files = {csv};
        app.prompts.answers = {false};
        ConfirmImport(true);
        app.trigger("fileImport");
        QVERIFY(app.prompts.questions.last().startsWith(
            "Importate: 3 carti; respinse: 1; deja in catalog: 3\n"));
        QCOMPARE(app.view()->Model()->rowCount(), 9);
    }

    void exportWritesEveryBookAndRefusesTheCatalogue() {
        LibraryApp app;
        app.prompts.files = {app.path("out.csv"), static_cast<Library&>(app).path};
        app.trigger("fileExport");
        app.trigger("fileExport");
        QCOMPARE(app.prompts.takeMessages(),
                 (QStringList{"Exportate: 4 carti in out.csv.",
                              "Fisierul test.mdb este chiar catalogul; nu s-a scris nimic."}));
        QVERIFY(FileBytes(app.path("out.csv")).startsWith("ID,Titlu,Autor,"));
        QCOMPARE(FileBytes(app.path("out.csv")).count("\r\n"), 5);
    }

    void thePdfHoldsTheListingShown() {
        LibraryApp app;
        QVERIFY(app.action("filePrint")->isEnabled());
        app.prompts.files = {app.path("four.pdf")};
        app.trigger("fileExportPdf");
        QCOMPARE(PdfPages(app.path("four.pdf")), 1);
        QCOMPARE(app.frame()->statusBar()->currentMessage(),
                 QStringLiteral("Lista a fost scrisa in four.pdf."));
        QByteArray csv = "Titlu\n";
        for (int i = 0; i < 300; ++i) {
            csv += "Carte " + QByteArray::number(i) + "\n";
        }
        WriteFile(app.path("many.csv"), csv);
        app.prompts.files = {app.path("many.csv"), app.path("many.pdf")};
        ConfirmImport(false);
        app.trigger("fileImport");
        app.trigger("fileExportPdf");
        const int pages = PdfPages(app.path("many.pdf"));
        QVERIFY2(pages > 2 && pages < 10, qPrintable(QString::number(pages)));
    }
};

QTEST_MAIN(TestTransferCommands)
#include "tst_transfercommands.moc"
