#include "isbn/CBookDetailsStore.h"
#include "support/GuiDriver.h"
#include "view/ui/CShelfwardenView.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStandardPaths>

namespace {

// Scans codes into the inventory window, as a scanner types them, noting what it says of each.
void ScanInto(QWidget* dlg, const QStringList& codes, QStringList& said) {
    auto* field = dlg->findChild<QLineEdit*>("code");
    for (const QString& code : codes) {
        QTest::keyClicks(field, code);
        QTest::keyClick(field, Qt::Key_Return);
        said << dlg->findChild<QLabel*>("lastScan")->text();
    }
}

QString Report(QWidget* dlg) {
    return dlg->findChild<QPlainTextEdit*>("report")->toPlainText();
}

int Ticked(QWidget* dlg) {
    auto* books = dlg->findChild<QListWidget*>("books");
    int ticked = 0;
    for (int i = 0; i < books->count(); ++i) {
        ticked += books->item(i)->checkState() == Qt::Checked ? 1 : 0;
    }
    return ticked;
}

} // namespace

class TestInventory : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { UseTemporarySettings(); }

    // Three books on "Raft 1", one on "Raft 3". The check of Raft 1 scans two of its books
    // (one twice), the one from Raft 3 and a code no book has; the window is closed, opened
    // again on the same check, and the report names the missing book and the misplaced one.
    // Ending the check forgets it.
    void shelfCheckLeftAndTakenUp() {
        LibraryApp run;
        const QStringList ids = run.column(0);
        CBookDetailsStore store(*run.view()->Database(), [](const std::string&) {});
        for (int i = 0; i < 4; ++i) {
            BookDetails details;
            details.locatie = i < 3 ? "Raft 1" : "Raft 3";
            QVERIFY(store.Write(ids[i].toInt(), details));
        }
        QStringList said;
        QString report;
        WhenModal([&](QWidget* dlg) {
            Choose(dlg, "shelf", dlg->findChild<QComboBox*>("shelf")->findText("Raft 1"));
            ScanInto(dlg, {"SW" + ids[0], "SW" + ids[3], "SW" + ids[0], "SW9999", "SW" + ids[1]},
                     said);
            QCOMPARE(Ticked(dlg), 2);
            Press(dlg, "cancel");
        });
        run.trigger("recordsInventory");
        QCOMPARE(said.size(), 5);
        QVERIFY(said[0].endsWith(": bifata"));
        QVERIFY(said[2].endsWith("scanata deja, numarata o data"));
        QCOMPARE(said[3], QString("Nici o carte nu are codul SW9999"));
        bool shelfLocked = false;
        WhenModal([&](QWidget* dlg) {
            shelfLocked = !dlg->findChild<QComboBox*>("shelf")->isEnabled() &&
                          dlg->findChild<QComboBox*>("shelf")->currentText() == "Raft 1";
            report = Report(dlg);
            Press(dlg, "cancel");
        });
        run.trigger("recordsInventory");
        QVERIFY(shelfLocked);
        const QString title3 = run.column(1)[2];
        const QString title4 = run.column(1)[3];
        QVERIFY2(report.startsWith("Inventar: Raft 1\nScanate: 3 carti; lipsa: 1; in alt loc: 1\n"),
                 qPrintable(report));
        QVERIFY(report.contains("SW" + ids[2] + "  " + title3));
        QVERIFY(report.contains(title3 + " - " + run.column(2)[2] + ": lipsa"));
        QVERIFY(report.contains(title4 + " - " + run.column(2)[3] + ": in alt loc: Raft 3"));
        run.prompts.answers.push_back(true);
        WhenModal([&](QWidget* dlg) {
            Press(dlg, "finish");
            shelfLocked = !dlg->findChild<QComboBox*>("shelf")->isEnabled();
            report = Report(dlg);
            Press(dlg, "cancel");
        });
        run.trigger("recordsInventory");
        QVERIFY(!shelfLocked);
        QVERIFY(report.contains("Scanate: 0 carti"));
        QCOMPARE(run.prompts.questions,
                 QStringList{"(nu) Incheiati inventarul? Cartile scanate sunt uitate."});
    }
};

QTEST_MAIN(TestInventory)
#include "tst_inventory.moc"
