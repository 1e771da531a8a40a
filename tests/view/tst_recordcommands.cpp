#include "store/BookHistory.h"
#include "support/GuiDriver.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {
std::vector<std::string> Stored(const Library& lib, const char* sql) {
    return RawCatalogue(lib.file()).rows(sql);
}

// Records > Adauga: a book of this title with this ISBN on Detalii.
void AddWithIsbn(RunningApp& run, const QString& title, const QString& isbn) {
    WhenModal([=](QWidget* dlg) {
        TypeInto(dlg, "titlu", title);
        TypeInto(dlg, "autor", "Asimov");
        TypeInto(dlg, "editura", "Paladin");
        Choose(dlg, "calificativ", 6);
        dlg->findChild<QTabWidget*>("pages")->setCurrentIndex(1);
        TypeInto(dlg, "isbn", isbn);
        Press(dlg, "ok");
    });
    run.trigger("recordsAdd");
}
} // namespace

class TestRecordCommands : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void addWithTheDefaultsThenAConsistentBook() {
        LibraryApp run;
        QStringList tabOrder;
        WhenModal([&](QWidget* dlg) {
            QCOMPARE(dlg->windowTitle(), QStringLiteral("Shelfwarden Book Info"));
            // The new book's type is the one with identifier 1 ("SF", second by name).
            QCOMPARE(Values(dlg, {"titlu", "tip", "pagini", "capitole", "volume", "publicare",
                                  "publicare_volum", "citita", "calificativ", "stare"}),
                     (QStringList{"", "SF", "1", "1", "1", "1", "1", "Nu", "Deosebita", "Acasa"}));
            // Tab as a person presses it, round the whole cycle and on to the title again.
            QApplication::setActiveWindow(dlg);
            dlg->findChild<QWidget*>("titlu")->setFocus();
            const auto press = [&](int times, Qt::KeyboardModifiers shift) {
                for (int i = 0; i < times; ++i) {
                    tabOrder << dlg->focusWidget()->objectName();
                    QTest::keyClick(dlg->focusWidget(), Qt::Key_Tab, shift);
                }
            };
            press(15, Qt::NoModifier);
            press(2, Qt::ShiftModifier);
            // The details page goes round its own fields, the cover and the buttons; "Sterge
            // coperta" is off while there is no cover.
            dlg->findChild<QTabWidget*>("pages")->setCurrentIndex(1);
            dlg->findChild<QWidget*>("isbn")->setFocus();
            press(10, Qt::NoModifier);
            dlg->findChild<QTabWidget*>("pages")->setCurrentIndex(0);
            TypeInto(dlg, "titlu", "");
            Press(dlg, "ok"); // rating clash comes before the empty title
            Choose(dlg, "calificativ", 6);
            Press(dlg, "ok");
            Press(dlg, "cancel");
        });
        run.trigger("recordsAdd");
        QCOMPARE(tabOrder, (QStringList{"titlu",   "autor",       "editura",
                                        "tip",     "pagini",      "capitole",
                                        "volume",  "publicare",   "publicare_volum",
                                        "citita",  "calificativ", "ok",
                                        "cancel",  "stare",       "titlu",
                                        "autor",   "titlu",       "isbn",
                                        "locatie", "serie",       "numar_serie",
                                        "note",    "coperta",     "chooseCover",
                                        "ok",      "cancel",      "isbn"}));
        QCOMPARE(run.prompts.takeMessages(), (QStringList{shown::kRatingClash, shown::kNoTitle}));

