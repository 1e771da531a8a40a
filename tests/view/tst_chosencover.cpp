#include "support/GuiDriver.h"

#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

namespace {

// The cover stored for the book of this title: its size as a picture, or "none".
QString StoredCover(const Library& lib, const char* title) {
    const std::string hex = RawCatalogue(lib.file())
                                .one(std::string("SELECT hex(image) FROM book_covers JOIN books "
                                                 "USING (id) WHERE titlu = '") +
                                     title + "'");
    const QImage cover = QImage::fromData(QByteArray::fromHex(QByteArray::fromStdString(hex)));
    return cover.isNull() ? QStringLiteral("none")
                          : QStringLiteral("%1x%2").arg(cover.width()).arg(cover.height());
}

QString WritePicture(RunningApp& run, const char* name, int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor(200, 30, 30));
    const QString path = run.path(QString::fromUtf8(name));
    picture.save(path);
    return path;
}

// Opens the book of this row in the book dialog at its Detalii page, and does `act` there.
void OnDetails(RunningApp& run, int row, std::function<void(QWidget*)> act) {
    run.selectRow(row);
    WhenModal([act](QWidget* dlg) {
        dlg->findChild<QTabWidget*>("pages")->setCurrentIndex(1);
        act(dlg);
    });
    run.trigger("recordsModify");
}

int Row(RunningApp& run, const char* title) {
    return static_cast<int>(run.column(1).indexOf(QString::fromUtf8(title)));
}

} // namespace

class TestChosenCover : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void aFileChosenIsKeptSmallAndComesBackWithTheUndoOfADelete() {
        LibraryApp run;
        run.prompts.files.push_back(WritePicture(run, "tall.png", 400, 1200));
        OnDetails(run, Row(run, "Ion"), [](QWidget* dlg) {
            QVERIFY(!dlg->findChild<QPushButton*>("removeCover")->isEnabled());
            Press(dlg, "chooseCover");
            QVERIFY(dlg->findChild<QPushButton*>("removeCover")->isEnabled());
            Press(dlg, "ok");
        });
        QCOMPARE(run.prompts.fileRequests,
                 QStringList{"open|Imagini (*.jpg *.jpeg *.png *.bmp *.gif *.webp);;Toate "
                             "fisierele (*)|"});
        QCOMPARE(StoredCover(run, "Ion"), QStringLiteral("200x600"));
        // Undone as any change of the book, and done again.
        run.trigger("editUndo");
        QCOMPARE(StoredCover(run, "Ion"), QStringLiteral("none"));
        run.trigger("editRedo");
        QCOMPARE(StoredCover(run, "Ion"), QStringLiteral("200x600"));

        run.selectRow(Row(run, "Ion"));
        run.trigger("recordsDelete");
        QCOMPARE(RawCatalogue(run.Library::file()).one("SELECT count(*) FROM book_covers"),
                 std::string("0"));
        run.trigger("editUndo");
        QCOMPARE(StoredCover(run, "Ion"), QStringLiteral("200x600"));

        // The dialog shows it again, and Sterge coperta removes it.
        OnDetails(run, Row(run, "Ion"), [](QWidget* dlg) {
            QVERIFY(!dlg->findChild<QLabel*>("coperta")->pixmap().isNull());
            Press(dlg, "removeCover");
            Press(dlg, "ok");
        });
        QCOMPARE(StoredCover(run, "Ion"), QStringLiteral("none"));
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void aPictureDroppedOrPastedBecomesTheCover() {
        LibraryApp run;
        const QString small = WritePicture(run, "small.png", 120, 180);
        OnDetails(run, Row(run, "Dune"), [&](QWidget* dlg) {
            auto* cover = dlg->findChild<QLabel*>("coperta");
            QMimeData dropped;
            dropped.setUrls({QUrl::fromLocalFile(small)});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
            QApplication::sendEvent(cover, &enter);
            QVERIFY(enter.isAccepted());
            QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dropped, Qt::LeftButton, {});
            QApplication::sendEvent(cover, &drop);
            Press(dlg, "ok");
        });
        // A small picture keeps its size.
        QCOMPARE(StoredCover(run, "Dune"), QStringLiteral("120x180"));

        QImage wide(900, 700, QImage::Format_ARGB32);
        wide.fill(Qt::transparent);
        QApplication::clipboard()->setImage(wide);
        OnDetails(run, Row(run, "Odiseea"), [](QWidget* dlg) {
            auto* cover = dlg->findChild<QLabel*>("coperta");
            cover->setFocus();
            QTest::keyClick(cover, Qt::Key_V, Qt::ControlModifier);
            Press(dlg, "ok");
        });
        QCOMPARE(StoredCover(run, "Odiseea"), QStringLiteral("771x600"));

        // What is no picture is refused, and the cover stays as it was.
        QApplication::clipboard()->setText(QStringLiteral("no picture"));
        OnDetails(run, Row(run, "Dune"), [](QWidget* dlg) {
            auto* cover = dlg->findChild<QLabel*>("coperta");
            cover->setFocus();
            QTest::keyClick(cover, Qt::Key_V, Qt::ControlModifier);
            Press(dlg, "ok");
        });
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Nu este o imagine care sa poata fi coperta."});
        QCOMPARE(StoredCover(run, "Dune"), QStringLiteral("120x180"));
    }
};

QTEST_MAIN(TestChosenCover)
#include "tst_chosencover.moc"
