#include "app/CMainFrame.h"
#include "support/GuiDriver.h"
#include "support/GuiLibrary.h"
#include "support/RawCatalogue.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CShelfwardenView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>

namespace {
std::function<void(QWidget*)> Range(const QString& min, const QString& max) {
    return [=](QWidget* dlg) {
        Press(dlg, "range");
        TypeInto(dlg, "min", min);
        TypeInto(dlg, "max", max);
        Press(dlg, "ok");
    };
}
std::function<void(QWidget*)> Single(const QString& value) {
    return [=](QWidget* dlg) {
        TypeInto(dlg, "value", value);
        Press(dlg, "ok");
    };
}
void Check(QWidget* dlg, const char* name) {
    auto* box = dlg->findChild<QCheckBox*>(name);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2)); // on the box itself
}
} // namespace

class TestNumericAndComposite : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void theNumericDialogOpensOnASingleValue() {
        Library lib;
        RunningApp run(lib.path);
        QStringList state;
        WhenModal([&](QWidget* dlg) {
            auto enabled = [&](const char* name) {
                return dlg->findChild<QWidget*>(name)->isEnabled() ? QStringLiteral("on")
                                                                   : QStringLiteral("off");
            };
            state << dlg->findChild<QLineEdit*>("value")->text() +
                         dlg->findChild<QLineEdit*>("min")->text() +
                         dlg->findChild<QLineEdit*>("max")->text();
            state << QString::number(dlg->findChild<QRadioButton*>("single")->isChecked());
            state << enabled("value") + enabled("min") + enabled("max");
            TypeInto(dlg, "value", "42");
            Press(dlg, "range");
            state << enabled("value") + enabled("min") + enabled("max");
            state << dlg->findChild<QLineEdit*>("value")->text();
            Press(dlg, "cancel");
        });
        run.trigger("searchPages");
        QCOMPARE(state, (QStringList{"000", "1", "onoffoff", "offonon", "42"}));
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
    }

    void rangesAreInclusive() {
        Library lib;
        RunningApp run(lib.path);
        WhenModal(Range("300", "600"));
        run.trigger("searchPages");
        QCOMPARE(run.column(1), (QStringList{"Dune", "Ion", "Odiseea"}));
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE pagini >= 300 AND pagini <= 600"));
        run.view()->OnColumnClick(5);
        QCOMPARE(run.column(5), (QStringList{"300", "400", "600"}));

        WhenModal(Range("600", "300"));
        run.trigger("searchPages");
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Nu exista nici o inregistrare cu acest numar de pagini!"});
        QCOMPARE(run.column(5),
                 (QStringList{"300", "400", "600"})); // rows kept, statement replaced
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE pagini >= 600 AND pagini <= 300"));

        WhenModal(Single("-700"));
        run.trigger("searchFirstPublished");
        QCOMPARE(run.column(1), QStringList{"Odiseea"});
        WhenModal(Range("1900", "2100"));
        run.trigger("searchVolumePublished");
        QCOMPARE(run.column(1), (QStringList{"Abandonata", "Dune", "Ion", "Odiseea"}));
        WhenModal(Single("2"));
        run.trigger("searchVolumes");
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Nu exista nici o inregistrare cu acest numar de volume!"});
        WhenModal(Single("1"));
        run.trigger("searchChapters");
        QCOMPARE(run.view()->Model()->rowCount(), 4);
    }

    void aNonIntegerIsRefusedEvenInAGreyedField() {
        Library lib;
        RunningApp run(lib.path);
        QString focused;
        WhenModal([&](QWidget* dlg) {
            TypeInto(dlg, "value", "abc");
            Press(dlg, "range");
            Press(dlg, "ok");
            focused = dlg->focusWidget()->objectName();
            TypeInto(dlg, "value", "5");
            TypeInto(dlg, "min", "99999999999");
            Press(dlg, "ok");
            TypeInto(dlg, "min", "1");
            TypeInto(dlg, "max", "1");
            Press(dlg, "ok");
        });
        run.trigger("searchChapters");
        QCOMPARE(focused, QStringLiteral("value"));
        QCOMPARE(run.prompts.takeMessages(), QStringList(2, "Please enter an integer."));
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE capitole >= 1 AND capitole <= 1"));
    }

    void compositeByAuthorAndRead() {
        Library lib;
        lib.c.db->Open(lib.file());
        BookRecord unread = MakeBook("Messiah", "Herbert");
        lib.c.add(unread);
        BookRecord irish = MakeBook("Irish tales", "O'Brien");
        irish.citita = 1;
        irish.calificativ = 0;
        lib.c.add(irish);
        lib.c.db->Close();
        RunningApp run(lib.path);
        QStringList initial;
        WhenModal([&](QWidget* dlg) {
            for (const char* f : {"title", "type", "read", "rating", "state"}) {
                auto* w = dlg->findChild<QWidget*>(f);
                initial << (w->isEnabled() ? "on" : "off");
            }
            initial << dlg->findChild<QComboBox*>("type")->currentText();
            Check(dlg, "useRead");
            Check(dlg, "useAuthor");
            TypeInto(dlg, "author", "Herbert");
            Choose(dlg, "read", 1);
            Check(dlg, "usePages");
            Check(dlg, "usePages"); // checked and unchecked again: left out
            Press(dlg, "ok");
        });
        run.trigger("searchComposite");
        QCOMPARE(initial, (QStringList{"off", "off", "off", "off", "off", "Clasic"}));
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE autor = 'Herbert' AND citita = -1"));
        QCOMPARE(run.column(1), QStringList{"Dune"});

        WhenModal([](QWidget* dlg) {
            Check(dlg, "useAuthor");
            TypeInto(dlg, "author", "O'Brien");
            Press(dlg, "ok");
        });
        run.trigger("searchComposite");
        QCOMPARE(run.column(1), QStringList{"Irish tales"});

        WhenModal([](QWidget* dlg) {
            Check(dlg, "useRating");
            Press(dlg, "ok");
        });
        run.trigger("searchComposite");
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE calificativ = 0"));
        QCOMPARE(run.column(1), (QStringList{"Dune", "Irish tales"}));
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void compositeUsesTheCataloguesOwnTypes() {
        Library lib; // types "SF" (id 1) and "Clasic" (id 2): listed by name, Clasic first
        RunningApp run(lib.path);
        WhenModal([](QWidget* dlg) {
            Check(dlg, "useType");
            Choose(dlg, "type", 0);
            Check(dlg, "useState");
            Press(dlg, "ok");
        });
        run.trigger("searchComposite");
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE tip = 1 AND stare = 0"));
        QCOMPARE(run.column(1), QStringList{"Ion"});
    }

    void compositeRefusalsAndNothingChecked() {
        Library lib;
        RunningApp run(lib.path);
        WhenModal([](QWidget* dlg) { Press(dlg, "ok"); });
        run.trigger("searchComposite");
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
        QVERIFY(run.prompts.messages.isEmpty());

        QString focused;
        WhenModal([&](QWidget* dlg) {
            Check(dlg, "usePages");
            Press(dlg, "ok");
            focused = dlg->focusWidget()->objectName();
            TypeInto(dlg, "pages", "250");
            Check(dlg, "useTitle");
            Press(dlg, "ok");
        });
        run.trigger("searchComposite");
        QCOMPARE(focused, QStringLiteral("pages"));
        QCOMPARE(run.prompts.takeMessages(),
                 (QStringList{"Please enter an integer.",
                              "Nu exista nici o potrivire pentru criteriul specificat!"}));
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE titlu = '' AND pagini = 250"));

        TestCatalogue empty;
        empty.db->Close();
        run.prompts.files.push_back(QString::fromStdString(empty.path("test.mdb")));
        run.trigger("fileOpen");
        WhenModal([](QWidget* dlg) {
            Check(dlg, "useType");
            Press(dlg, "ok");
            Check(dlg, "useType");
            Check(dlg, "useState");
            Press(dlg, "ok");
            Press(dlg, "cancel");
        });
        run.trigger("searchComposite");
        QCOMPARE(run.prompts.takeMessages(), (QStringList{"Nu exista definit nici un tip!",
                                                          "Nu exista definita nici o stare!"}));
        run.trigger("fileClose");
        for (const char* c : {"searchPages", "searchChapters", "searchVolumes",
                              "searchFirstPublished", "searchVolumePublished", "searchComposite"}) {
            run.trigger(c);
        }
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList(6, "Nici o baza de date nu este deschisa!"));
    }
};

QTEST_MAIN(TestNumericAndComposite)
#include "tst_numericandcomposite.moc"
