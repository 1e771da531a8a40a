#include "support/GuiDriver.h"

namespace {
QTableWidget* Entries(QWidget* editor) {
    return editor->findChild<QTableWidget*>("entries");
}

// The entries listed, "id|name" joined by ','.
QString Rows(QWidget* editor) {
    auto* list = Entries(editor);
    QStringList out;
    for (int r = 0; r < list->rowCount(); ++r) {
        out << list->item(r, 0)->text() + "|" + list->item(r, 1)->text();
    }
    return out.join(',');
}

void SelectEntry(QWidget* editor, int row) {
    Entries(editor)->selectRow(row);
}

std::function<void(QWidget*)> PressOn(const char* button, QStringList* seen = nullptr,
                                      int select = -1) {
    return [=](QWidget* editor) {
        if (seen) {
            *seen << Rows(editor);
        }
        if (select >= 0) {
            SelectEntry(editor, select);
        }
        Press(editor, button);
    };
}

} // namespace

class TestLookupEditor : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    // Tab leaves the list at once: OK, list, Add, Modify, Delete; the size is kept for next time.
    // Names stay unique, Delete asks first, and a new catalogue gets its first types.
    void tabOrderUniqueNamesAndDeleting() {
        LibraryApp run;
        QStringList chain;
        QStringList seen;
        WhenModals({[&](QWidget* editor) {
                        for (QWidget* w = editor->findChild<QWidget*>("ok"); chain.size() < 5;
                             w = w->nextInFocusChain()) {
                            if (w->focusPolicy() & Qt::TabFocus) {
                                chain << w->objectName();
                            }
                        }
                        editor->resize(500, 420);
                        Press(editor, "add");
                    },
                    Answer("SF"), PressOn("modify", nullptr, 1), Answer("SF"),
                    PressOn("modify", nullptr, 1), Answer("Clasic"), PressOn("modify", &seen, 1),
                    Answer("Science fiction"), PressOn("ok", &seen)});
        run.trigger("recordsTypes");
        QCOMPARE(chain, (QStringList{"ok", "entries", "add", "modify", "delete"}));
        QCOMPARE(run.prompts.takeMessages(), QStringList(3, shown::kTypeExists));
        // A rename keeps the row's place until the editor is opened again.
        QCOMPARE(seen.last(), QStringLiteral("2|Clasic,1|Science fiction"));
        seen.clear();
        QCOMPARE(run.column(4),
                 (QStringList{"[nedefinit]", "Science fiction", "Clasic", "Science fiction"}));

        // With nothing selected, Modify and Delete ask for a row; Escape closes.
        WhenModals({[](QWidget* editor) {
                        QVERIFY(!Entries(editor)->tabKeyNavigation());
                        QCOMPARE(editor->size(), QSize(500, 420));
                        Press(editor, "modify");
                        Press(editor, "delete");
                        Press(editor, "add");
                    },
                    Answer("Imprumutata"),
                    [](QWidget* editor) { QTest::keyClick(editor, Qt::Key_Escape); }});
        run.trigger("recordsStates");
        const QString none = QStringLiteral("Trebuie selectata starea dorit");
        QCOMPARE(run.prompts.takeMessages(), (QStringList{none, none}));
        // Stored at once, so in the view's lists however the editor was closed.
        QCOMPARE(run.view()->States().GetSize(), 2);

        // Delete asks first.
        run.prompts.answers = {false, true};
        WhenModal([&](QWidget* editor) {
            SelectEntry(editor, 1);
            Press(editor, "delete");
            seen << Rows(editor);
            Press(editor, "delete");
            seen << Rows(editor);
            Press(editor, "ok");
        });
        run.trigger("recordsTypes");
        QCOMPARE(run.prompts.questions,
                 QStringList(2, "Sunteti sigur va vreti sa stergeti tipul selectat?"));
        QCOMPARE(seen, (QStringList{"2|Clasic,1|Science fiction", "2|Clasic"}));
        // Books keep their stored type, which no entry names any more.
        QCOMPARE(run.column(4),
                 (QStringList{"[nedefinit]", "[nedefinit]", "Clasic", "[nedefinit]"}));

        // A new catalogue gets its first types.
        run.trigger("fileClose");
        run.prompts.files.push_back(run.path("new.mdb"));
        run.trigger("fileSaveAs");
        seen.clear();
        WhenModals({[&](QWidget* editor) {
                        QCOMPARE(Entries(editor)->horizontalHeaderItem(1)->text(),
                                 QStringLiteral("Tip"));
                        PressOn("add", &seen)(editor);
                    },
                    Answer("Roman"), PressOn("add", &seen), Answer("Poezii"), PressOn("add", &seen),
                    Answer("roman"), PressOn("ok", &seen)});
        run.trigger("recordsTypes");
        QCOMPARE(seen,
                 (QStringList{"", "1|Roman", "2|Poezii,1|Roman", "2|Poezii,3|roman,1|Roman"}));
        QCOMPARE(run.view()->Types().GetSize(), 3);
        QVERIFY(run.prompts.messages.isEmpty());
    }

    void theEditorShowsWhatIsStoredAndDeletesTheRowPicked() {
        Library lib;
        // Two rows of one name, as another tool may leave them, and one whose bytes are no UTF-8.
        RawCatalogue(lib.file())
            .exec("INSERT INTO types(id, tip) VALUES (3, 'Clasic'), (4, "
                  "CAST(X'4261C46421' AS TEXT))");
        RunningApp run(lib.path);
        WhenModals({PressOn("add"), Answer("Roman"),
                    [](QWidget* editor) { QTest::keyClick(editor, Qt::Key_Escape); }});
        run.trigger("recordsTypes");
        run.prompts.answers = {true, true};
        QStringList seen;
        WhenModals({PressOn("add", &seen), Answer("Roman"), [&](QWidget* editor) {
                        SelectEntry(editor, 2); // the second "Clasic", id 3
                        Press(editor, "delete");
                        seen << Rows(editor);
                        seen << QString::number(
                            Entries(editor)->selectionModel()->selectedRows().size());
                        SelectEntry(editor, 0); // the bytes that are no UTF-8, id 4
                        Press(editor, "delete");
                        Press(editor, "ok");
                    }});
        run.trigger("recordsTypes");
        QCOMPARE(run.prompts.takeMessages(), QStringList{shown::kTypeExists});
        QCOMPARE(seen, (QStringList{"4|Ba\uFFFDd!,2|Clasic,3|Clasic,5|Roman,1|SF",
                                    "4|Ba\uFFFDd!,2|Clasic,5|Roman,1|SF", "0"}));
        QCOMPARE(RawCatalogue(lib.file()).rows("SELECT id, tip FROM types ORDER BY id"),
                 (Texts{"1|SF", "2|Clasic", "5|Roman"}));
        QCOMPARE(run.view()->Types().GetSize(), 3);

        // A failed operation shows what is stored. Added behind the open catalogue: a file holding
        // it is refused when opened.
        RawCatalogue(lib.file())
            .exec("CREATE TRIGGER keep_types BEFORE DELETE ON types BEGIN SELECT RAISE(ABORT, "
                  "'kept'); END");
        run.prompts.answers = {true};
        seen.clear();
        WhenModals({PressOn("add"), Answer(QString(256, 'x')), PressOn("modify", &seen, 0),
                    Answer(QString(300, 'y')), [&](QWidget* editor) {
                        seen << Rows(editor);
                        SelectEntry(editor, 0);
                        Press(editor, "delete");
                        seen << Rows(editor);
                        Press(editor, "ok");
                    }});
        run.trigger("recordsTypes");
        QCOMPARE(run.prompts.takeMessages(),
                 (QStringList{shown::kCannotInsert, shown::kCannotUpdate, shown::kCannotDelete}));
        QCOMPARE(seen, QStringList(3, "2|Clasic,5|Roman,1|SF"));
    }
};

QTEST_MAIN(TestLookupEditor)
#include "tst_lookupeditor.moc"
