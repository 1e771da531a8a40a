#include "support/CoreTestSupport.h"
#include "transfer/NewCatalogueImport.h"

#include <QDir>

namespace {
QByteArray Books(int n) {
    QByteArray csv = "Titlu,Pagini\n";
    for (int i = 0; i < n; ++i) {
        csv += "Carte " + QByteArray::number(i) + "," + QByteArray::number(i + 1) + "\n";
    }
    return csv;
}
} // namespace

class TestNewCatalogueImport : public QObject {
    Q_OBJECT
private slots:
    // Another import, a copy or a person puts a file at the name while the import runs.
    void aFileThatAppearsMeanwhileIsLeftAlone_data() {
        QTest::addColumn<QByteArray>("appearing");
        QTest::newRow("another catalogue") << QByteArray("SQLite format 3\0 another", 25);
        QTest::newRow("an empty file") << QByteArray();
    }

    void aFileThatAppearsMeanwhileIsLeftAlone() {
        QFETCH(QByteArray, appearing);
        QTemporaryDir dir;
        const QString target = dir.filePath("n.mdb");
        const QByteArray csv = Books(3000);
        ImportOptions options;
        bool appeared = false;
        // After the import's first batch, before its end.
        options.progress = [&](std::size_t, std::size_t) {
            if (!appeared) {
                appeared = true;
                WriteFile(target, appearing);
            }
            return true;
        };
        RecordingSink sink;
        const ImportResult r =
            ImportIntoNewCatalogue(csv.toStdString(), target.toStdString(), options, sink.sink());
        QVERIFY(appeared);
        QVERIFY(!r.ok);
        QVERIFY(r.catalogueFailed);
        QCOMPARE(r.error, std::string("cannot be made: File exists"));
        QCOMPARE(FileBytes(target), appearing);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"n.mdb"});
    }
};

QTEST_GUILESS_MAIN(TestNewCatalogueImport)
#include "tst_newcatalogueimport.moc"
