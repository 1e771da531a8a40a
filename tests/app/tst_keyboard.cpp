#include "isbn/ui/CIsbnCommands.h"
#include "isbn/ui/CIsbnEntryDlg.h"
#include "loans/CLoanRegister.h"
#include "shell/AppSettings.h"
#include "support/GuiDriver.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

// What a person without a mouse meets: Tab round every window, the access keys of the menus,
// the keys of the list.
namespace {

// The controls Tab can reach in `window`: shown, enabled, taking the focus by Tab, and not
// standing in for another one.
QSet<QWidget*> TabStops(QWidget* window) {
    QSet<QWidget*> stops;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->window() == window && w->isVisibleTo(window) && w->isEnabled() &&
            (w->focusPolicy() & Qt::TabFocus) && w->focusProxy() == nullptr) {
            stops << w;
        }
    }
    return stops;
}

QString NameOf(const QWidget* w) {
    if (!w->objectName().isEmpty()) {
        return w->objectName();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->text();
    }
    return QString::fromUtf8(w->metaObject()->className());
}

// Presses Tab, or Shift+Tab, until the focus is back where it started, and tells what stops it
// missed, or that it never came back.
QString TabRound(QWidget* window, bool backwards) {
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window)) {
        return QStringLiteral("the window is not active");
    }
    QWidget* start = QApplication::focusWidget();
    if (start == nullptr || start->window() != window) {
        return QStringLiteral("no focus in the window");
    }
    QSet<QWidget*> met{start};
    // A date field takes Tab to go to its next part first; it counts as left once it lets go.
    bool left = false;
    for (int i = 0; i < 80; ++i) {
        QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                        backwards ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget* now = QApplication::focusWidget();
        left = left || now != start;
        if (now == start && (left || TabStops(window).size() == 1)) {
            QStringList missed;
            for (QWidget* stop : TabStops(window) - met) {
                missed << NameOf(stop);
            }
            missed.sort();
            return missed.isEmpty() ? QString() : "missed " + missed.join(", ");
        }
        met << now;
    }
    return "never back to " + NameOf(start) + " after " + NameOf(QApplication::focusWidget());
}

struct Opening {
    const char* action;
    std::function<void(RunningApp&)> before;
    int page = -1; // of a window with pages, the one to walk
    bool modeless = false;
};

} // namespace

