#include "barcode/BookCode.h"
#include "barcode/BookConfirmer.h"
#include "barcode/LabelSheet.h"
#include "barcode/TestPictures.h"
#include "barcode/ui/PictureBarcodes.h"
#include "isbn/CBookDetailsStore.h"
#include "isbn/IsbnCode.h"
#include "isbn/ReplayServer.h"
#include "isbn/ui/CIsbnCommands.h"
#include "shell/AppSettings.h"
#include "view/ui/CShelfwardenView.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QStandardPaths>

using namespace test_pictures;

namespace {

constexpr int kBooks = 20;

// The twentieth ISBNs from 978-973-0-0001: each with its check digit.
QStringList Isbns() {
    QStringList isbns;
    for (int n = 1; isbns.size() < kBooks; ++n) {
        const std::string first = QString("97897300%1").arg(n, 4, 10, QChar('0')).toStdString();
        for (char check = '0'; check <= '9'; ++check) {
            if (CheckIsbn(first + check).problem == IsbnProblem::None) {
                isbns << QString::fromStdString(first + check);
            }
        }
    }
    return isbns;
}

// Open Library's answer for each book, as the replay server plays it.
void WriteAnswers(const QString& folder, const QStringList& isbns) {
    for (int i = 0; i < isbns.size(); ++i) {
        QFile answer(folder + "/" + isbns[i] + ".json");
        answer.open(QIODevice::WriteOnly);
        answer.write(
            QString(R"({"ISBN:%1": {"title": "Cartea %2", "authors": [{"name": "Autor %2"}],)"
                    R"( "publishers": [{"name": "Editura"}], "number_of_pages": %3,)"
                    R"( "publish_date": "2001"}})")
                .arg(isbns[i])
                .arg(i + 1)
                .arg(100 + i)
                .toUtf8());
    }
}

// A photo of a book's back: its barcode somewhere on a busy page, turned a little.
QImage BackCover(const QString& isbn, quint32 seed) {
    QRandomGenerator random(seed);
    const QImage code = Turned(Ean13(isbn.toStdString()), random.bounded(-20, 21));
    return Noisy(OnBusyPage({code}, {QPoint(random.bounded(0, 600), random.bounded(0, 500))},
                            {1400, 1000}, seed),
                 20, 70, seed);
}

} // namespace

