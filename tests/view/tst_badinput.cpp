#include "app/CMainFrame.h"
#include "support/GuiDriver.h"
#include "support/GuiLibrary.h"
#include "support/RawCatalogue.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CShelfwardenView.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>

namespace {
const QString kNotInteger = QStringLiteral("Please enter an integer.");
const QString kOutOfRange = QStringLiteral("Please enter an integer between -32768 and 32767.");

// Puts `text` into a field the way a user would: typed, or pasted when long.
void Enter(QWidget* dlg, const char* field, const QString& text) {
    auto* edit = dlg->findChild<QLineEdit*>(field);
    edit->setFocus();
    edit->selectAll();
    edit->del();
    if (text.size() > 64) {
        QApplication::clipboard()->setText(text);
        edit->paste();
    } else {
        for (const QChar c : text) {
            if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
                QTest::keyClick(edit, c.toLatin1());
            } else {
                edit->insert(QString(c)); // what no key click carries: tabs, letters beyond ASCII
            }
        }
    }
}

struct Outcome {
    QStringList messages;
    bool stayedOpen = false;
    bool kept = false;    // the field still holds what was entered
    bool focused = false; // and has the focus
};

// Adds one consistent book with `field` set to `text`; records what the user was told.
Outcome Add(RunningApp& run, const char* field, const QString& text) {
    Outcome o;
    WhenModal([&](QWidget* dlg) {
        Enter(dlg, "titlu", "T");
        Enter(dlg, "autor", "A");
        Enter(dlg, "editura", "E");
        Choose(dlg, "calificativ", 6);
        Enter(dlg, field, text);
        Press(dlg, "ok");
        o.stayedOpen = dlg->isVisible();
        o.kept = dlg->findChild<QLineEdit*>(field)->text() == text;
        o.focused = dlg->focusWidget() == dlg->findChild<QLineEdit*>(field);
        if (o.stayedOpen) {
            Press(dlg, "cancel");
        }
    });
    run.trigger("recordsAdd");
    o.messages = run.prompts.takeMessages();
    return o;
}

std::string StoredLast(const Library& lib, const char* column) {
    return RawCatalogue(lib.file())
        .one(std::string("SELECT ") + column +
             " FROM books WHERE id = (SELECT max(id) FROM books)");
}
} // namespace

class TestBadInput : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void textFieldsStoreExactlyWhatWasTyped() {
        Library lib;
        RunningApp run(lib.path);
        const QStringList texts = {"O'Brien's",           "\"quoted\"",
                                   "100% \\ back\\slash", "x'); DROP TABLE books; --",
                                   "tab\there",           "Ştefan ţară ✓ 🙂",
                                   QString(255, 'a'),     QStringLiteral(" spaced ")};
        int tried = 0;
        for (const char* field : {"titlu", "autor", "editura"}) {
            for (const QString& text : texts) {
                const Outcome o = Add(run, field, text);
                QVERIFY2(o.messages.isEmpty(), qPrintable(o.messages.join(",")));
                QCOMPARE(QString::fromStdString(StoredLast(lib, field)), text);
                const int column = QByteArray(field) == "titlu"   ? 1
                                   : QByteArray(field) == "autor" ? 2
                                                                  : 3;
                QCOMPARE(run.view()->Model()->Text(run.view()->Model()->rowCount() - 1, column),
                         text);
                ++tried;
            }
        }
        QCOMPARE(RawCatalogue(lib.file()).one("SELECT count(*) FROM books"),
                 std::to_string(4 + tried));
        qInfo("%d texts stored and read back", tried);
    }

    void tooLongTextsAreRefusedBeforeTheDialogCloses() {
        Library lib;
        RunningApp run(lib.path);
        for (const char* field : {"titlu", "autor", "editura"}) {
            for (const QString& text : {QString(324, 'z'), QString(100000, 'z'),
                                        QString(128, QChar(0x0219)) + QString(128, 'a')}) {
                const Outcome o = Add(run, field, text);
                QCOMPARE(o.messages, QStringList{"Enter no more than 255 characters."});
                QVERIFY(o.stayedOpen && o.kept && o.focused);
            }
        }
        QCOMPARE(RawCatalogue(lib.file()).one("SELECT count(*) FROM books"), std::string("4"));
        QCOMPARE(run.view()->Model()->rowCount(), 4);
    }

    void numberFields_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: nothing stored
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("stayedOpen");
        const QString pages = QStringLiteral("Numarul de pagini trebuie sa fie mai mare decat 0!");
        QTest::newRow("pages 0") << "pagini"
                                 << "0"
                                 << "" << pages << true;
        QTest::newRow("pages 32767") << "pagini"
                                     << "32767"
                                     << "32767"
                                     << "" << false;
        QTest::newRow("pages 40000") << "pagini"
                                     << "40000"
                                     << "" << kOutOfRange << true;
        QTest::newRow("pages huge") << "pagini"
                                    << "99999999999"
                                    << "" << kNotInteger << true;
        // Digits-only fields never take a sign, a blank or a letter: those keys do nothing.
        QTest::newRow("pages letters") << "pagini"
                                       << "12ab"
                                       << "12"
                                       << "" << false;
        QTest::newRow("volume year 0")
            << "publicare_volum"
            << "0"
            << ""
            << "Anul publicarii volumului trebuie sa fie mai mare decat 0!" << true;
        QTest::newRow("year -32768") << "publicare"
                                     << "-32768"
                                     << "-32768"
                                     << "" << false;
        QTest::newRow("year -32769") << "publicare"
                                     << "-32769"
                                     << "" << kOutOfRange << true;
        QTest::newRow("year letters") << "publicare"
                                      << "12x"
                                      << "" << kNotInteger << true;
    }

    void numberFields() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        QFETCH(bool, stayedOpen);
        Library lib;
        RunningApp run(lib.path);
        const Outcome o = Add(run, field.toUtf8().constData(), typed);
        QCOMPARE(o.messages, message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(o.stayedOpen, stayedOpen);
        const std::string count = RawCatalogue(lib.file()).one("SELECT count(*) FROM books");
        if (stored.isEmpty()) {
            QCOMPARE(count, std::string("4"));
        } else {
            QCOMPARE(count, std::string("5"));
            QCOMPARE(QString::fromStdString(StoredLast(lib, field.toUtf8().constData())), stored);
        }
    }

    void searchesTakeTheSameTexts() {
        Library lib;
        RunningApp run(lib.path);
        for (const QString& text :
             {QStringLiteral("x'); DROP TABLE books; --"), QStringLiteral("100%"),
              QString(100000, 'q'), QStringLiteral("\\'\"")}) {
            WhenModal([&](QWidget* dlg) {
                Enter(dlg, "value", text);
                Press(dlg, "ok");
            });
            run.trigger("searchTitle");
            QCOMPARE(run.prompts.takeMessages(),
                     QStringList{"Nu exista nici o inregistrare cu acest titlu!"});
        }
        QCOMPARE(RawCatalogue(lib.file()).one("SELECT count(*) FROM books"), std::string("4"));
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
