#include "support/GuiDriver.h"

#include <QRadioButton>
#include <QRegularExpression>

class TestNumericAndComposite : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void numbersAndRanges_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to"); // empty: a single value
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QString>("message"); // empty: found, listed
        auto row = [](const char* command, const char* from, const char* to, const char* condition,
                      const QStringList& titles, const char* message = "") {
            QTest::addRow("%s %s %s", command, from, to)
                << command << from << to << condition << titles << message;
        };
        const QStringList all{"Abandonata", "Dune", "Ion", "Odiseea"};
        row("searchPages", "300", "600", "pagini >= 300 AND pagini <= 600",
            {"Dune", "Ion", "Odiseea"});
        // Reversed bounds are searched as given; the list stays as it was.
        row("searchPages", "600", "300", "pagini >= 600 AND pagini <= 300", all,
            "Nu exista nici o inregistrare cu acest numar de pagini!");
        row("searchFirstPublished", "-700", "", "publicare = -700", {"Odiseea"});
        row("searchVolumePublished", "1900", "2100",
            "publicare_volum >= 1900 AND publicare_volum <= 2100", all);
        row("searchVolumes", "2", "", "volume = 2", all,
            "Nu exista nici o inregistrare cu acest numar de volume!");
        row("searchChapters", "1", "", "capitole = 1", all);
        row("searchPages", "600", "", "pagini = 600", {"Dune"});
        row("searchVolumes", "1", "1", "volume >= 1 AND volume <= 1", all);
        row("searchFirstPublished", "-800", "0", "publicare >= -800 AND publicare <= 0",
            {"Odiseea"});
        row("searchVolumePublished", "2003", "", "publicare_volum = 2003", {"Dune"});
    }

    void numbersAndRanges() {
        QFETCH(QString, command);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, condition);
        QFETCH(QStringList, titles);
        QFETCH(QString, message);
        LibraryApp run;
        WhenModal([&](QWidget* dlg) {
            if (to.isEmpty()) {
                TypeInto(dlg, "value", from);
            } else {
                Press(dlg, "range");
                TypeInto(dlg, "min", from);
                TypeInto(dlg, "max", to);
            }
            Press(dlg, "ok");
        });
        run.trigger(command.toUtf8().constData());
        QCOMPARE(QString::fromStdString(run.view()->CurrentQuery()),
                 "SELECT * FROM books WHERE " + condition);
        QCOMPARE(run.column(1), titles);
        QCOMPARE(run.prompts.takeMessages(),
                 message.isEmpty() ? QStringList{} : QStringList{message});
    }

    void composite_data() {
        QTest::addColumn<QStringList>("steps"); // "useX" ticks box X, "x=text" types, "x#n" chooses
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QStringList>("titles");
        auto row = [](const char* name, const QStringList& steps, const char* where,
                      const QStringList& titles) {
            QTest::newRow(name) << steps
                                << (where[0] ? QStringLiteral("SELECT * FROM books WHERE ") + where
                                             : QStringLiteral("SELECT * FROM books"))
                                << titles;
        };
        // Pages ticked and unticked again: left out.
        row("author and read",
            {"useRead", "useAuthor", "author=Herbert", "read#1", "usePages", "usePages"},
            "autor = 'Herbert' AND citita = -1", {"Dune"});
        row("rating", {"useRating"}, "calificativ = 0", {"Dune", "Irish tales"});
        // Types listed by name: "Clasic" first, identifier 2.
        row("own types", {"useType", "type#0", "useState"}, "tip = 1 AND stare = 0", {"Ion"});
        row("nothing ticked", {}, "",
            {"Abandonata", "Dune", "Ion", "Irish tales", "Messiah", "Odiseea"});
    }

    void composite() {
        QFETCH(QStringList, steps);
        QFETCH(QString, statement);
        QFETCH(QStringList, titles);
        LibraryApp run(
            {MakeBook("Messiah", "Herbert"),
             MakeBook("Irish tales", "O'Brien", "Editura", {.citita = 1, .calificativ = 0})});
        QStringList initial;
        WhenModal([&](QWidget* dlg) {
            for (const char* f : {"title", "type", "read", "rating", "state"}) {
                initial << (dlg->findChild<QWidget*>(f)->isEnabled() ? "on" : "off");
            }
            initial << dlg->findChild<QComboBox*>("type")->currentText();
            for (const QString& step : steps) {
                const QByteArray name = step.section(QRegularExpression("[=#]"), 0, 0).toUtf8();
                if (step.startsWith("use")) {
                    Tick(dlg, name.constData());
                } else if (step.contains('=')) {
                    TypeInto(dlg, name.constData(), step.section('=', 1));
                } else {
                    Choose(dlg, name.constData(), step.section('#', 1).toInt());
                }
            }
            Press(dlg, "ok");
        });
        run.trigger("searchComposite");
        QCOMPARE(initial, (QStringList{"off", "off", "off", "off", "off", "Clasic"}));
        QCOMPARE(QString::fromStdString(run.view()->CurrentQuery()), statement);
        QCOMPARE(run.column(1), titles);
        QVERIFY(run.prompts.messages.isEmpty());
    }

    // A text search refuses an empty text. The numeric dialog opens on a single value; a range
    // greys it, yet a non-integer left in it is still refused. Cancel searches nothing.
    void searchRefusals() {
        LibraryApp run;
        WhenModal([](QWidget* dlg) {
            Press(dlg, "ok");
            QVERIFY(dlg->isVisible());
            Press(dlg, "cancel");
        });
        run.trigger("searchTitle");
        QCOMPARE(run.prompts.takeMessages(), QStringList{"Trebuie selectat un identificator!"});
        QCOMPARE(run.view()->CurrentQuery(), std::string("SELECT * FROM books"));
        QCOMPARE(run.view()->Model()->rowCount(), 4);
        QStringList state;
        WhenModal([&](QWidget* dlg) {
            auto enabled = [&] {
                QString out;
                for (const char* name : {"value", "min", "max"}) {
                    out += dlg->findChild<QWidget*>(name)->isEnabled() ? "on" : "off";
                }
                return out;
            };
            state << Values(dlg, {"value", "min", "max"}).join("") << enabled()
                  << QString::number(dlg->findChild<QRadioButton*>("single")->isChecked());
            TypeInto(dlg, "value", "abc");
            Press(dlg, "range");
            state << enabled() << Value(dlg, "value");
            Press(dlg, "ok");
            state << dlg->focusWidget()->objectName();
            TypeInto(dlg, "value", "5");
            TypeInto(dlg, "min", "99999999999");
            Press(dlg, "ok");
            TypeInto(dlg, "min", "1");
            TypeInto(dlg, "max", "1");
            Press(dlg, "ok");
        });
        run.trigger("searchChapters");
        WhenModal([](QWidget* dlg) { Press(dlg, "cancel"); });
        run.trigger("searchPages");
        QCOMPARE(state, (QStringList{"000", "onoffoff", "1", "offonon", "abc", "value"}));
        QCOMPARE(run.prompts.takeMessages(), QStringList(2, shown::kNotInteger));
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE capitole >= 1 AND capitole <= 1"));

        // The composite search refuses a non-integer too, and types and states it has none of.
        WhenModal([](QWidget* dlg) {
            Tick(dlg, "usePages");
            Press(dlg, "ok");
            QCOMPARE(dlg->focusWidget()->objectName(), QStringLiteral("pages"));
            TypeInto(dlg, "pages", "250");
            Tick(dlg, "useTitle");
            Press(dlg, "ok");
        });
        run.trigger("searchComposite");
        QCOMPARE(run.prompts.takeMessages(),
                 (QStringList{shown::kNotInteger,
                              "Nu exista nici o potrivire pentru criteriul specificat!"}));
        QCOMPARE(run.view()->CurrentQuery(),
                 std::string("SELECT * FROM books WHERE titlu = '' AND pagini = 250"));
    }
};

QTEST_MAIN(TestNumericAndComposite)
#include "tst_numericandcomposite.moc"
