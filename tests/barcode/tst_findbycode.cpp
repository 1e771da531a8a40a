#include "support/GuiDriver.h"
#include "view/ui/CShelfwardenView.h"

#include <QLineEdit>
#include <QStandardPaths>
#include <QStatusBar>

namespace {

QString SelectedId(RunningApp& run) {
    const int row = run.view()->FirstSelectedRow();
    return row < 0 ? QString() : run.column(0)[row];
}

QLineEdit* QuickFilter(RunningApp& run) {
    return run.frame()->findChild<QLineEdit*>("quickFilter");
}

} // namespace

class TestFindByCode : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { UseTemporarySettings(); }

    // A label scanned into the quick filter: Enter empties the filter and selects the book.
    void codeInTheQuickFilter() {
        LibraryApp run;
        const QString id = run.column(0)[3];
        QLineEdit* filter = QuickFilter(run);
        QTest::keyClicks(filter, "SW" + id);
        QCOMPARE(run.view()->model()->rowCount(), 0); // as typed, it filters
        QTest::keyClick(filter, Qt::Key_Return);
        QVERIFY(filter->text().isEmpty());
        QCOMPARE(SelectedId(run), id);
        QCOMPARE(run.frame()->statusBar()->currentMessage(), "Cartea cu codul SW" + id);
        // Words typed into the filter stay, Enter or not.
        QTest::keyClicks(filter, "dune");
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(filter->text(), QString("dune"));
    }

    // Scanned while the list has the focus, the code's Enter selects its book instead of
    // opening the selected one (a dialog coming up would fail the test); the book is found
    // even when the listing shown lacks it, and a code no book has is said so.
    void codeInTheList() {
        LibraryApp run;
        CShelfwardenView* view = run.view();
        const QStringList all = run.column(0);
        run.trigger("viewRead");
        const QString first = run.column(0)[0];
        QString last;
        for (const QString& id : all) {
            last = run.column(0).contains(id) ? last : id;
        }
        QVERIFY(!last.isEmpty());
        view->setFocus();
        run.selectRow(0);
        QTest::keyClicks(view, "SW" + last);
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(SelectedId(run), last);
        QTest::keyClicks(view, "sw" + QString::number(first.toInt()));
        QTest::keyClick(view, Qt::Key_Enter);
        QCOMPARE(SelectedId(run), first);
        QTest::keyClicks(view, "SW9999");
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(run.frame()->statusBar()->currentMessage(),
                 QString("Nici o carte nu are codul SW9999"));
        // Enter alone still opens the selected book.
        run.selectRow(0);
        bool opened = false;
        WhenModal([&opened](QWidget* dlg) {
            opened = true;
            Press(dlg, "cancel");
        });
        QTest::keyClick(view, Qt::Key_Return);
        QVERIFY(opened);
    }
};

QTEST_MAIN(TestFindByCode)
#include "tst_findbycode.moc"