class TestShelfRoundTrip : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { UseTemporarySettings(); }

    // Twenty photos of books' backs add twenty books, looked up at the local server; their
    // labels print to a PDF whose every barcode reads back as its book's; a shelf check that
    // scans those labels, three left out and one of a book from another shelf, reports exactly
    // those.
    void photosLabelsAndShelfCheck() {
        LibraryApp run;
        QTemporaryDir answers;
        const QStringList isbns = Isbns();
        WriteAnswers(answers.path(), isbns);
        ReplayServer server(answers.path());
        QTemporaryDir cache;
        Settings().isbnService = server.address();
        Settings().isbnSources = "on|openlibrary|Open Library|https://openlibrary.org";
        Settings().isbnLookup = 1;
        run.trigger("recordsAddByIsbn");
        CIsbnEntryDlg* window = run.frame()->CommandTarget<CIsbnCommands>()->Window();
        window->Lookup()->SetCacheFolder(cache.path());
        QStringList photos;
        for (int i = 0; i < kBooks; ++i) {
            photos << run.path(QString("spate-%1.jpg").arg(i + 1));
            QVERIFY(BackCover(isbns[i], quint32(i + 1)).save(photos.last(), "JPEG", 85));
        }
        run.prompts.fileLists.push_back(photos);
        BookConfirmer books;
        window->findChild<QPushButton*>("fromPhotos")->click();
        QTRY_COMPARE_WITH_TIMEOUT(RawCatalogue(run.file()).rows("SELECT count(*) FROM books"),
                                  Texts{std::to_string(4 + kBooks)}, 90000);
        QCOMPARE(books.isbns, isbns);
        QCOMPARE(RawCatalogue(run.file())
                     .rows("SELECT count(*) FROM book_details WHERE sursa = 'Open Library'"),
                 Texts{std::to_string(kBooks)});
        QVERIFY(run.prompts.takeMessages().isEmpty()); // every photo held one ISBN
        window->close();

        // The new books are on Raft 1, but for the last, on Raft 3.
        run.trigger("viewAll");
        std::vector<std::int32_t> added;
        for (const QString& id : run.column(0)) {
            if (id.toInt() > 4) {
                added.push_back(id.toInt());
            }
        }
        std::sort(added.begin(), added.end());
        QCOMPARE(int(added.size()), kBooks);
        CBookDetailsStore store(*run.view()->Database(), [](const std::string&) {});
        for (std::int32_t id : added) {
            BookDetails details = *store.Read(id);
            details.locatie = id == added.back() ? "Raft 3" : "Raft 1";
            QVERIFY(store.Write(id, details));
        }

        // Labels for all 24 listed books: one sheet of 3 x 8, every code read back in place.
        const QString pdf = run.path("etichete.pdf");
        run.prompts.files.push_back(pdf);
        WhenModal([](QWidget* dlg) {
            Choose(dlg, "sheet", 1);
            Press(dlg, "pdf");
            Press(dlg, "cancel");
        });
        run.trigger("fileLabels");
        QProcess::execute("pdftoppm", {"-r", "150", "-gray", "-png", pdf, pdf});
        const QImage page(pdf + "-1.png");
        QVERIFY(!page.isNull());
        const std::vector<PlacedLabel> placed = PlaceLabels(Sheet3x8(), 1, 4 + kBooks);
        QStringList read;
        for (const PlacedLabel& label : placed) {
            const double perMm = 150 / 25.4;
            const auto codes = ReadPictureCodes(
                page.copy(qRound(label.rect.x * perMm), qRound(label.rect.y * perMm),
                          qRound(label.rect.width * perMm), qRound(label.rect.height * perMm)));
            read << (codes.size() == 1 ? QString::fromStdString(codes[0].text) : "?");
        }
        QStringList expected;
        for (const QString& id : run.column(0)) {
            expected << QString::fromStdString(BookCodeOf(id.toInt()));
        }
        QCOMPARE(read, expected);

        // The shelf check of Raft 1 scans the labels read, but for three of its books, and the
        // label of the book of Raft 3.
        QStringList scanned;
        QStringList left;
        for (std::int32_t id : added) {
            const QString code = QString::fromStdString(BookCodeOf(id));
            (id == added[2] || id == added[7] || id == added[11] ? left : scanned) << code;
        }
        QVERIFY(std::all_of(scanned.begin(), scanned.end(),
                            [&read](const QString& code) { return read.contains(code); }));
        QString report;
        WhenModal([&](QWidget* dlg) {
            Choose(dlg, "shelf", dlg->findChild<QComboBox*>("shelf")->findText("Raft 1"));
            auto* field = dlg->findChild<QLineEdit*>("code");
            for (const QString& code : scanned) {
                QTest::keyClicks(field, code);
                QTest::keyClick(field, Qt::Key_Return);
            }
            report = dlg->findChild<QPlainTextEdit*>("report")->toPlainText();
            Press(dlg, "cancel");
        });
        run.trigger("recordsInventory");
        const QStringList lines = report.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(1), QString("Scanate: 17 carti; lipsa: 3; in alt loc: 1"));
        QStringList named;
        for (const QString& line : lines.mid(2)) {
            named << line.section(' ', 0, 0) + line.section(':', 1);
        }
        named.sort(); // the report goes by title
        QCOMPARE(named, (QStringList{left[0] + " lipsa", left[1] + " lipsa", left[2] + " lipsa",
                                     scanned.last() + " in alt loc: Raft 3"}));
    }
};

QTEST_MAIN(TestShelfRoundTrip)
#include "tst_shelfroundtrip.moc"
