#include "isbn/CBookCoverStore.h"
#include "isbn/CBookDetailsStore.h"
#include "isbn/LookupCache.h"
#include "support/GuiDriver.h"
#include "view/ui/CCoverGrid.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>

namespace {

QByteArray Jpeg(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(QColor(20, 90, 160));
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    picture.save(&out, "JPEG");
    return bytes;
}

CCoverGrid* ShowGrid(RunningApp& run) {
    run.frame()->resize(900, 700);
    run.frame()->show();
    run.trigger("viewCovers");
    auto* grid = run.frame()->findChild<CCoverGrid*>(QStringLiteral("coverGrid"));
    QApplication::processEvents();
    return grid;
}

// The titles the grid shows, in its order, read from where it draws them.
QStringList Shown(CCoverGrid* grid) {
    QStringList titles;
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        if (!grid->isRowHidden(row)) {
            titles << grid->model()->index(row, grid->modelColumn()).data().toString();
        }
    }
    return titles;
}

void ClickItem(CCoverGrid* grid, int row, Qt::KeyboardModifiers keys = {}) {
    const QRect item = grid->visualRect(grid->model()->index(row, grid->modelColumn()));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, keys, item.center());
}

} // namespace

class TestCoverGrid : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void theGridAndTheListShareSelectionFilterAndListing() {
        LibraryApp run;
        CCoverGrid* grid = ShowGrid(run);
        QVERIFY(grid && grid->isVisible());
        QVERIFY(!run.view()->isVisible());
        QCOMPARE(Shown(grid), run.column(1));

        // Chosen in the grid, chosen in the list, and the other way round.
        ClickItem(grid, 2);
        QCOMPARE(run.view()->FirstSelectedRow(), 2);
        run.selectRow(1);
        QCOMPARE(grid->selectionModel()->selectedRows().size(), 1);
        QCOMPARE(grid->selectionModel()->selectedRows().first().row(), 1);

        // Enter and a double-click open the book chosen.
        QStringList opened;
        WhenModal([&](QWidget* dlg) {
            opened << Value(dlg, "titlu");
            Press(dlg, "cancel");
        });
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Return);
        WhenModal([&](QWidget* dlg) {
            opened << Value(dlg, "titlu");
            Press(dlg, "cancel");
        });
        const QRect item = grid->visualRect(grid->model()->index(3, grid->modelColumn()));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, item.center());
        QCOMPARE(opened, (QStringList{run.column(1).at(1), run.column(1).at(3)}));

        // The quick filter and a search narrow both.
        auto* filter = run.frame()->findChild<QLineEdit*>(QStringLiteral("quickFilter"));
        QVERIFY(filter);
        QTest::keyClicks(filter, QStringLiteral("odis"));
        QCOMPARE(Shown(grid), QStringList{"Odiseea"});
        filter->clear();
        WhenModal(Answer(QStringLiteral("Rebreanu")));
        run.trigger("searchAuthor");
        QCOMPARE(Shown(grid), QStringList{"Ion"});

        // Back to the list, which shows the same listing.
        run.trigger("viewCovers");
        QVERIFY(run.view()->isVisible());
        QCOMPARE(run.column(1), QStringList{"Ion"});
    }

    void coversAreMadeSmallOnceAndOnlyForWhatIsOnScreen() {
        LibraryApp run;
        {
            CBookDatabase& db = *run.doc()->GetDatabase();
            for (int i = 0; i < 300; ++i) {
                QVERIFY(db.InsertBook("Carte " + std::to_string(1000 + i), "Autor", "Editura", 0,
                                      100, 1, 1, 2000, 2000, 0, 6, 0));
            }
            // Ion has a cover of its own; Dune one a look-up fetched, by its ISBN.
            QVERIFY(CBookCoverStore(db, nullptr).Write(2, Jpeg(400, 600).toStdString()));
            BookDetails dune;
            dune.isbn = "9780441013593";
            QVERIFY(CBookDetailsStore(db, nullptr).Write(1, dune));
        }
        QTemporaryDir cache;
        const QString thumbnails = cache.filePath(QStringLiteral("coperti"));
        QVERIFY(
            LookupCache(cache.filePath(QStringLiteral("isbn")).toStdString())
                .Write(LookupCache::Kind::Cover, "9780441013593", Jpeg(300, 450).toStdString()));
        auto* grid = run.frame()->findChild<CCoverGrid*>(QStringLiteral("coverGrid"));
        grid->SetFolders(cache.filePath(QStringLiteral("isbn")), thumbnails);
        run.trigger("viewAll");
        QSignalSpy ready(grid, &CCoverGrid::ThumbnailReady);
        ShowGrid(run);
        const int total = grid->model()->rowCount();
        QCOMPARE(total, 304);
        QTRY_VERIFY(ready.count() >= grid->Requested() && grid->Requested() > 0);
        // Only the books in sight were asked for.
        QVERIFY2(grid->Requested() < 60, qPrintable(QString::number(grid->Requested())));

        const QStringList titles = run.column(1);
        const int dune = static_cast<int>(titles.indexOf("Dune"));
        const int ion = static_cast<int>(titles.indexOf("Ion"));
        grid->scrollTo(grid->model()->index(ion, 1));
        grid->Thumbnail(dune);
        grid->Thumbnail(ion);
        QTRY_VERIFY(!grid->Thumbnail(dune).isNull() && !grid->Thumbnail(ion).isNull());
        QCOMPARE(grid->Thumbnail(ion).height(), CCoverGrid::kThumbnailHeight);
        QCOMPARE(grid->Thumbnail(dune).height(), CCoverGrid::kThumbnailHeight);
        // A book without a cover is drawn as its card.
        QVERIFY(grid->Thumbnail(static_cast<int>(titles.indexOf("Odiseea"))).isNull());

        // Kept under the cache folder, each once: the looked-up one by its ISBN.
        QDir kept(thumbnails);
        const QStringList files = kept.entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 2);
        QVERIFY(files.contains(QStringLiteral("isbn-9780441013593-180.jpg")));
        const QDateTime made = QFileInfo(kept.filePath(files.first())).lastModified();
        // Listed again, the thumbnails are read, not made: the look-up's cover may be gone.
        QDir(cache.filePath(QStringLiteral("isbn"))).removeRecursively();
        run.trigger("viewAll");
        grid->Thumbnail(dune);
        QTRY_VERIFY(!grid->Thumbnail(dune).isNull());
        QCOMPARE(QFileInfo(kept.filePath(files.first())).lastModified(), made);
        QCOMPARE(kept.entryList(QDir::Files).size(), 2);
    }
};

QTEST_MAIN(TestCoverGrid)
#include "tst_covergrid.moc"
