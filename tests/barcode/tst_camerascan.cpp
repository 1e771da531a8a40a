#include "barcode/BookConfirmer.h"
#include "barcode/TestPictures.h"
#include "barcode/ui/CCameraPanel.h"
#include "isbn/ui/CIsbnCommands.h"
#include "shell/AppSettings.h"
#include "support/GuiDriver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QVideoFrame>
#include <QVideoFrameFormat>
#include <QVideoSink>
#include <cstring>

using namespace test_pictures;

namespace {

// A camera's frame showing the picture.
QVideoFrame FrameOf(const QImage& picture) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    QVideoFrame frame(QVideoFrameFormat(argb.size(), QVideoFrameFormat::Format_BGRA8888));
    frame.map(QVideoFrame::WriteOnly);
    for (int y = 0; y < argb.height(); ++y) {
        std::memcpy(frame.bits(0) + y * frame.bytesPerLine(0), argb.constScanLine(y),
                    static_cast<std::size_t>(argb.width()) * 4);
    }
    frame.unmap();
    return frame;
}

// The program with its ISBN window up and the look-up off: each ISBN opens the book dialog.
struct CameraRun : LibraryApp {
    CIsbnEntryDlg* window = nullptr;
    CCameraPanel* camera = nullptr;
    BookConfirmer books;

    CameraRun() {
        Settings().isbnLookup = 0;
        trigger("recordsAddByIsbn");
        window = frame()->CommandTarget<CIsbnCommands>()->Window();
        camera = window->findChild<CCameraPanel*>();
    }
    Texts stored(const char* sql) const { return RawCatalogue(file()).rows(sql); }
};

// Shows the picture to the camera every 30 ms for `ms` milliseconds.
void Show(QVideoSink& camera, const QImage& picture, int ms) {
    const QVideoFrame frame = FrameOf(picture);
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        camera.setVideoFrame(frame);
        QTest::qWait(30);
    }
}

} // namespace

class TestCameraScan : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { UseTemporarySettings(); }

    // A book held before the camera for a second is one scan; another book after it is the
    // next; the first shown again within 3 seconds is not taken again.
    void framesOfABookAreOneScan() {
        CameraRun run;
        QVideoSink camera;
        run.camera->Watch(&camera);
        Show(camera, Turned(Ean13("9780451526533"), 8), 1000);
        Show(camera, Ean13("9791032305690"), 600);
        Show(camera, Ean13("9780451526533"), 600);
        QTRY_COMPARE(run.stored("SELECT count(*) FROM books"), Texts{"6"});
        QTest::qWait(300);
        QCOMPARE(run.books.isbns, (QStringList{"9780451526533", "9791032305690"}));
        QCOMPARE(run.window->findChild<QLabel*>("cameraSaid")->text(),
                 QString("Citit: ISBN 9791032305690"));
        QCOMPARE(run.stored("SELECT count(*) FROM books"), Texts{"6"});
    }

    // With no camera the window says so, and an ISBN typed still goes in.
    void noCamera() {
        CameraRun run;
        auto* button = run.window->findChild<QPushButton*>("camera");
        button->click();
        QCOMPARE(run.window->findChild<QLabel*>("cameraSaid")->text(),
                 QString("Nu s-a gasit nici o camera"));
        QVERIFY(!button->isChecked());
        auto* field = run.window->findChild<QLineEdit*>("isbn");
        QTest::keyClicks(field, "9780451526533");
        QTest::keyClick(field, Qt::Key_Return);
        QTRY_COMPARE(run.stored("SELECT count(*) FROM books"), Texts{"5"});
    }
};

QTEST_MAIN(TestCameraScan)
#include "tst_camerascan.moc"