        // Number fields are checked in exchange order, each refusal focusing its field.
        QStringList focus;
        WhenModal([&](QWidget* dlg) {
            auto ok = [&] {
                Press(dlg, "ok");
                focus << dlg->focusWidget()->objectName();
            };
            Fill({{"titlu", "Fundatia"},
                  {"autor", "Asimov"},
                  {"editura", "Paladin"},
                  {"pagini", ""},
                  {"publicare_volum", ""}},
                 {{"tip", 0}, {"citita", 1}, {"calificativ", 1}})(dlg);
            focus << dlg->focusWidget()->objectName();
            TypeInto(dlg, "publicare_volum", "0");
            ok();
            TypeInto(dlg, "pagini", "40000");
            TypeInto(dlg, "publicare", "12x");
            ok();
            TypeInto(dlg, "publicare", "-500");
            TypeInto(dlg, "publicare_volum", "1990");
            ok(); // more pages than the catalogue holds: refused before it closes
            TypeInto(dlg, "pagini", "400");
            Press(dlg, "ok");
        });
        run.trigger("recordsAdd");
        QCOMPARE(focus, (QStringList{"publicare_volum", "pagini", "publicare", "pagini"}));
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList(3, shown::kNotInteger) + QStringList{shown::kOutOfRange});
        QCOMPARE(Stored(run, "SELECT id, titlu, tip, pagini, publicare, citita, calificativ, stare "
                             "FROM books WHERE titlu = 'Fundatia'"),
                 Texts{"5|Fundatia|1|400|-500|-1|1|0"});
        QCOMPARE(run.rows().last(),
                 QStringLiteral(
                     "0005|Fundatia|Asimov|Paladin|Clasic|400|1|1|-500|1990|Da|Excelenta|Acasa"));
    }

    // A stored book keeps what nobody gave unknown; a new book gets every check; a book already
    // in the catalogue (case and accents aside) is asked about, and No keeps what was typed.
    void unknownStaysUnknownAndANewBookIsChecked() {
        BookRecord vague = MakeBook("Vag", "Cineva", "");
        vague.pagini = vague.publicare = vague.publicare_volum = kUnknownNumber;
        LibraryApp run({vague});
        run.selectRow(static_cast<int>(run.column(1).indexOf("Vag")));
        WhenModal([](QWidget* dlg) {
            QCOMPARE(Values(dlg, {"editura", "pagini", "publicare", "publicare_volum"}),
                     (QStringList{"", "", "", ""}));
            TypeInto(dlg, "capitole", "7");
            Press(dlg, "ok");
        });
        run.trigger("recordsModify");
        QCOMPARE(Stored(run, "SELECT editura, pagini, capitole, publicare, publicare_volum FROM "
                             "books WHERE id = 5"),
                 Texts{"|NULL|7|NULL|NULL"});
        // What the user types is checked as ever.
        WhenModal([](QWidget* dlg) {
            TypeInto(dlg, "pagini", "0");
            Press(dlg, "ok");
            Press(dlg, "cancel");
        });
        run.trigger("recordsModify");
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{"Numarul de pagini trebuie sa fie mai mare decat 0!"});

        run.prompts.answers = {false, true};
        WhenModal([&](QWidget* dlg) {
            TypeInto(dlg, "titlu", "ION");
            TypeInto(dlg, "autor", "Rébreanu");
            TypeInto(dlg, "pagini", "");
            Choose(dlg, "calificativ", 6);
            Press(dlg, "ok"); // an empty number is refused on Add
            TypeInto(dlg, "pagini", "12");
            TypeInto(dlg, "editura", "");
            Press(dlg, "ok"); // and so is an empty text
            TypeInto(dlg, "editura", "Litera");
            Press(dlg, "ok"); // No: the dialog stays with what was typed
            QCOMPARE(Values(dlg, {"titlu", "autor", "pagini"}),
                     (QStringList{"ION", "Rébreanu", "12"}));
            Press(dlg, "ok"); // Yes
        });
        run.trigger("recordsAdd");
        QCOMPARE(run.prompts.takeMessages(),
                 (QStringList{"Please enter an integer.", "Trebuie specificat o editura!"}));
        QCOMPARE(run.prompts.questions,
                 (QStringList{"Exista deja o carte cu acest titlu si autor. O adaugati oricum?",
                              "Exista deja o carte cu acest titlu si autor. O adaugati oricum?"}));
        QCOMPARE(Stored(run, "SELECT titlu, autor, editura, pagini FROM books WHERE id = 6"),
                 Texts{"ION|Rébreanu|Litera|12"});
    }

    void twoBooksWithOneTitleStayApart() {
        LibraryApp run;
        for (const char* author : {"First", "Second"}) {
            WhenModal(Fill({{"titlu", "Twin"}, {"autor", author}, {"editura", "E"}},
                           {{"calificativ", 6}}));
            run.trigger("recordsAdd");
        }
        // Modify the second with a double click as the platform delivers it (press, release, then
        // the double click), then delete the first: each hits its own book.
        QVERIFY(QTest::qWaitForWindowExposed(run.frame()));
        WhenModal(Fill({{"pagini", "99"}}));
        const QRect cell = run.view()->visualRect(run.view()->model()->index(5, 1));
        QTest::mouseClick(run.view()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(run.view()->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(
            Stored(run, "SELECT id, autor, pagini FROM books WHERE titlu = 'Twin' ORDER BY id"),
            (Texts{"5|First|1", "6|Second|99"}));
        const int first = static_cast<int>(run.column(0).indexOf("0005"));
        run.selectRow(first);
        run.trigger("recordsDelete");
        QCOMPARE(Stored(run, "SELECT id FROM books WHERE titlu = 'Twin'"), Texts{"6"});

        // A delete from a search lists all books again.
        run.trigger("viewRead");
        QCOMPARE(run.view()->Model()->rowCount(), 2);
        run.selectRow(0);
        run.trigger("recordsDelete");
        QCOMPARE(run.column(1), (QStringList{"Abandonata", "Ion", "Odiseea", "Twin"}));
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));

        // Nothing selected, or cancelled: nothing changes.
        run.view()->clearSelection();
        run.trigger("recordsDelete");
        run.trigger("recordsModify");
        WhenModal([](QWidget* dlg) {
            TypeInto(dlg, "titlu", "Never");
            Press(dlg, "cancel");
        });
        run.trigger("recordsAdd");
        QCOMPARE(Stored(run, "SELECT count(*) FROM books"), Texts{"4"});
        QVERIFY(run.prompts.messages.isEmpty());
    }

    // Add, modify and delete, undone and redone step by step: the catalogue is each time what
    // it was, identifiers included; a book another program changed is left alone.
    void undoAndRedoRestoreTheCatalogue() {
        LibraryApp run;
        const char* all = "SELECT * FROM books ORDER BY id";
        std::vector<std::vector<std::string>> states{Stored(run, all)};
        const std::vector<std::function<void()>> steps = {
            [&] {
                WhenModal(Fill({{"titlu", "Nou"}, {"autor", "A"}, {"editura", "E"}},
                               {{"calificativ", 6}}));
                run.trigger("recordsAdd");
            },
            [&] {
                run.selectRow(1); // Dune
                WhenModal(Fill({{"titlu", "Dune II"}, {"pagini", "700"}}));
                run.trigger("recordsModify");
            },
            [&] {
                run.selectRow(2); // Ion
                run.trigger("recordsDelete");
            },
        };
        for (const auto& step : steps) {
            step();
            states.push_back(Stored(run, all));
        }
        QCOMPARE(states.back().size(), std::size_t{4});
        for (int i = static_cast<int>(steps.size()) - 1; i >= 0; --i) {
            run.trigger("editUndo");
            QCOMPARE(Stored(run, all), states[static_cast<std::size_t>(i)]);
        }
        QVERIFY(!run.action("editUndo")->isEnabled());
        for (std::size_t i = 1; i < states.size(); ++i) {
            run.trigger("editRedo");
            QCOMPARE(Stored(run, all), states[i]);
        }
        QCOMPARE(run.view()->Model()->rowCount(), 4);
        QVERIFY(run.prompts.messages.isEmpty());

        run.trigger("editUndo"); // Ion is back
        RawCatalogue(run.file()).exec("UPDATE books SET pagini = 401 WHERE titlu = 'Ion'");
        const auto changed = Stored(run, all);
        run.trigger("editRedo");
        QCOMPARE(Stored(run, all), changed);
        QCOMPARE(run.prompts.takeMessages(), QStringList{kChangedElsewhere});

        run.trigger("fileClose");
        QVERIFY(!run.action("editUndo")->isEnabled());
    }

    // A new book whose details the catalogue refuses (an index the user added wants each ISBN
    // once) is not stored either: the user is told, and the list and the steps to undo stay.
    void aBookWhoseDetailsAreRefusedIsNotAdded() {
        LibraryApp run;
        AddWithIsbn(run, "Fundatia", "978-0-553-29335-7");
        QVERIFY(RawCatalogue(run.file()).exec("CREATE UNIQUE INDEX u ON book_details(isbn)"));
        AddWithIsbn(run, "Fundatia II", "9780553293357");
        QCOMPARE(run.prompts.takeMessages(),
                 QStringList{QString(shown::kCannotInsert) +
                             "\nDetaliile nu pot fi scrise: o alta inregistrare are deja aceeasi "
                             "valoare in book_details.isbn, iar un index al catalogului cere "
                             "valori unice"});
        const char* stored = "SELECT id, titlu, isbn FROM books LEFT JOIN book_details USING (id) "
                             "WHERE id > 4";
        QCOMPARE(Stored(run, stored), Texts{"5|Fundatia|9780553293357"});
        QCOMPARE(run.column(1).count(QStringLiteral("Fundatia II")), 0);
        // The one step to undo is the first book's.
        run.trigger("editUndo");
        QCOMPARE(Stored(run, stored), Texts{});
        QVERIFY(!run.action("editUndo")->isEnabled());
        run.trigger("editRedo");
        QCOMPARE(Stored(run, stored), Texts{"5|Fundatia|9780553293357"});
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void modifyWritesOnlyAChange() {
        LibraryApp run;
        RawCatalogue(run.file())
            .exec("CREATE TABLE seen(n); CREATE TRIGGER count_updates AFTER UPDATE ON books "
                  "BEGIN INSERT INTO seen VALUES (1); END");
        run.selectRow(2); // Ion
        WhenModal([](QWidget* dlg) { Press(dlg, "ok"); });
        run.trigger("recordsModify");
        QCOMPARE(Stored(run, "SELECT count(*) FROM seen"), Texts{"0"});

        WhenModal(Fill({{"autor", "Liviu Rebreanu"}}));
        run.trigger("recordsModify");
        QCOMPARE(run.rows()[2],
                 QStringLiteral(
                     "0002|Ion|Liviu Rebreanu|Minerva|Clasic|400|1|1|1920|1980|Nu|De citit|Acasa"));
        QCOMPARE(Stored(run, "SELECT autor FROM books WHERE id = 2"), Texts{"Liviu Rebreanu"});

        // A book whose type no entry names opens on the first type and stores it.
        run.selectRow(0);
        WhenModal([](QWidget* dlg) { Press(dlg, "ok"); });
        run.trigger("recordsModify");
        QCOMPARE(Stored(run, "SELECT tip, stare FROM books WHERE id = 4"), Texts{"1|0"});
        QCOMPARE(run.column(4)[0], QStringLiteral("Clasic"));

        // A title whose bytes are no UTF-8 survives an edit of another field.
        RawCatalogue(run.file())
            .exec("UPDATE books SET titlu = CAST(X'4475C36E65' AS TEXT) WHERE id = 1");
        run.trigger("viewAll");
        run.selectRow(static_cast<int>(run.column(0).indexOf("0001")));
        WhenModal(Fill({{"pagini", "601"}}));
        run.trigger("recordsModify");
        QCOMPARE(Stored(run, "SELECT hex(titlu), pagini FROM books WHERE id = 1"),
                 Texts{"4475C36E65|601"});
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void withoutTypesOrStates() {
        TestCatalogue c;
        c.db->Close();
        RunningApp run(QString::fromStdString(c.path("test.mdb")));
        QVERIFY(QTest::qWaitForWindowActive(run.frame()));
        run.view()->setFocus();
        // The starter set declined, the catalogue stays without and is not offered it again.
        int offers = 0;
        WhenModal([&](QWidget* dlg) {
            offers += dlg->objectName() == "starterSetDialog";
            Press(dlg, "cancel");
        });
        QTest::keyClick(run.view(), Qt::Key_A,
                        Qt::ControlModifier); // the accelerator, not select-all
        QCOMPARE(offers, 1);
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kNoType});
        QCOMPARE(RawCatalogue(c.path("test.mdb")).one("SELECT count(*) FROM types"), "0");
        // The composite search refuses types and states it has none of; a search by type
        // searches nothing.
        WhenModal([](QWidget* dlg) {
            Tick(dlg, "useType");
            Press(dlg, "ok");
            Tick(dlg, "useType");
            Tick(dlg, "useState");
            Press(dlg, "ok");
            Press(dlg, "cancel");
        });
        run.trigger("searchComposite");
        QCOMPARE(run.prompts.takeMessages(), (QStringList{shown::kNoType, shown::kNoState}));
        WhenModal([](QWidget* dlg) { Press(dlg, "ok"); });
        run.trigger("searchType");
        QVERIFY(run.prompts.messages.isEmpty());
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
        RawCatalogue(c.path("test.mdb")).exec("INSERT INTO types(tip) VALUES ('T')");
        run.view()->ReloadLookups();
        run.trigger("recordsAdd");
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kNoState});
    }

    // A catalogue without types or states is offered a starter set before its first book comes,
    // by an import as by Adauga; the user's changes are stored, for the lists it lacks only.
    void aCatalogueWithoutTypesTakesTheStarterSetAsEdited() {
        TestCatalogue bare;
        TestCatalogue noStates("other.mdb");
        noStates.db->InsertType("SF");
        bare.db->Close();
        noStates.db->Close();
        RunningApp run(QString::fromStdString(bare.path("test.mdb")));
        QStringList offered;
        const auto offer = [&](QWidget* dlg) {
            offered << dlg->windowTitle() + "|" + dlg->findChild<QLabel*>("note")->text();
            for (const char* name : {"types", "states"}) {
                auto* list = dlg->findChild<QPlainTextEdit*>(name);
                offered << (list ? list->toPlainText().replace('\n', ',') : "-");
            }
        };
        WhenModal([&](QWidget* dlg) {
            offer(dlg);
            auto* types = dlg->findChild<QPlainTextEdit*>("types");
            types->setFocus();
            types->moveCursor(QTextCursor::End);
            QTest::keyClick(types, Qt::Key_Return);
            QTest::keyClicks(types, "  Biografii ");
            Press(dlg, "ok");
        });
        run.prompts.files = {std::nullopt};
        run.trigger("fileImport");
        QCOMPARE(offered,
                 (QStringList{"Shelfwarden|Catalogul nu are inca tipuri si stari pentru carti: "
                              "puteti incepe cu acestea, cate unul pe rand, schimbate dupa "
                              "dorinta.",
                              "Roman,Poezie,Teatru,Eseu,Istorie,Stiinta,Copii,Manual,Altele",
                              "Buna,Uzata,Deteriorata,Imprumutata,Pierduta"}));
        const RawCatalogue raw(bare.path("test.mdb"));
        QCOMPARE(raw.rows("SELECT group_concat(tip) FROM types"),
                 Texts{"Roman,Poezie,Teatru,Eseu,Istorie,Stiinta,Copii,Manual,Altele,Biografii"});
        QCOMPARE(raw.rows("SELECT group_concat(stare) FROM states"),
                 Texts{"Buna,Uzata,Deteriorata,Imprumutata,Pierduta"});
        // The first book takes the first of each.
        WhenModal(Fill({{"titlu", "Ion"}, {"autor", "Rebreanu"}, {"editura", "Minerva"}},
                       {{"calificativ", 6}}));
        run.trigger("recordsAdd");
        QCOMPARE(raw.rows("SELECT titlu, t.tip, s.stare FROM books b JOIN types t ON t.id = "
                          "b.tip + 1 JOIN states s ON s.id = b.stare + 1"),
                 Texts{"Ion|Roman|Buna"});

        // A catalogue with types gets the states alone.
        offered.clear();
        run.prompts.files = {QString::fromStdString(noStates.path("other.mdb"))};
        run.trigger("fileOpen");
        WhenModals({[&](QWidget* dlg) {
                        offer(dlg);
                        Press(dlg, "ok");
                    },
                    [](QWidget* dlg) { Press(dlg, "cancel"); }});
        run.trigger("recordsAdd");
        QCOMPARE(offered.value(1), "-");
        QVERIFY(offered.value(0).contains("nu are inca stari pentru"));
        QCOMPARE(RawCatalogue(noStates.path("other.mdb"))
                     .rows("SELECT group_concat(tip) FROM types UNION ALL "
                           "SELECT group_concat(stare) FROM states"),
                 (Texts{"SF", "Buna,Uzata,Deteriorata,Imprumutata,Pierduta"}));
        QCOMPARE(run.prompts.messages, QStringList());
    }
};

QTEST_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