Q_DECLARE_METATYPE(Opening)

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void init() { UseTemporarySettings(); }

    void tabGoesRoundEveryControlOfEveryWindow_data() {
        QTest::addColumn<Opening>("opening");
        const auto none = [](RunningApp&) {};
        const auto first = [](RunningApp& run) { run.selectRow(0); };
        QTest::newRow("book, first page") << Opening{"recordsAdd", none};
        QTest::newRow("book, details page") << Opening{"recordsModify", first, 1};
        QTest::newRow("search by text") << Opening{"searchTitle", none};
        QTest::newRow("search by type") << Opening{"searchType", none};
        QTest::newRow("search by number") << Opening{"searchPages", none};
        QTest::newRow("composite search") << Opening{"searchComposite", none};
        QTest::newRow("general statistics") << Opening{"statsGeneral", none};
        QTest::newRow("authors") << Opening{"statsAuthors", none};
        QTest::newRow("types") << Opening{"recordsTypes", none};
        QTest::newRow("lend") << Opening{"recordsLend", first};
        QTest::newRow("return") << Opening{
            "recordsReturn", [](RunningApp& run) {
                CLoanRegister(*run.doc()->GetDatabase(), nullptr).Lend(1, "Ana", "2026-12-01", "");
                run.selectRow(1);
            }};
        QTest::newRow("loans") << Opening{
            "recordsLoans", [](RunningApp& run) {
                CLoanRegister(*run.doc()->GetDatabase(), nullptr).Lend(1, "Ana", "2026-12-01", "");
            }};
        const auto two = [](RunningApp& run) { run.view()->selectAll(); };
        QTest::newRow("many books, first page") << Opening{"recordsModifySelection", two, 0};
        QTest::newRow("many books, details page") << Opening{"recordsModifySelection", two, 1};
        QTest::newRow("doubles") << Opening{"recordsDoubles", [](RunningApp& run) {
                                                run.doc()->GetDatabase()->InsertBook(
                                                    "Dune", "Herbert", "Nemira", 0, 600, 1, 1, 1965,
                                                    2003, 1, 0, 0);
                                            }};
        QTest::newRow("backups") << Opening{"fileBackups", none};
        QTest::newRow("ISBN") << Opening{"recordsAddByIsbn", none, -1, true};
        QTest::newRow("about") << Opening{"helpAbout", none};
        for (int page = 0; page < 4; ++page) {
            QTest::newRow(qPrintable(QStringLiteral("options, page %1").arg(page + 1)))
                << Opening{"settingsOptions", none, page};
        }
    }
    void tabGoesRoundEveryControlOfEveryWindow() {
        QFETCH(Opening, opening);
        LibraryApp run;
        opening.before(run);
        QString forwards = "not opened";
        QString backwards;
        const auto walk = [&](QWidget* window) {
            if (opening.page >= 0) {
                auto* pages = window->findChild<QTabWidget*>();
                window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(window));
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
                QCOMPARE(pages->currentIndex(), 1);
                pages->setCurrentIndex(opening.page);
                QWidget* page = pages->currentWidget();
                QWidget* first = page->nextInFocusChain();
                while (!TabStops(window).contains(first) || !page->isAncestorOf(first)) {
                    first = first->nextInFocusChain();
                }
                first->setFocus();
            }
            forwards = TabRound(window, false);
            backwards = TabRound(window, true);
            QTest::keyClick(window, Qt::Key_Escape);
        };
        if (opening.modeless) {
            run.trigger(opening.action);
            walk(run.frame()->CommandTarget<CIsbnCommands>()->Window());
        } else {
            WhenModal(walk);
            run.trigger(opening.action);
        }
        QCOMPARE(forwards, QString());
        QCOMPARE(backwards, QString());
    }

    // The focus is in sight on every button, the default one too, and Tab leaves the book list.
    void theFocusIsAlwaysInSight() {
        LibraryApp run;
        // A default button as the style draws it, with the focus and without.
        const auto drawn = [](bool focus) {
            QPushButton button(QStringLiteral("OK"));
            button.setDefault(true);
            button.resize(80, 30);
            QStyleOptionButton option;
            option.initFrom(&button);
            option.features |= QStyleOptionButton::DefaultButton;
            option.text = button.text();
            option.state |= QStyle::State_Enabled | QStyle::State_Active;
            if (focus) {
                option.state |= QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
            }
            QImage image(button.size(), QImage::Format_ARGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            QApplication::style()->drawControl(QStyle::CE_PushButton, &option, &painter, &button);
            return image;
        };
        QVERIFY(drawn(true) != drawn(false));

        run.frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(run.frame()));
        run.view()->setFocus();
        QTest::keyClick(run.view(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != run.view());
        // After a new listing nothing is chosen; the first arrow chooses the first row.
        run.view()->ClearList();
        run.trigger("viewAll");
        run.view()->setFocus();
        QVERIFY(run.view()->FirstSelectedRow() < 0);
        QTest::keyClick(run.view(), Qt::Key_Down);
        QCOMPARE(run.view()->FirstSelectedRow(), 0);
    }

    // The list follows the desktop's font, and its contrast where the Options colours say nothing.
    void theListFollowsTheDesktopsFontAndContrast() {
        LibraryApp run;
        CShelfwardenView* list = run.view();
        const QFont font = QApplication::font(list);
        QFont large = font;
        if (font.pointSize() > 0) {
            large.setPointSize(font.pointSize() * 2);
        } else {
            large.setPixelSize(font.pixelSize() * 2);
        }
        // As the desktop's theme gives it: lists have a font of their own.
        QApplication::setFont(large, "QAbstractItemView");
        QVERIFY(list->rowHeight(0) > list->fontMetrics().height());
        QVERIFY(list->fontMetrics().height() > QFontMetrics(font).height());
        const QPalette usual = QApplication::palette(list);
        QPalette contrast = usual;
        contrast.setColor(QPalette::Highlight, Qt::yellow);
        contrast.setColor(QPalette::HighlightedText, Qt::black);
        QApplication::setPalette(contrast, "QAbstractItemView");
        QCOMPARE(list->palette().color(QPalette::Highlight), QColor(Qt::yellow));
        QCOMPARE(list->palette().color(QPalette::Base), Settings().Background());
        QApplication::setFont(font, "QAbstractItemView");
        QApplication::setPalette(usual, "QAbstractItemView");
    }

    // Alt and a letter reaches every item of a menu: no two items of one menu share it.
    void everyMenuItemHasItsOwnAccessKey() {
        LibraryApp run;
        QStringList shared;
        const auto keyOf = [](const QString& text) {
            const qsizetype at = text.indexOf(QLatin1Char('&'));
            return at >= 0 ? text.mid(at + 1, 1).toLower() : QString();
        };
        QStringList menus;
        for (QAction* menu : run.frame()->menuBar()->actions()) {
            menus << keyOf(menu->text());
            QStringList keys;
            for (QAction* item : menu->menu()->actions()) {
                const QString key = keyOf(item->text());
                if (!key.isEmpty() && keys.contains(key)) {
                    shared << item->text();
                }
                keys << key;
            }
        }
        QCOMPARE(shared, QStringList{"P&agini"}); // beside "&Autor", as the menu was first drawn
        QCOMPARE(QSet<QString>(menus.begin(), menus.end()).size(), menus.size());
    }

    // The list goes by the keys people know, and opens, deletes and sorts by them too.
    void theListAnswersTheKeys() {
        LibraryApp run;
        CShelfwardenView* list = run.view();
        list->setFocus();
        run.selectRow(0);
        const auto current = [list] { return list->currentIndex().row(); };
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(current(), 3);
        QCOMPARE(list->FirstSelectedRow(), 3);
        QTest::keyClick(list, Qt::Key_Home);
        QCOMPARE(current(), 0);
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(current(), 1);
        QTest::keyClick(list, Qt::Key_PageDown);
        QCOMPARE(current(), 3);
        QTest::keyClick(list, Qt::Key_PageUp);
        QCOMPARE(current(), 0);

        QString opened;
        WhenModal([&](QWidget* dialog) {
            opened = Value(dialog, "titlu");
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(opened, run.column(1).value(1));

        // The menu key offers the header's sort; a second choice of a column turns it round.
        const QStringList titles = run.column(1);
        const auto sortBy = [&](int column) {
            QTimer::singleShot(0, [column] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu);
                QTest::keyClick(menu, Qt::Key_O); // "&Ordoneaza dupa", its first column lit
                auto* columns = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(columns && columns != menu);
                for (int i = 0; i < column; ++i) {
                    QTest::keyClick(columns, Qt::Key_Down);
                }
                QTest::keyClick(columns, Qt::Key_Return);
            });
            QTest::keyClick(list, Qt::Key_Menu);
        };
        sortBy(2);
        QCOMPARE(run.column(2), (QStringList{"Herbert", "Homer", "Nimeni", "Rebreanu"}));
        sortBy(1);
        QStringList sorted = titles;
        sorted.sort();
        QCOMPARE(run.column(1), sorted);

        // Delete asks nothing; Ctrl+Z brings the book back.
        const QStringList four = run.column(1);
        QTest::keyClick(list, Qt::Key_Home);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(run.rows().size(), 3);
        run.frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(run.frame()));
        QTest::keyClick(run.frame()->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(run.column(1), four);
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
