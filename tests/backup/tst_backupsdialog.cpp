#include "backup/CatalogueBackups.h"
#include "backup/ui/UserBackupSettings.h"
#include "support/GuiDriver.h"

#include "loans/CLoanRegister.h"
#include "shell/AppSettings.h"

#include <QClipboard>
#include <QDir>
#include <QMenuBar>
#include <QRegularExpression>

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

// Opens File > Copii de siguranta, notes what it lists ("restore off" last when the newest copy
// cannot be restored) and presses `button` on the newest copy.
QStringList PressOnNewest(RunningApp& run, const char* button) {
    QStringList listed;
    WhenModal([&](QWidget* dialog) {
        listed = Listed(dialog);
        if (!dialog->findChild<QWidget*>("restore")->isEnabled()) {
            listed << "restore off";
        }
        Press(dialog, button);
    });
    run.trigger("fileBackups");
    return listed;
}

// The commands that change a catalogue: none of them may run on one open for reading only.
// Every command of the menus and of the list's own menu that leaves the open catalogue open.
QList<QAction*> EveryCommand(RunningApp& run) {
    QList<QAction*> commands;
    QList<QAction*> todo = run.frame()->menuBar()->actions() + run.view()->actions();
    while (!todo.isEmpty()) {
        QAction* a = todo.takeFirst();
        if (a->menu()) {
            todo += a->menu()->actions();
        } else if (!a->isSeparator() && !commands.contains(a) &&
                   !QRegularExpression("^(fileNew|fileClose|fileRecent.|fileExit)$")
                        .match(a->objectName())
                        .hasMatch()) {
            commands << a;
        }
    }
    return commands;
}

// A person who wants to change things: in every window that comes up, every empty field gets an
// ISBN, then every button but the one that closes is pressed, OK last.
struct PressEverything {
    QTimer timer;
    QStringList windows;

    PressEverything() {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QWidget* window = QApplication::activeModalWidget();
            if (window == nullptr) {
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    if (top->isVisible() && qobject_cast<QDialog*>(top)) {
                        window = top;
                    }
                }
            }
            // Marked, not remembered by address: the next print dialog may take the last one's.
            if (window && !window->property("pressed").toBool()) {
                window->setProperty("pressed", true);
                windows << window->metaObject()->className();
                // Pressed from a slot of its own, so that this timer goes on firing in a dialog
                // a button opens (printing), and closes it too.
                QTimer::singleShot(0, window, [window] { Press(window); });
            }
        });
        timer.start();
    }
    // The first row of each list is chosen before every press, as a list may have changed.
    static void ChooseFirstRows(QWidget* window) {
        for (auto* list : window->findChildren<QAbstractItemView*>()) {
            if (list->model() && list->model()->rowCount() > 0) {
                list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                                        QItemSelectionModel::ClearAndSelect |
                                                            QItemSelectionModel::Rows);
            }
        }
    }
    static void Press(QWidget* window) {
        // The framework's own dialogs (printing) write no catalogue.
        if (!QString(window->metaObject()->className()).startsWith('C')) {
            window->close();
            return;
        }
        QList<QLineEdit*> edits;
        for (auto* edit : window->findChildren<QLineEdit*>()) {
            if (edit->isVisible() && edit->isEnabled() && edit->text().isEmpty()) {
                edit->setText("9780141439518");
                edits << edit;
            }
        }
        QList<QAbstractButton*> buttons;
        for (auto* button : window->findChildren<QAbstractButton*>()) {
            const QString name = button->objectName();
            if (name != "cancel" && name != "close" && button->isEnabled()) {
                buttons.append(button); // in the order they are made; OK is pressed last below
            }
        }
        for (QAbstractButton* button : buttons) {
            if (button->isVisible() && button->isEnabled() && button->objectName() != "ok") {
                ChooseFirstRows(window);
                button->click();
            }
        }
        for (QLineEdit* edit : edits) {
            if (edit->isVisible()) {
                QTest::keyClick(edit, Qt::Key_Return);
            }
        }
        for (QAbstractButton* button : buttons) {
            if (button->isVisible() && button->isEnabled()) {
                ChooseFirstRows(window);
                button->click();
            }
        }
        if (window->isVisible()) {
            window->close();
        }
    }
};

// The folder of the copies the program keeps of `catalogue`, and their names.
QString FolderOf(const std::string& catalogue) {
    return QString::fromStdString(BackupFolderOf(UserBackupSettings().root, catalogue));
}
QStringList CopiesOf(const std::string& catalogue) {
    return QDir(FolderOf(catalogue)).entryList(QDir::Files, QDir::Name);
}
} // namespace

class TestBackupsDialog : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void aMistakenDeleteOfEveryBookIsRestoredAndTheRestoreUndone() {
        LibraryApp run;
        const QStringList books = run.rows();
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

