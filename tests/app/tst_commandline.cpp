#include "CoreTestSupport.h"
#include "RawCatalogue.h"

#include <QFile>
#include <QProcess>
#include <QTest>

namespace {
struct Run {
    int status;
    QString out;
    QString err;
};

Run Shelfwarden(const QStringList& args) {
    QProcess p;
    // No display at all: a transfer that tried to open a window would fail here.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SHELFWARDEN_BINARY), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

void Write(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void helpAndVersion() {
        const Run help = Shelfwarden({"--help"});
        QCOMPARE(help.status, 0);
        for (const char* option :
             {"--export CATALOGUE FILE.csv", "--import FILE.csv CATALOGUE", "--version"}) {
            QVERIFY2(help.out.contains(option), option);
        }
        const Run version = Shelfwarden({"--version"});
        QCOMPARE(version.out, QStringLiteral("Shelfwarden 1.0\n"));
    }

    void importThenExport() {
        QTemporaryDir dir;
        const QString csv = dir.filePath("in.csv");
        Write(csv, "Title,Author,Exclusive Shelf,My Rating\r\nDune,Frank Herbert,read,4\r\n"
                   "\"Emma, a novel\",Jane Austen,to-read,0\r\n");
        const QString catalogue = dir.filePath("new.mdb");
        const Run imported = Shelfwarden({"--import", csv, catalogue});
        QCOMPARE(imported.status, 0);
        QCOMPARE(imported.out.trimmed(), "Imported 2 books, 1 types, 1 states into " + catalogue);
        const QString out = dir.filePath("out.csv");
        QCOMPARE(Shelfwarden({"--export", catalogue, out}).status, 0);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(
            f.readAll(),
            QByteArray(
                "ID,Titlu,Autor,Editura,Tip,Pagini,Capitole,Volume,An aparitie,"
                "An publicare volum,Citita,Calificativ,Stare\r\n"
                "0001,Dune,Frank Herbert,-,Alte,1,1,1,1,1,Da,Excelenta,Nedetinuta\r\n"
                "0002,\"Emma, a novel\",Jane Austen,-,Alte,1,1,1,1,1,Nu,De citit,Nedetinuta\r\n"));
    }

    void errorsGoToStandardError() {
        QTemporaryDir dir;
        const Run missingArgs = Shelfwarden({"--export", "only-one"});
        QCOMPARE(missingArgs.status, 2);
        QVERIFY(missingArgs.err.contains("--export needs a catalogue and a CSV file"));
        QCOMPARE(Shelfwarden({"--frobnicate"}).status, 2);
        const Run noCatalogue =
            Shelfwarden({"--export", dir.filePath("none.mdb"), dir.filePath("x.csv")});
        QCOMPARE(noCatalogue.status, 1);
        QVERIFY(noCatalogue.err.contains("Nu se poate deschide baza de date"));
        QVERIFY(!QFile::exists(dir.filePath("none.mdb")));
        const Run noCsv =
            Shelfwarden({"--import", dir.filePath("none.csv"), dir.filePath("c.mdb")});
        QCOMPARE(noCsv.status, 1);
        QVERIFY(noCsv.err.contains("cannot be read"));

        const QString bad = dir.filePath("bad.csv");
        Write(bad, "Titlu,Pagini\nGood,1\nBad,many\n");
        const Run failed = Shelfwarden({"--import", bad, dir.filePath("c.mdb")});
        QCOMPARE(failed.status, 1);
        QVERIFY2(failed.err.contains(bad + ":3: Pagini is not an integer"), qPrintable(failed.err));
        QVERIFY(
            !QFile::exists(dir.filePath("c.mdb"))); // a catalogue made for the import goes again
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
