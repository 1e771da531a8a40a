#include "backup/CatalogueBackups.h"
#include "support/GuiDriver.h"

namespace {
const QString kToday = QString::fromStdString(DayText(LocalToday()));

// The list of copies as "day|books", one row each.
QStringList Listed(QWidget* dialog) {
    auto* list = dialog->findChild<QTableWidget*>("backupList");
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r) {
        out << list->item(r, 0)->text() + "|" + list->item(r, 2)->text();
    }
    return out;
}

// Opens File > Copii de siguranta, notes what it lists and presses `button` on the newest copy.
QStringList PressOnNewest(RunningApp& run, const char* button) {
    QStringList listed;
    WhenModal([&](QWidget* dialog) {
        listed = Listed(dialog);
        Press(dialog, button);
    });
    run.trigger("fileBackups");
    return listed;
}
} // namespace

class TestBackupsDialog : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void aMistakenDeleteOfEveryBookIsRestoredAndTheRestoreUndone() {
        LibraryApp run;
        const QStringList books = run.rows();
        QCOMPARE(books.size(), 4);
        QVERIFY(RawCatalogue(run.file()).exec("DELETE FROM books"));
        run.trigger("viewAll");
        QCOMPARE(run.rows(), QStringList());

        run.prompts.answers = {true};
        QCOMPARE(PressOnNewest(run, "restore"), QStringList{kToday + "|4"});
        QCOMPARE(run.rows(), books);
        QVERIFY(run.prompts.questions.value(0).startsWith(
            "Baza de date va fi inlocuita cu copia din " + kToday + " (4 carti)."));

        run.prompts.answers = {true};
        QCOMPARE(PressOnNewest(run, "restore"), (QStringList{kToday + " (2)|0", kToday + "|4"}));
        QCOMPARE(run.rows(), QStringList());
        QCOMPARE(run.doc()->GetPathName(), run.Library::path);
        QCOMPARE(run.prompts.messages, QStringList());
    }

    void aCopyOpensForReadingOnly() {
        LibraryApp run;
        const QStringList books = run.rows();
        QVERIFY(RawCatalogue(run.file()).exec("DELETE FROM books WHERE titlu = 'Dune'"));
        PressOnNewest(run, "openCopy");
        QCOMPARE(run.rows(), books);
        QVERIFY(run.frame()->windowTitle().endsWith(kToday + ".mdb (copie, doar citire)"));
        const std::string copy = run.doc()->GetDatabase()->GetPath();
        const std::string before = RawCatalogue(copy).one("SELECT count(*) FROM books");
        QVERIFY(!run.doc()->GetDatabase()->DeleteBook(1));
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kCannotDelete});
        QCOMPARE(RawCatalogue(copy).one("SELECT count(*) FROM books"), before);
    }

    void aFailingBackupIsToldOnceAndTheWorkGoesOn() {
        QTemporaryDir dir;
        QFile file(dir.filePath("file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        StoreSettings({{"Backup Folder", dir.filePath("file/backups")}});
        LibraryApp run;
        QCOMPARE(run.rows().size(), 4);
        run.prompts.files = {run.Library::path};
        run.trigger("fileOpen");
        const QStringList messages = run.prompts.takeMessages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].startsWith(msg::kBackupFailed));
        QCOMPARE(run.rows().size(), 4);
    }
};

QTEST_MAIN(TestBackupsDialog)
#include "tst_backupsdialog.moc"
