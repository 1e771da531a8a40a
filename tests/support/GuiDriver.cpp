#include "support/GuiDriver.h"

#include "app/CMainFrame.h"
#include "app/CShelfwardenApp.h"
#include "shell/CShelfwardenDoc.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CShelfwardenView.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace {
int g_generation = 0;

// Fails the running test at once, naming what went wrong, and lets it go on to its end.
void Fail(const QString& what) {
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
}
} // namespace

void ScriptedPrompts::Message(QWidget*, const QString& text) {
    messages << text;
    if (onMessage) {
        onMessage(text);
    }
}

bool ScriptedPrompts::Question(QWidget*, const QString& text) {
    questions << text;
    if (answers.empty()) {
        Fail("a question no answer was queued for: " + text);
        return false;
    }
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<QString> ScriptedPrompts::ChooseFile(QWidget*, FileDialogMode mode,
                                                   const QString& filter, const QString& suffix) {
    fileRequests << QStringLiteral("%1|%2|%3")
                        .arg(mode == FileDialogMode::Open ? "open" : "save", filter, suffix);
    if (files.empty()) {
        Fail("a file chooser no answer was queued for: " + fileRequests.last());
        return std::nullopt;
    }
    const bool chosen = files.front().has_value();
    const QString path = chosen ? *files.front() : QString();
    files.pop_front();
    return chosen ? std::optional<QString>(path) : std::nullopt;
}

std::optional<QColor> ScriptedPrompts::ChooseColor(QWidget*, const QColor& initial) {
    colorRequests << initial;
    if (colors.empty()) {
        Fail(QStringLiteral("a colour chooser no answer was queued for"));
        return std::nullopt;
    }
    auto c = colors.front();
    colors.pop_front();
    return c;
}

QStringList ScriptedPrompts::takeMessages() {
    QStringList out = messages;
    messages.clear();
    return out;
}

void UseTemporarySettings() {
    static QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    QSettings s(QStringLiteral("Local AppWizard-Generated Applications"),
                QStringLiteral("Shelfwarden"));
    s.clear();
    s.sync();
}

RunningApp::RunningApp(const QString& catalogue) : app(std::make_unique<CShelfwardenApp>()) {
    // A dialog that stays up is one the test did not expect, or one its script did not close:
    // either way the test fails with its title instead of hanging until the suite's timeout.
    QObject::connect(&watchdog, &QTimer::timeout, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        m_modalTicks = modal != nullptr && modal == m_lastModal ? m_modalTicks + 1 : 0;
        m_lastModal = modal;
        if (modal != nullptr && m_modalTicks * kWatchdogMs >= kDialogLimitMs) {
            Fail("a dialog is still open: \"" + modal->windowTitle() + "\" (" +
                 modal->objectName() + ")");
            modal->close();
        }
    });
    watchdog.start(kWatchdogMs);
    app->InitInstance(catalogue);
}

RunningApp::~RunningApp() {
    ++g_generation;
    watchdog.stop();
    app.reset();
}

CMainFrame* RunningApp::frame() const {
    return app->MainFrame();
}
CShelfwardenView* RunningApp::view() const {
    return frame()->View();
}
CShelfwardenDoc* RunningApp::doc() const {
    return app->Document();
}

QAction* RunningApp::action(const char* actionName) const {
    return frame()->findChild<QAction*>(QString::fromUtf8(actionName));
}

void RunningApp::trigger(const char* actionName) {
    QAction* a = action(actionName);
    if (a == nullptr) {
        qFatal("no action %s", actionName);
    }
    a->trigger();
}

QStringList RunningApp::rows() const {
    QStringList out;
    const CBookListModel* m = view()->Model();
    for (int r = 0; r < m->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < m->columnCount(); ++c) {
            cells << m->Text(r, c);
        }
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QStringList RunningApp::column(int column) const {
    QStringList out;
    const CBookListModel* m = view()->Model();
    for (int r = 0; r < m->rowCount(); ++r) {
        out << m->Text(r, column);
    }
    return out;
}

void RunningApp::selectRow(int row) {
    view()->clearSelection();
    view()->selectRow(row);
}

namespace {
// Waits for a modal dialog other than `previous`, then schedules the next step (which waits for a
// dialog other than this one) and runs this step. Scheduling first matters: a step that opens a
// nested dialog does not return until that dialog has closed.
void RunOnModal(std::shared_ptr<std::vector<std::function<void(QWidget*)>>> steps, std::size_t i,
                QWidget* previous, int tries, int generation = g_generation) {
    if (i >= steps->size() || generation != g_generation) {
        return;
    }
    QTimer::singleShot(tries == 0 ? 0 : 10, [steps, i, previous, tries, generation] {
        if (generation != g_generation) {
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == previous) {
            if (tries > 500) {
                Fail(QStringLiteral("no dialog came up for step %1 of the script").arg(i + 1));
                return;
            }
            RunOnModal(steps, i, previous, tries + 1, generation);
            return;
        }
        RunOnModal(steps, i + 1, modal, 1, generation);
        (*steps)[i](modal);
    });
}
} // namespace

void WhenModal(std::function<void(QWidget*)> act) {
    WhenModals({std::move(act)});
}

void WhenModals(std::vector<std::function<void(QWidget*)>> steps) {
    RunOnModal(std::make_shared<std::vector<std::function<void(QWidget*)>>>(std::move(steps)), 0,
               nullptr, 0);
}

void TypeInto(QWidget* dialog, const char* name, const QString& text) {
    auto* edit = dialog->findChild<QLineEdit*>(QString::fromUtf8(name));
    if (edit == nullptr) {
        qFatal("no edit %s", name);
    }
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

void Press(QWidget* dialog, const char* name) {
    auto* button = dialog->findChild<QAbstractButton*>(QString::fromUtf8(name));
    if (button == nullptr) {
        qFatal("no button %s", name);
    }
    QTest::mouseClick(button, Qt::LeftButton);
}

void Choose(QWidget* dialog, const char* comboName, int index) {
    auto* combo = dialog->findChild<QComboBox*>(QString::fromUtf8(comboName));
    if (combo == nullptr) {
        qFatal("no drop-down %s", comboName);
    }
    combo->setCurrentIndex(index);
}