    // The steps of a catalogue never reach the one that replaced it.
    void aRestoreOrACopyOpenedLeavesNoStepToTake() {
        for (const char* button : {"restore", "openCopy"}) {
            LibraryApp run;
            run.selectRow(1);
            run.trigger("recordsDelete");
            run.trigger("editUndo");
            QVERIFY(run.action("editRedo")->isEnabled());
            const std::string all = "SELECT id, titlu FROM books ORDER BY id";
            const auto stored = RawCatalogue(run.file()).rows(all);
            run.prompts.answers = {true};
            PressOnNewest(run, button);
            QVERIFY(!run.action("editUndo")->isEnabled());
            QVERIFY(!run.action("editRedo")->isEnabled());
            run.trigger("editRedo");
            run.trigger("editUndo");
            QCOMPARE(RawCatalogue(run.file()).rows(all), stored);
            QCOMPARE(run.view()->Model()->rowCount(), 4);
            QCOMPARE(run.prompts.messages, QStringList());
        }
    }

    // In a copy open for reading only, every command of every menu and every button of every
    // window is tried: none changes the copy, and none offers a change only to refuse it.
    void aCopyOpenForReadingOnlyOffersNoChange() {
        LibraryApp run;
        QVERIFY(CLoanRegister(*run.doc()->GetDatabase(), nullptr).Lend(1, "Ana", "2026-12-01", ""));
        // Today's copy is made again, with the loan.
        QVERIFY(QDir(FolderOf(run.file())).removeRecursively());
        run.prompts.files = {run.Library::path};
        run.trigger("fileOpen");
        run.trigger("fileClose");
        run.prompts.files = {run.Library::path};
        PressOnNewest(run, "openCopy");
        QCOMPARE(run.frame()->findChild<QLabel*>("loanCount")->text(),
                 "1 carte imprumutata, 0 intarziate");
        const QString copy = run.doc()->GetPathName();
        const QByteArray stored = FileBytes(copy);
        QApplication::clipboard()->setText("Dune\tHerbert\tNemira");
        Settings().isbnLookup = 0; // a scan opens the book dialog at once
        QStringList refused;
        for (QAction* command : EveryCommand(run)) {
            if (!command->isEnabled()) {
                continue;
            }
            // Every command finds the books listed and one not lent chosen, whatever the one
            // before it did to the list.
            run.view()->ListAllBooks();
            run.selectRow(0);
            run.prompts.answers = std::deque<bool>(20, true);
            run.prompts.files = std::deque<std::optional<QString>>(20, std::nullopt);
            PressEverything person;
            command->trigger();
            QTest::qWait(20);
            QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
            for (const QString& message : run.prompts.takeMessages()) {
                if (message.startsWith("Nu se po")) {
                    refused << command->objectName() + ": " + message;
                }
            }
            QVERIFY2(FileBytes(copy) == stored, qPrintable(command->objectName()));
            QVERIFY2(run.doc()->IsReadOnly(), qPrintable(command->objectName()));
        }
        QCOMPARE(refused, QStringList());
        run.prompts.answers.clear();
        run.prompts.files.clear();
    }

