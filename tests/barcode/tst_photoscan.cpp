#include "barcode/BookConfirmer.h"
#include "barcode/TestPictures.h"
#include "isbn/ui/CIsbnCommands.h"
#include "shell/AppSettings.h"
#include "support/GuiDriver.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QStatusBar>

using namespace test_pictures;

namespace {

// The program on the test library with its ISBN window up; the look-up is off, so each ISBN
// opens the book dialog at once.
struct PhotoRun : LibraryApp {
    CIsbnEntryDlg* window = nullptr;

    PhotoRun() {
        Settings().isbnLookup = 0;
        trigger("recordsAddByIsbn");
        window = frame()->CommandTarget<CIsbnCommands>()->Window();
    }
    Texts stored(const char* sql) const { return RawCatalogue(file()).rows(sql); }
};

} // namespace

class TestPhotoScan : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { UseTemporarySettings(); }

    // Three photos: two books on one, none on another, one on the third. Each ISBN opens the
    // book dialog as a scan would, and the summary names the photos that held none or several.
    void photosAddTheirBooks() {
        PhotoRun run;
        QTemporaryDir dir;
        const QString two = dir.filePath("doua.jpg");
        const QString none = dir.filePath("nimic.png");
        const QString one = dir.filePath("coperta.png");
        QVERIFY(OnBusyPage({Ean13("9780140449136"), Turned(Ean13("9791032305690"), 12)},
                           {{60, 80}, {700, 420}})
                    .save(two, "JPEG", 80));
        QVERIFY(OnBusyPage({Ean13("9771234567003")}, {{300, 300}}).save(none));
        QVERIFY(Blurred(Ean13("9786061234561"), 1).save(one));
        run.prompts.fileLists.push_back(QStringList{two, none, one});
        BookConfirmer books;
        run.window->findChild<QPushButton*>("fromPhotos")->click();
        QTRY_COMPARE_WITH_TIMEOUT(run.stored("SELECT count(*) FROM books"), Texts{"7"}, 30000);
        QCOMPARE(books.isbns, (QStringList{"9780140449136", "9791032305690", "9786061234561"}));
        QCOMPARE(run.stored("SELECT isbn FROM book_details ORDER BY id"),
                 (Texts{"9780140449136", "9791032305690", "9786061234561"}));
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"doua.jpg: 2 coduri\nnimic.png: nici un ISBN; 9771234567003 nu este "
                             "ISBN"});
        QVERIFY(run.prompts.fileRequests.constFirst().startsWith("files|Imagini ("));
    }

    // Ctrl+V in the field takes a picture from the clipboard as a scan; a text pastes as text.
    void pastedPictureIsScanned() {
        PhotoRun run;
        auto* field = run.window->findChild<QLineEdit*>("isbn");
        QGuiApplication::clipboard()->setText("978-0-451");
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(field->text(), QString("978-0-451"));
        field->clear();
        QGuiApplication::clipboard()->setImage(Turned(Ean13("9780451526533"), 20));
        BookConfirmer books;
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(run.stored("SELECT count(*) FROM books"), Texts{"5"}, 30000);
        QCOMPARE(books.isbns, QStringList{"9780451526533"});
        QVERIFY(field->text().isEmpty());
        QVERIFY(run.prompts.takeMessages().isEmpty());
    }
};

QTEST_MAIN(TestPhotoScan)
#include "tst_photoscan.moc"
