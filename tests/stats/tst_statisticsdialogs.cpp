#include "support/GuiDriver.h"

class TestStatisticsDialogs : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void figuresAndRowsGoToTheirControls() {
        LibraryApp run;
        QStringList seen;
        WhenModal([&](QWidget* dlg) {
            seen << dlg->windowTitle();
            for (int control : {1021, 1022, 1024, 1025, 1030, 1032, 1035, 1023, 1044, 1045}) {
                seen << dlg->findChild<QLabel*>(QStringLiteral("figure%1").arg(control))->text();
            }
            Press(dlg, "ok");
        });
        run.trigger("statsGeneral");
        QCOMPARE(seen, (QStringList{"Shelfwarden Statistics", "4", "2", "1301", "900", "4",
                                    "325.25", "450.00", "1", "1", "1"}));

        // Each list read whole, its headers first.
        QStringList rows;
        auto read = [&](QWidget* dlg) {
            auto* list = dlg->findChild<QTableWidget*>("results");
            for (int r = -1; r < list->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < list->columnCount(); ++c) {
                    cells << (r < 0 ? list->horizontalHeaderItem(c) : list->item(r, c))->text();
                }
                rows << cells.join('|');
            }
            Press(dlg, "ok");
        };
        WhenModal(read);
        run.trigger("statsAuthors");
        WhenModal(read);
        run.trigger("statsPublishers");
        QCOMPARE(rows.mid(0, 6), (QStringList{"Nr|Autor|Carti|Citite|Volume|Pagini|Capitole",
                                              "1|Herbert|1|1|1|600|1", "2|Homer|1|1|1|300|1",
                                              "3|Nimeni|1|0|0|0|0", "4|Rebreanu|1|0|0|0|0",
                                              "Nr|Editura|Carti|Citite|Volume|Pagini|Capitole"}));
        QCOMPARE(rows[6], QStringLiteral("1|Minerva|1|0|0|0|0"));
        QVERIFY(run.prompts.messages.isEmpty());
    }
};

QTEST_MAIN(TestStatisticsDialogs)
#include "tst_statisticsdialogs.moc"