    // A copy opens for reading only: its own books are listed, and a write is refused.
    void aCopyOpensForReadingOnly() {
        LibraryApp run;
        const QStringList books = run.rows();
        QVERIFY(RawCatalogue(run.file()).exec("DELETE FROM books WHERE titlu = 'Dune'"));
        PressOnNewest(run, "openCopy");
        QCOMPARE(run.rows(), books);
        QVERIFY(run.frame()->windowTitle().endsWith(kToday + ".mdb (doar citire)"));
        QVERIFY(!run.doc()->GetDatabase()->DeleteBook(1));
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kCannotDelete});
        // The keys of the list change nothing either.
        run.selectRow(0);
        QTest::keyClick(run.view(), Qt::Key_Delete);
        QCOMPARE(run.view()->Model()->rowCount(), 4);
        run.prompts.files = {run.Library::path};
        run.trigger("fileOpen");
        QCOMPARE(run.frame()->windowTitle(), QStringLiteral("Shelfwarden - test.mdb"));
        QVERIFY(run.action("recordsAdd")->isEnabled());
        // A file of the copies' folder opened as any other is read only too, and never itself
        // copied: the catalogue keeps its one copy, the copy has none.
        const QString copy = FolderOf(run.file()) + "/" + kToday + ".mdb";
        run.prompts.files = {copy};
        run.trigger("fileOpen");
        QCOMPARE(run.frame()->windowTitle(),
                 QStringLiteral("Shelfwarden - %1.mdb (doar citire)").arg(kToday));
        QCOMPARE(run.rows(), books);
        QCOMPARE(CopiesOf(copy.toStdString()), QStringList());
        QVERIFY(!QFile::exists(FolderOf(copy.toStdString())));
        QCOMPARE(CopiesOf(run.file()), QStringList{kToday + ".mdb"});
        // With no catalogue open the user picks one with copies; a cancelled pick lists nothing.
        run.trigger("fileClose");
        run.prompts.files = {run.Library::path};
        QCOMPARE(PressOnNewest(run, "openCopy"), QStringList{kToday + "|4"});
        QCOMPARE(run.rows(), books);
        QVERIFY(run.frame()->windowTitle().endsWith("(doar citire)"));
        run.trigger("fileClose");
        run.prompts.files = {std::nullopt};
        run.trigger("fileBackups");
        QCOMPARE(run.prompts.messages, QStringList());
    }

    void aDamagedCopyIsListedSoAndCannotBeRestored() {
        LibraryApp run;
        // Its first page stays whole; the pages of the books are gone.
        const QString copy = FolderOf(run.file()) + "/" + kToday + ".mdb";
        const QByteArray whole = FileBytes(copy);
        QVERIFY(whole.size() > 4096);
        WriteFile(copy, whole.left(4096) + QByteArray(whole.size() - 4096, '\x5a'));
        QCOMPARE(PressOnNewest(run, "close"),
                 (QStringList{kToday + "|deteriorata", "restore off"}));
    }

    // A catalogue that will not open: its copies are named below the message, listed by the
    // command, and restored.
    void theCopiesOfACatalogueThatWillNotOpenCanBeRestored() {
        LibraryApp run;
        const QStringList books = run.rows();
        run.trigger("fileClose");
        WriteFile(run.Library::path, "not a catalogue any more");
        run.prompts.files = {run.Library::path};
        run.trigger("fileOpen");
        // The failed opening is told first; the listing that follows it fails as it always did.
        const QStringList messages = run.prompts.takeMessages();
        QCOMPARE(messages.mid(1), QStringList(3, shown::kSelectFailed));
        QVERIFY2(messages[0].startsWith(QString(shown::kCannotOpenNotACatalogue) +
                                        "\n\nExista copii de siguranta ale acestui fisier in "),
                 qPrintable(messages[0]));
        QVERIFY(messages[0].contains(FolderOf(run.file())));
        run.prompts.answers = {true};
        QCOMPARE(PressOnNewest(run, "restore"), QStringList{kToday + "|4"});
        QCOMPARE(run.rows(), books);
        QCOMPARE(run.doc()->GetPathName(), run.Library::path);
        QCOMPARE(FileBytes(FolderOf(run.file()) + "/" + kToday + ".2.mdb"),
                 QByteArray("not a catalogue any more"));
        QCOMPARE(run.prompts.messages, QStringList());
    }

    // A catalogue made by New and Save As and filled on the same day is copied as it closes: by
    // Close, New, Open or Exit. One that has the day's copy, or is unchanged, gets none.
    void aCatalogueFilledOnTheDayItWasMadeIsCopiedAsItCloses() {
        RunningApp run;
        const auto create = [&run](const char* name) {
            run.trigger("fileNew");
            run.prompts.files = {run.path(name)};
            run.trigger("fileSaveAs");
            return run.path(name).toStdString();
        };
        const auto add = [&run](const QString& title) {
            WhenModal(Fill({{"titlu", title}, {"autor", "Rebreanu"}, {"editura", "Minerva"}},
                           {{"calificativ", 6}}));
            run.trigger("recordsAdd");
        };
        const auto addFirst = [&](const QString& title) {
            WhenModal([](QWidget* starterSet) { Press(starterSet, "ok"); });
            add(title);
        };
        const auto copied = [](const std::string& catalogue) {
            const QStringList copies = CopiesOf(catalogue);
            return copies.isEmpty()
                       ? Texts{}
                       : RawCatalogue((FolderOf(catalogue) + "/" + copies[0]).toStdString())
                             .rows("SELECT titlu FROM books ORDER BY id");
        };
        const std::string mine = create("mine.mdb");
        addFirst("Ion");
        run.trigger("fileClose");
        QCOMPARE(CopiesOf(mine), QStringList{kToday + ".mdb"});
        QCOMPARE(copied(mine), Texts{"Ion"});
        run.prompts.files = {QString::fromStdString(mine)};
        run.trigger("fileOpen");
        add("Baltagul");
        const std::string unchanged = create("unchanged.mdb");
        QCOMPARE(CopiesOf(mine), QStringList{kToday + ".mdb"});
        QCOMPARE(copied(mine), Texts{"Ion"});
        run.prompts.files = {QString::fromStdString(mine)};
        run.trigger("fileOpen");
        QVERIFY(!QFile::exists(FolderOf(unchanged)));
        const std::string late = create("late.mdb");
        addFirst("Padurea spanzuratilor");
        run.frame()->close();
        QCOMPARE(copied(late), Texts{"Padurea spanzuratilor"});
        QCOMPARE(CopiesOf(mine), QStringList{kToday + ".mdb"});
        QCOMPARE(run.prompts.messages, QStringList());
    }

    void aFailingBackupIsToldOnceAndTheWorkGoesOn() {
        QTemporaryDir dir;
        WriteFile(dir.filePath("file"), {});
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
