#include "backup/CatalogueBackups.h"
#include "support/GuiLibrary.h"

#include <QDir>
#include <QProcess>
#include <filesystem>
#include <map>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
struct Run {
    int status;
    QString out;
    QString err;
};

// A crash reports status -1.
Run Shelfwarden(const QStringList& args, const QString& program = SHELFWARDEN_BINARY,
                const QString& folder = QString()) {
    QProcess p;
    p.setWorkingDirectory(folder);
    // No display at all: a transfer that tried to open a window would fail here.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// Runs the program and checks that it stopped with `status`, saying `said` on standard error.
void Fails(const QStringList& args, int status, const QString& said) {
    const Run r = Shelfwarden(args);
    QCOMPARE(r.status, status);
    QVERIFY2(r.err.contains(said), qPrintable(r.err));
}

// Runs the program through the shell, so that a test can set limits and pass raw bytes.
Run ThroughShell(const QString& script, const QStringList& args) {
    return Shelfwarden(QStringList{"-c", script, SHELFWARDEN_BINARY} + args, "/bin/sh");
}

// Every name in a folder (as bytes) with the content of its regular files; others by kind only.
std::map<std::string, QByteArray> Contents(const QString& dir) {
    std::map<std::string, QByteArray> out;
    for (const auto& e : std::filesystem::directory_iterator(dir.toStdString())) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        QFile f(QString::fromStdString(e.path().string()));
        out[e.path().filename().native()] =
            S_ISREG(st.st_mode) && f.open(QIODevice::ReadOnly) ? f.readAll() : "(not a file)";
    }
    return out;
}

