#include "barcode/BookCode.h"
#include "barcode/LabelSheet.h"
#include "barcode/ui/PictureBarcodes.h"
#include "isbn/CBookDetailsStore.h"
#include "support/GuiDriver.h"
#include "view/ui/CShelfwardenView.h"

#include <QDir>
#include <QItemSelectionModel>
#include <QLabel>
#include <QProcess>
#include <QSpinBox>
#include <QStandardPaths>

namespace {

constexpr int kDpi = 150;

// The PDF's pages as pictures, read as a phone's photo of them would be, through poppler.
QList<QImage> Pages(const QString& pdf) {
    const QString prefix = pdf + "-page";
    QProcess::execute("pdftoppm", {"-r", QString::number(kDpi), "-gray", "-png", pdf, prefix});
    QList<QImage> pages;
    for (int page = 1;; ++page) {
        const QImage image(prefix + "-" + QString::number(page) + ".png");
        if (image.isNull()) {
            return pages;
        }
        pages << image;
    }
}

QString PdfText(const QString& pdf) {
    QProcess process;
    process.start("pdftotext", {"-layout", pdf, "-"});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// What each label's place on its page holds, as codes read there alone.
QStringList CodesOnLabels(const QList<QImage>& pages, const std::vector<PlacedLabel>& placed) {
    QStringList codes;
    const double perMm = kDpi / 25.4;
    for (const PlacedLabel& label : placed) {
        if (label.page >= pages.size()) {
            codes << "no page";
            continue;
        }
        const QRect area(qRound(label.rect.x * perMm), qRound(label.rect.y * perMm),
                         qRound(label.rect.width * perMm), qRound(label.rect.height * perMm));
        QStringList read;
        for (const ReadCode& code : ReadPictureCodes(pages[label.page].copy(area))) {
            read << QString::fromStdString(code.text);
        }
        codes << read.join('+');
    }
    return codes;
}

// The codes of the books of these list rows.
QStringList BookCodes(RunningApp& run, std::initializer_list<int> rows) {
    QStringList codes;
    for (int row : rows) {
        codes << QString::fromStdString(BookCodeOf(run.column(0)[row].toInt()));
    }
    return codes;
}

// Sets the labels dialog's sheet and first label, then writes the PDF and closes.
std::function<void(QWidget*)> WritePdf(int sheet, int startAt) {
    return [sheet, startAt](QWidget* dlg) {
        Choose(dlg, "sheet", sheet);
        dlg->findChild<QSpinBox*>("startAt")->setValue(startAt);
        Press(dlg, "pdf");
        Press(dlg, "cancel");
    };
}

} // namespace

class TestLabelPrint : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { UseTemporarySettings(); }

    // Every listed book gets a label, from label 23 of a 3 x 8 sheet on, so the last two go to a
    // second sheet; each label's barcode, read where the sheet puts it, is its book's code, and
    // its texts are the book's.
    void labelsOfTheListReadBack() {
        LibraryApp run;
        BookDetails details;
        details.locatie = "Raft 3";
        const std::int32_t first = run.column(0)[0].toInt();
        QVERIFY(CBookDetailsStore(*run.view()->Database(), [](const std::string&) {
                }).Write(first, details));
        const QString pdf = run.path("etichete.pdf");
        run.prompts.files.push_back(pdf);
        run.selectRow(2); // one book chosen is no choice: every listed book gets its label
        WhenModal(WritePdf(1, 23));
        run.trigger("fileLabels");
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Etichetele au fost scrise in etichete.pdf."});
        const QList<QImage> pages = Pages(pdf);
        QCOMPARE(pages.size(), 2);
        const int books = run.view()->Model()->rowCount();
        QCOMPARE(CodesOnLabels(pages, PlaceLabels(Sheet3x8(), 23, books)),
                 BookCodes(run, {0, 1, 2, 3}));
        // Nothing is printed on the labels before the first one asked for.
        QVERIFY(CodesOnLabels(pages, PlaceLabels(Sheet3x8(), 1, 22)).join("").isEmpty());
        const QString text = PdfText(pdf);
        for (const QString& shown : run.column(1) + run.column(2) + QStringList{"Raft 3"}) {
            QVERIFY2(text.contains(shown), qPrintable(shown));
        }
    }

    // With two books selected, a 3 x 7 sheet gets their two labels, and only theirs; the
    // catalogue's own file is never written over.
    void labelsOfTheSelectedBooks() {
        LibraryApp run;
        run.selectRow(1);
        run.view()->selectionModel()->select(run.view()->model()->index(3, 0),
                                             QItemSelectionModel::Select |
                                                 QItemSelectionModel::Rows);
        const QString pdf = run.path("alese.pdf");
        // The catalogue itself is refused, untouched, before the PDF goes where it may.
        run.prompts.files.push_back(run.Library::path);
        run.prompts.files.push_back(pdf);
        QStringList sheets;
        WhenModal([&sheets](QWidget* dlg) {
            // The dialog opens on the 3 x 8 sheet; a field changed by hand makes it another.
            sheets << Value(dlg, "sheet") << dlg->findChild<QLabel*>("labelSize")->text();
            dlg->findChild<QSpinBox*>("rows")->setValue(7);
            sheets << Value(dlg, "sheet") << dlg->findChild<QLabel*>("labelSize")->text();
            Press(dlg, "pdf");
            WritePdf(0, 1)(dlg);
        });
        run.trigger("fileLabels");
        QCOMPARE(run.prompts.takeMessages(),
                 (QStringList{"Fisierul test.mdb este chiar catalogul sau un fisier al lui; nu s-a "
                              "scris nimic.",
                              "Etichetele au fost scrise in alese.pdf."}));
        QCOMPARE(run.column(0).size(), 4);
        QCOMPARE(sheets, (QStringList{"A4, 3 x 8 (70 x 37 mm)", "Eticheta: 70,0 x 37,0 mm",
                                      "Alta foaie", "Eticheta: 70,0 x 42,3 mm"}));
        const QList<QImage> pages = Pages(pdf);
        QCOMPARE(pages.size(), 1);
        QCOMPARE(CodesOnLabels(pages, PlaceLabels(Sheet3x7(), 1, 3)),
                 BookCodes(run, {1, 3}) + QStringList{""});
    }
};

QTEST_MAIN(TestLabelPrint)
#include "tst_labelprint.moc"
