#include "app/CMainFrame.h"
#include "support/GuiDriver.h"
#include "support/GuiLibrary.h"
#include "support/RawCatalogue.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CShelfwardenView.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

namespace {
// Types the text into the search prompt and presses OK.
std::function<void(QWidget*)> Typed(const QString& text) {
    return [text](QWidget* dlg) {
        TypeInto(dlg, "value", text);
        Press(dlg, "ok");
    };
}
std::function<void(QWidget*)> Chosen(int index) {
    return [index](QWidget* dlg) {
        Choose(dlg, "selection", index);
        Press(dlg, "ok");
    };
}
} // namespace

class TestFieldSearches : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void textSearchesFindWholeValues() {
        Library lib;
        lib.c.db->Open(lib.file());
        lib.c.add(MakeBook("Zzz", "Herbert", "Nemira"));
        lib.c.add(MakeBook("Aaa", "Herbert", "Other"));
        lib.c.db->Close();
        RunningApp run(lib.path);
        QString label;
        WhenModal([&](QWidget* dlg) {
            label = dlg->findChild<QLabel*>("label")->text();
            Typed("Herbert")(dlg);
        });
        run.trigger("searchAuthor");
        QCOMPARE(label, QStringLiteral("Search for"));
        QCOMPARE(run.column(1), (QStringList{"Aaa", "Dune", "Zzz"}));
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE autor = 'Herbert'"));
        run.view()->OnColumnClick(3);
        QCOMPARE(run.column(3), (QStringList{"Nemira", "Nemira", "Other"}));

        WhenModal(Typed("Du"));
        run.trigger("searchTitle");
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Nu exista nici o inregistrare cu acest titlu!"});
        QCOMPARE(run.view()->Model()->rowCount(), 3); // rows kept
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books WHERE titlu = 'Du'"));
        run.view()->OnColumnClick(1); // finds nothing, changes nothing
        QCOMPARE(run.view()->Model()->rowCount(), 3);

        WhenModal(Typed("Minerva"));
        run.trigger("searchPublisher");
        QCOMPARE(run.column(1), QStringList{"Ion"});
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void textGoesInAsTyped() {
        Library lib;
        lib.c.db->Open(lib.file());
        lib.c.add(MakeBook("Harry Potter and the Philosopher's Stone", "J. K. Rowling"));
        lib.c.add(MakeBook(" Dune ", "O'Brien"));
        lib.c.db->Close();
        RunningApp run(lib.path);
        WhenModal(Typed("O'Brien"));
        run.trigger("searchAuthor");
        QCOMPARE(run.column(1), QStringList{" Dune "});
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE autor = 'O''Brien'"));
        WhenModal(Typed("Harry Potter and the Philosopher's Stone"));
        run.trigger("searchTitle");
        QCOMPARE(run.column(2), QStringList{"J. K. Rowling"});
        WhenModal(Typed(" Dune "));
        run.trigger("searchTitle");
        QCOMPARE(run.column(1), QStringList{" Dune "});
        WhenModal(Typed("Dune  "));
        run.trigger("searchTitle");
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Nu exista nici o inregistrare cu acest titlu!"});
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE titlu = 'Dune  '"));
    }

    void anEmptyTextIsRefusedAndCancelChangesNothing() {
        Library lib;
        RunningApp run(lib.path);
        bool stillOpen = false;
        WhenModal([&](QWidget* dlg) {
            Press(dlg, "ok");
            stillOpen = dlg->isVisible();
            Press(dlg, "cancel");
        });
        run.trigger("searchTitle");
        QVERIFY(stillOpen);
        QCOMPARE(run.prompts.takeMessages(), QStringList{"Trebuie selectat un identificator!"});
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
        QCOMPARE(run.view()->Model()->rowCount(), 4);
    }

    void typeAndStateSearchesUseTheChosenIdentifier() {
        Library lib;
        RunningApp run(lib.path);
        QStringList offered;
        WhenModal([&](QWidget* dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Dialog"));
            auto* combo = dlg->findChild<QComboBox*>("selection");
            for (int i = 0; i < combo->count(); ++i) {
                offered << combo->itemText(i);
            }
            Chosen(0)(dlg); // "Clasic", identifier 2
        });
        run.trigger("searchType");
        QCOMPARE(offered, (QStringList{"Clasic", "SF"}));
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books WHERE tip = 1"));
        QCOMPARE(run.column(1), QStringList{"Ion"});

        WhenModal(Chosen(0));
        run.trigger("searchState");
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books WHERE stare = 0"));
        QCOMPARE(run.column(1), (QStringList{"Dune", "Ion", "Odiseea"}));
    }

    void ratingSearchOffersTheSevenNames() {
        Library lib;
        RunningApp run(lib.path);
        QStringList offered;
        WhenModal([&](QWidget* dlg) {
            auto* combo = dlg->findChild<QComboBox*>("selection");
            for (int i = 0; i < combo->count(); ++i) {
                offered << combo->itemText(i);
            }
            Chosen(6)(dlg);
        });
        run.trigger("searchRating");
        QCOMPARE(offered, (QStringList{"Deosebita", "Excelenta", "Foarte buna", "Buna", "Mediocra",
                                       "Slaba", "De citit"}));
        QCOMPARE(run.column(1), (QStringList{"Abandonata", "Ion"}));
        WhenModal(Chosen(3));
        run.trigger("searchRating");
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE calificativ = 3"));
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Nu exista nici o inregistrare cu acest calificativ!"});
    }

    void withoutCatalogueOrEntriesNothingIsSearched() {
        RunningApp run;
        for (const char* command : {"searchTitle", "searchAuthor", "searchPublisher", "searchType",
                                    "searchRating", "searchState"}) {
            run.trigger(command);
        }
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList(6, "Nici o baza de date nu este deschisa!"));

        TestCatalogue empty;
        empty.db->Close();
        run.prompts.files.push_back(QString::fromStdString(empty.path("test.mdb")));
        run.trigger("fileOpen");
        WhenModal([](QWidget* dlg) { Press(dlg, "ok"); });
        run.trigger("searchType");
        QVERIFY(run.prompts.messages.isEmpty());
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
    }
};

QTEST_MAIN(TestFieldSearches)
#include "tst_fieldsearches.moc"