QByteArray Books(int count) {
    QByteArray csv = "Titlu,Autor,Pagini\n";
    for (int i = 0; i < count; ++i) {
        csv += "Book " + QByteArray::number(i) + ",Author " + QByteArray::number(i % 97) + "," +
               QByteArray::number(i % 900 + 1) + "\n";
    }
    return csv;
}
} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void importThenExportAndTheUsersDelimiterAndEncoding() {
        QTemporaryDir dir;
        const QString csv = dir.filePath("in.csv");
        WriteFile(csv, "Title,Author,Exclusive Shelf,My Rating\r\nDune,Frank Herbert,read,4\r\n"
                       "\"Emma, a novel\",Jane Austen,to-read,0\r\n");
        const QString catalogue = dir.filePath("new.mdb");
        const Run imported = Shelfwarden({"--import", csv, catalogue});
        QCOMPARE(imported.status, 0);
        QCOMPARE(imported.out.trimmed(), "Imported 2 books, 1 types, 1 states into " + catalogue);
        const QString out = dir.filePath("out.csv");
        QCOMPARE(Shelfwarden({"--export", catalogue, out}).status, 0);
        QCOMPARE(
            FileBytes(out),
            QByteArray("ID,Titlu,Autor,Editura,Tip,Pagini,Capitole,Volume,An aparitie,"
                       "An publicare volum,Citita,Calificativ,Stare\r\n"
                       "0001,Dune,Frank Herbert,,Alte,,,,,,Da,Excelenta,Nedetinuta\r\n"
                       "0002,\"Emma, a novel\",Jane Austen,,Alte,,,,,,Nu,De citit,Nedetinuta\r\n"));

        // A semicolon file in Windows-1250 gets in when named so, and only then.
        const QString carti = dir.filePath("carti.csv");
        WriteFile(carti, "titlu;autor;pagini\r\nAmintiri;Ion Creang\xe3;0\r\n");
        const QString c = dir.filePath("c.mdb");
        Fails({"--import", carti, c}, 1, carti + ":2: coloana 2 nu este text UTF-8");
        Fails({"--import", carti, c, "--delimiter", ",", "--encoding", "windows-1250"}, 1,
              "nicio coloana cunoscuta in antet");
        QCOMPARE(Shelfwarden({"--import", carti, c, "--encoding", "Windows-1250"}).status, 0);
        QCOMPARE(RawCatalogue(c.toStdString()).rows("SELECT titlu, autor, pagini FROM books"),
                 Texts{"Amintiri|Ion Creangă|NULL"});
        Fails({"--import", carti, c, "--encoding", "latin2"}, 2,
              "--encoding takes UTF-8, Windows-1250 or Windows-1252: latin2");
    }

    void aBackupIsMadeNowAndItsPathPrinted() {
        QTemporaryDir dir;
        // The settings and the data folder of this run, never the user's own.
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
        Library books;
        const QString folder = QString::fromStdString(
            BackupFolderOf(dir.filePath("data/Shelfwarden/backups").toStdString(), books.file()));
        const QString today = QString::fromStdString(DayText(LocalToday()));
        for (const QString& name : {today + ".mdb", today + ".2.mdb"}) {
            const Run made = Shelfwarden({"--backup", books.path});
            QCOMPARE(made.status, 0);
            QCOMPARE(made.out, folder + "/" + name + "\n");
            QVERIFY(QFile::exists(folder + "/" + name));
        }
        const Run refused = Shelfwarden({"--backup", dir.filePath("config")});
        QCOMPARE(refused.status, 1);
        QVERIFY(refused.err.startsWith("shelfwarden: " + dir.filePath("config") + ": "));
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
    }

    // Help and version go to standard output, errors to standard error.
    void helpVersionAndErrors() {
        const Run help = Shelfwarden({"--help"});
        QCOMPARE(help.status, 0);
        for (const char* option : {"--export CATALOGUE FILE.csv", "--import FILE.csv CATALOGUE",
                                   "--backup CATALOGUE", "--version"}) {
            QVERIFY2(help.out.contains(option), option);
        }
        // The import's way of going is said once.
        QCOMPARE(help.out.count(QStringLiteral("all or nothing")), 1);
        QCOMPARE(Shelfwarden({"--version"}).out, QStringLiteral("Shelfwarden 1.0\n"));
        QTemporaryDir dir;
        Fails({"--export", "only-one"}, 2, "--export needs a catalogue and a CSV file");
        QCOMPARE(Shelfwarden({"--frobnicate"}).status, 2);
        Fails({"--export", dir.filePath("none.mdb"), dir.filePath("x.csv")}, 1,
              "Nu se poate deschide baza de date");
        QVERIFY(!QFile::exists(dir.filePath("none.mdb")));
        Fails({"--import", dir.filePath("none.csv"), dir.filePath("c.mdb")}, 1, "cannot be read");

        const QString bad = dir.filePath("bad.csv");
        WriteFile(bad, "Titlu,Pagini\nGood,1\nBad,many\n");
        Fails({"--import", bad, dir.filePath("c.mdb")}, 1,
              bad + ":3: Pagini nu este un numar intreg");
        // A catalogue made for the import goes again.
        QVERIFY(!QFile::exists(dir.filePath("c.mdb")));

        // With --rejects the good rows are stored and the bad one listed; twice, the first run's
        // books are skipped as duplicates.
        const QString rejects = dir.filePath("rejects.csv");
        for (const char* expected :
             {"Imported 1 books, 1 types, 1 states into %1\nRejected 1 rows, written to %2\n",
              "Imported 0 books, 0 types, 0 states into %1\nRejected 1 rows, written to %2\n"
              "Skipped 1 books already in the catalogue\n"}) {
            const Run reported = Shelfwarden({"--import", bad, dir.filePath("c.mdb"), "--rejects",
                                              rejects, "--skip-duplicates"});
            QCOMPARE(reported.status, 0);
            QCOMPARE(reported.out, QString(expected).arg(dir.filePath("c.mdb"), rejects));
        }
        QCOMPARE(FileBytes(rejects).count("\r\n"), 3); // the second run's two rejects
        QCOMPARE(Shelfwarden({"--import", bad, dir.filePath("c.mdb"), "--rejects"}).status, 2);
        QCOMPARE(Shelfwarden({"--export", dir.filePath("c.mdb"), rejects, "--rejects", "x"}).status,
                 2);
    }

    void refusedTransfersLeaveEveryFileAsItWas_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        auto row = [](const char* name, const QStringList& args, const char* error) {
            QTest::newRow(name) << args << QString::fromUtf8(error);
        };
        row("export onto the catalogue", {"--export", "c.mdb", "c.mdb"},
            "c.mdb: is the catalogue itself or one of its journal files");
        row("rejects onto the catalogue's journal",
            {"--import", "in.csv", "c.mdb", "--rejects", "c.mdb-journal"},
            "c.mdb-journal: is the catalogue itself or one of its journal files; nothing "
            "imported");
        row("rejects into a missing folder",
            {"--import", "in.csv", "c.mdb", "--rejects", "none/r.csv"},
            "none/r.csv: its folder cannot be written: No such file or directory; nothing "
            "imported");
        row("export into a FIFO", {"--export", "c.mdb", "fifo"}, "fifo: not a regular file");
        row("export of a FIFO", {"--export", "fifo", "old.csv"}, "fifo: not a regular file");
        row("export of unreadable types", {"--export", "notypes.mdb", "old.csv"},
            "notypes.mdb: the books cannot be read");
        row("import of a FIFO", {"--import", "fifo", "c.mdb"},
            "fifo: cannot be read: not a regular file");
        row("import of a folder", {"--import", "folder", "c.mdb"},
            "folder: cannot be read: not a regular file");
        row("import of a device", {"--import", "/dev/zero", "c.mdb"},
            "/dev/zero: cannot be read: not a regular file");
        row("import into a FIFO", {"--import", "in.csv", "fifo"}, "fifo: not a regular file");
        row("import into a name too long", {"--import", "in.csv", QString(300, 'x') + ".mdb"},
            "xx.mdb: File name too long");
        row("import of a truncated file", {"--import", "cut.csv", "c.mdb"},
            "cut.csv:2: randul are 2 celule, antetul 3; nothing imported");
        row("import of a truncated file into a new catalogue", {"--import", "cut.csv", "new.mdb"},
            "cut.csv:2: randul are 2 celule, antetul 3; nothing imported");
    }

    void refusedTransfersLeaveEveryFileAsItWas() {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        QTemporaryDir dir;
        WriteFile(dir.filePath("in.csv"), Books(3));
        WriteFile(dir.filePath("cut.csv"), Books(3).left(30));
        WriteFile(dir.filePath("old.csv"), "an earlier export\n");
        QCOMPARE(Shelfwarden({"--import", dir.filePath("in.csv"), dir.filePath("c.mdb")}).status,
                 0);
        QVERIFY(QFile::copy(dir.filePath("c.mdb"), dir.filePath("notypes.mdb")));
        QVERIFY(RawCatalogue(dir.filePath("notypes.mdb").toStdString()).exec("DROP TABLE types"));
        QCOMPARE(::mkfifo(dir.filePath("fifo").toLocal8Bit().constData(), 0600), 0);
        QVERIFY(QDir(dir.path()).mkdir("folder"));
        const auto before = Contents(dir.path());
        const Run refused = Shelfwarden(args, SHELFWARDEN_BINARY, dir.path());
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains(error), qPrintable(refused.err));
        QVERIFY(Contents(dir.path()) == before);
    }

    void aFullDiskOrAKillLeavesNothingHalfDone() {
        QTemporaryDir dir;
        WriteFile(dir.filePath("big.csv"), Books(60000));
        const QString target = dir.filePath("new.mdb");
        // A disk that fills up: writes beyond 64 blocks fail (the file size signal is the
        // program's to ignore).
        const Run full = ThroughShell("ulimit -f 64; exec \"$0\" --import \"$1\" \"$2\"",
                                      {dir.filePath("big.csv"), target});
        QCOMPARE(full.status, 1);
        QVERIFY2(full.err.contains(target + ": "), qPrintable(full.err));
        QCOMPARE(Contents(dir.path()).size(), std::size_t(1));
        // Killed while it builds the catalogue: the target's name was never taken.
        QProcess killed;
        killed.start(SHELFWARDEN_BINARY, {"--import", dir.filePath("big.csv"), target});
        QVERIFY(killed.waitForStarted());
        while (Contents(dir.path()).size() < 2 && killed.state() == QProcess::Running) {
            QTest::qWait(1);
        }
        ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
        QVERIFY(killed.waitForFinished());
        QVERIFY(!QFile::exists(target));
        const Run again = Shelfwarden({"--import", dir.filePath("big.csv"), target});
        QCOMPARE(again.status, 0);
        QCOMPARE(RawCatalogue(target.toStdString()).one("SELECT count(*) FROM books"),
                 std::string("60000"));
        QCOMPARE(Contents(dir.path()).size(), std::size_t(2)); // what the kill left is gone

        // An export that fills the disk leaves the earlier export whole.
        WriteFile(dir.filePath("old.csv"), "an earlier export\n");
        const auto before = Contents(dir.path());
        const Run exported = ThroughShell("ulimit -f 64; exec \"$0\" --export \"$1\" \"$2\"",
                                          {target, dir.filePath("old.csv")});
        QCOMPARE(exported.status, 1);
        QVERIFY2(exported.err.contains("old.csv: cannot be written"), qPrintable(exported.err));
        QVERIFY(Contents(dir.path()) == before);
    }

    void aBusyOrReadOnlyCatalogueIsBlamedNotTheLine() {
        QTemporaryDir dir;
        WriteFile(dir.filePath("in.csv"), Books(3));
        const QString catalogue = dir.filePath("c.mdb");
        QCOMPARE(Shelfwarden({"--import", dir.filePath("in.csv"), catalogue}).status, 0);
        // A catalogue's name is used as the bytes given, UTF-8 or not.
        const QString named =
            "cd \"$1\" && exec \"$0\" --import in.csv \"$(printf 'caf\\351.mdb')\"";
        QCOMPARE(ThroughShell(named, {dir.path()}).status, 0);
        QVERIFY(Contents(dir.path()).count("caf\xe9.mdb") == 1 && Contents(dir.path()).size() == 3);
        // A temporary folder cannot remove a name that is not UTF-8 itself.
        std::filesystem::remove(dir.path().toStdString() + "/caf\xe9.mdb");
        RawCatalogue other(catalogue.toStdString());
        const QString busy = "the catalogue is being written by another program; try again";
        QVERIFY(other.exec("BEGIN IMMEDIATE; INSERT INTO types(tip) VALUES ('x')"));
        Fails({"--import", dir.filePath("in.csv"), catalogue}, 1,
              catalogue + ": " + busy + "; nothing imported");
        QVERIFY(other.exec("COMMIT; BEGIN EXCLUSIVE"));
        Fails({"--export", catalogue, dir.filePath("out.csv")}, 1, catalogue + ": " + busy);
        QVERIFY(other.exec("COMMIT"));

        // Read-only to the user who runs the import (root may write anything, so not as root).
        // That user may not reach the build folder (a clone in a private folder), so it runs a
        // copy of the program from the test's own folder.
        const QString program = dir.filePath("shelfwarden");
        QVERIFY(QFile::copy(SHELFWARDEN_BINARY, program));
        const auto read = QFile::ReadOwner | QFile::ReadOther;
        const auto run = read | QFile::ExeOwner | QFile::ExeOther;
        QVERIFY(QFile::setPermissions(program, run));
        QVERIFY(QFile::setPermissions(dir.path(), run | QFile::WriteOwner));
        QVERIFY(QFile::setPermissions(catalogue, read));
        QVERIFY(QFile::setPermissions(dir.filePath("in.csv"), read));
        QProcess p;
        p.setChildProcessModifier([] {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
                ::_exit(3);
            }
        });
        p.start(program, {"--import", dir.filePath("in.csv"), catalogue});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 1);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(err.contains(catalogue + ": the catalogue is read-only; nothing imported"),
                 qPrintable(err));
    }
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
