#include "isbn/CBookDetailsStore.h"
#include "support/GuiDriver.h"
#include "view/ListedDetails.h"

#include <QClipboard>
#include <QHelpEvent>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTextDocumentFragment>
#include <QToolTip>

namespace {
// A tool tip as Qt shows it: read as HTML when it looks like HTML.
QString ShownTip(const QString& tip) {
    return Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
}

// Checks the real message box on top, which must show `text` as written, and closes it.
std::function<void(QWidget*)> PlainBox(const QString& text, QMessageBox::StandardButton press) {
    return [text, press](QWidget* dialog) {
        auto* box = qobject_cast<QMessageBox*>(dialog);
        QVERIFY(box != nullptr);
        box->button(press)->click();
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QVERIFY2(box->text().contains(text), qPrintable(box->text()));
    };
}

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

    // Texts that look like markup (typed, imported or in a catalogue someone sent) are shown as
    // written: in the list and its tool tips, the dialogs' labels and the message boxes.
    void markupIsShownAsWritten() {
        const QString markup = QStringLiteral("<b>x</b> <img src=\"file:///dev/null\"> &amp;");
        const std::string m = markup.toStdString();
        Library lib({MakeBook(m + "t", m + "a", m, {.tip = 3, .stare = 2})});
        QVERIFY(lib.c.db->Open(lib.file()));
        QVERIFY(lib.c.db->InsertType(m) && lib.c.db->InsertState(m));
        BookDetails shelved;
        shelved.locatie = shelved.serie = shelved.note = m;
        QVERIFY(CBookDetailsStore(*lib.c.db, lib.c.messages.sink()).Write(5, shelved));
        QVERIFY(lib.c.db->Close());
        RunningApp run(lib.path);
        const CBookListModel* model = run.view()->Model();
        const int row = static_cast<int>(run.column(1).indexOf(markup + "t"));
        QStringList shown;
        for (const int column : {1, 2, 3, 4, 12, kLocationColumn}) {
            shown << model->Text(row, column);
        }
        QCOMPARE(shown, (QStringList{markup + "t", markup + "a", markup, markup, markup, markup}));
        for (int column = 0; column < model->columnCount(); ++column) {
            QCOMPARE(ShownTip(model->data(model->index(row, column), Qt::ToolTipRole).toString()),
                     model->Text(row, column));
        }
        const QRect cell = run.view()->visualRect(model->index(row, 1));
        QHelpEvent hover(QEvent::ToolTip, cell.center(),
                         run.view()->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(run.view()->viewport(), &hover);
        QCOMPARE(ShownTip(QToolTip::text()), markup + "t");
        QToolTip::hideText();

        run.selectRow(row);
        WhenModal([&](QWidget* dlg) {
            auto* title = dlg->findChild<QLabel*>("title");
            QCOMPARE(title->textFormat(), Qt::PlainText);
            QCOMPARE(title->text(), markup + "t");
            QCOMPARE(ShownTip(title->toolTip()), markup + "t");
            QTest::keyClicks(dlg->findChild<QComboBox*>("borrower")->lineEdit(), markup + "b");
            Press(dlg, "ok");
        });
        run.trigger("recordsLend");
        WhenModal([&](QWidget* dlg) {
            auto* loan = dlg->findChild<QLabel*>("loan");
            QCOMPARE(loan->textFormat(), Qt::PlainText);
            QVERIFY2(loan->text().startsWith(markup + "t, ") && loan->text().contains(markup + "b"),
                     qPrintable(loan->text()));
            Press(dlg, "cancel");
        });
        run.trigger("recordsReturn");
        WhenModal([&](QWidget* dlg) {
            QCOMPARE(Values(dlg, {"titlu", "autor", "editura", "locatie", "serie", "note"}),
                     (QStringList{markup + "t", markup + "a", markup, markup, markup, markup}));
            QCOMPARE(dlg->findChild<QLabel*>("adaugata")->textFormat(), Qt::PlainText);
            Press(dlg, "cancel");
        });
        run.trigger("recordsModify");
        const QString name = QStringLiteral("<i>carti &amp; <img src=x>.csv");
        WriteFile(run.path(name), "titlu\nT\n");
        run.prompts.files.push_back(run.path(name));
        WhenModal([&](QWidget* dlg) {
            auto* source = dlg->findChild<QLabel*>("importSource");
            QCOMPARE(source->textFormat(), Qt::PlainText);
            QCOMPARE(source->text(), "Se importa cartile din " + name + ".");
            Press(dlg, "cancel");
        });
        run.trigger("fileImport");
        // The real message boxes: the book is out, and deleting it asks first, naming to whom.
        SetPromptBackend(nullptr);
        const auto scripted = qScopeGuard([&] { SetPromptBackend(&run.prompts); });
        WhenModal(PlainBox(markup + "b", QMessageBox::Ok));
        run.trigger("recordsLend");
        WhenModal(PlainBox(markup + "b", QMessageBox::No));
        run.trigger("recordsDelete");
        QCOMPARE(model->rowCount(), 5);
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
