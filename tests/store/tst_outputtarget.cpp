#include "store/OutputTarget.h"
#include "store/SiblingFiles.h"
#include "support/CoreTestSupport.h"

#include <QDir>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(OutputRefusal)

class TestOutputTarget : public QObject {
    Q_OBJECT
private slots:
    void everyOutputIsCheckedAgainstTheCatalogueAndItsFolder_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<OutputRefusal>("refusal");
        using R = OutputRefusal;
        QTest::newRow("a new file") << "out.csv" << R::None;
        QTest::newRow("an earlier file") << "old.csv" << R::None;
        QTest::newRow("the catalogue") << "cat.mdb" << R::CatalogueFile;
        QTest::newRow("a link to it") << "link.mdb" << R::CatalogueFile;
        QTest::newRow("its journal, not there") << "cat.mdb-journal" << R::CatalogueFile;
        QTest::newRow("its log, not there") << "cat.mdb-wal" << R::CatalogueFile;
        QTest::newRow("its shared memory, there") << "cat.mdb-shm" << R::CatalogueFile;
        QTest::newRow("another name of its shared memory") << "shm.csv" << R::CatalogueFile;
        QTest::newRow("its journal through a linked folder")
            << "linked/cat.mdb-journal" << R::CatalogueFile;
        QTest::newRow("its journal by a path with dots")
            << "sub/../cat.mdb-journal" << R::CatalogueFile;
        QTest::newRow("another catalogue's journal") << "other.mdb-journal" << R::None;
        QTest::newRow("a folder") << "sub" << R::NotRegularFile;
        QTest::newRow("a missing folder") << "none/out.csv" << R::FolderNotWritable;
    }

    void everyOutputIsCheckedAgainstTheCatalogueAndItsFolder() {
        QFETCH(QString, target);
        QFETCH(OutputRefusal, refusal);
        QTemporaryDir dir;
        const QString catalogue = dir.filePath("cat.mdb");
        WriteFile(catalogue, "SQLite format 3");
        WriteFile(dir.filePath("old.csv"), "earlier");
        WriteFile(dir.filePath("cat.mdb-shm"), "");
        QVERIFY(QFile::link(catalogue, dir.filePath("link.mdb")));
        QVERIFY(::link(qPrintable(dir.filePath("cat.mdb-shm")),
                       qPrintable(dir.filePath("shm.csv"))) == 0);
        QVERIFY(QDir(dir.path()).mkdir("sub"));
        QVERIFY(QFile::link(dir.path(), dir.filePath("linked")));
        const OutputCheck check =
            CheckOutputTarget(dir.filePath(target).toStdString(), catalogue.toStdString());
        QCOMPARE(check.refusal, refusal);
        QCOMPARE(static_cast<bool>(check), refusal == OutputRefusal::None);
        // With no catalogue open only the file and its folder count.
        QCOMPARE(CheckOutputTarget(dir.filePath(target).toStdString(), "").refusal,
                 refusal == OutputRefusal::CatalogueFile ? OutputRefusal::None : refusal);
    }

    void aNewNameIsNeverTakenFromAFileThere() {
        QTemporaryDir dir;
        const std::string target = dir.filePath("new.mdb").toStdString();
        const std::string temporary = TemporarySibling(target);
        WriteFile(QString::fromStdString(temporary), "new");
        WriteFile(QString::fromStdString(target), "appeared meanwhile");
        QCOMPARE(RenameIntoNewPlace(temporary, target), std::string("File exists"));
        QCOMPARE(FileBytes(target), QByteArray("appeared meanwhile"));
        QVERIFY(QFile::remove(QString::fromStdString(target)));
        QCOMPARE(RenameIntoNewPlace(temporary, target), std::string());
        QCOMPARE(FileBytes(target), QByteArray("new"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"new.mdb"});
    }

    void aTemporaryNameFitsBesideTheLongestName() {
        for (const int length : {5, 244, 255}) {
            QTemporaryDir dir;
            const std::string target = dir.filePath(QString(length, 'n')).toStdString();
            const QString temporary = QString::fromStdString(TemporarySibling(target));
            WriteFile(temporary, "x");
            QVERIFY(QFile::exists(temporary));
            // An abandoned temporary of a process that is gone is found again by its name.
            const QString abandoned =
                temporary.left(temporary.lastIndexOf("part-") + 5) + "999999999-0";
            QVERIFY(QFile::rename(temporary, abandoned));
            RemoveAbandonedTemporaries(target);
            QVERIFY(!QFile::exists(abandoned));
        }
    }
};

QTEST_GUILESS_MAIN(TestOutputTarget)
#include "tst_outputtarget.moc"
