#include "support/GuiDriver.h"
#include <QClipboard>

namespace {
struct Outcome {
    QStringList messages;
    bool stayedOpen = false;
    bool keptInFocus = false; // the field still holds what was entered, and has the focus
};

// Adds one consistent book with `field` set to `text`; records what the user was told.
Outcome Add(RunningApp& run, const char* field, const QString& text) {
    Outcome o;
    WhenModal([&](QWidget* dlg) {
        TypeInto(dlg, "titlu", "T");
        TypeInto(dlg, "autor", "A");
        TypeInto(dlg, "editura", "E");
        Choose(dlg, "calificativ", 6);
        TypeInto(dlg, field, text);
        Press(dlg, "ok");
        o.stayedOpen = dlg->isVisible();
        auto* edit = dlg->findChild<QLineEdit*>(field);
        o.keptInFocus = edit->text() == text && dlg->focusWidget() == edit;
        if (o.stayedOpen) {
            Press(dlg, "cancel");
        }
    });
    run.trigger("recordsAdd");
    o.messages = run.prompts.takeMessages();
    return o;
}
} // namespace

class TestBadInput : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void textFields_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("tooLong"); // refused before the dialog closes
        auto row = [](const char* name, const QString& text, bool tooLong = false) {
            QTest::newRow(name) << text << tooLong;
        };
        row("quotes, percent, backslashes and a statement",
            "O'Brien's \"100%\" \\ back\\slash x'); DROP TABLE books; --");
        row("tab", "tab\there");
        row("beyond ASCII", "Ştefan ţară ✓ 🙂");
        row("255 characters", QString(255, 'a'));
        row("blanks around", " spaced ");
        row("324 characters", QString(324, 'z'), true);
        row("100000 characters", QString(100000, 'z'), true);
        row("256 characters, 384 bytes", QString(128, QChar(0x0219)) + QString(128, 'a'), true);
    }

    void textFields() {
        QFETCH(QString, text);
        QFETCH(bool, tooLong);
        LibraryApp run;
        const char* fields[] = {"", "titlu", "autor", "editura"};
        for (int column = 1; column <= 3; ++column) {
            const Outcome o = Add(run, fields[column], text);
            if (tooLong) {
                QCOMPARE(o.messages, QStringList{shown::kTextTooLong});
                QVERIFY(o.stayedOpen && o.keptInFocus);
            } else {
                QVERIFY2(o.messages.isEmpty(), qPrintable(o.messages.join(",")));
                QCOMPARE(run.view()->Model()->Text(run.view()->Model()->rowCount() - 1, column),
                         text);
            }
        }
        QCOMPARE(run.view()->Model()->rowCount(), tooLong ? 4 : 7);
        const std::string t = text.toStdString();
        QCOMPARE(
            RawCatalogue(run.file()).rows("SELECT titlu, autor, editura FROM books WHERE id > 4"),
            tooLong ? Texts{} : (Texts{t + "|A|E", "T|" + t + "|E", "T|A|" + t}));
    }

    void numberFields_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: nothing stored
        QTest::addColumn<QString>("message");
        auto row = [](const char* field, const char* typed, const char* stored,
                      const char* message = "") {
            QTest::addRow("%s %s", field, typed) << field << typed << stored << message;
        };
        row("pagini", "0", "", "Numarul de pagini trebuie sa fie mai mare decat 0!");
        row("pagini", "32767", "32767");
        // Digits-only fields never take a sign, a blank or a letter: those keys do nothing.
        row("pagini", "12ab", "12");
        row("publicare", "-32768", "-32768");
        row("publicare", "-32769", "", shown::kOutOfRange);
    }

    void numberFields() {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        LibraryApp run;
        const Outcome o = Add(run, field.toUtf8().constData(), typed);
        QCOMPARE(o.messages, message.isEmpty() ? QStringList{} : QStringList{message});
        QCOMPARE(o.stayedOpen, stored.isEmpty());
        QCOMPARE(RawCatalogue(run.file())
                     .rows("SELECT " + field.toStdString() + " FROM books WHERE id > 4"),
                 stored.isEmpty() ? Texts{} : Texts{stored.toStdString()});
    }
};

QTEST_MAIN(TestBadInput)
#include "tst_badinput.moc"
