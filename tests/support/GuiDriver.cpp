#include "support/GuiDriver.h"

#include "app/CShelfwardenApp.h"
#include "isbn/ui/CScannerFilter.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QSettings>
#include <utility>

namespace {
int g_generation = 0;

// Fails the running test at once, naming what went wrong, and lets it go on to its end.
void Fail(const QString& what) {
    QTest::qFail(qPrintable(what), __FILE__, __LINE__);
}

// The next queued answer; with none queued, the test fails and the prompt is cancelled.
template <typename T> T Next(std::deque<T>& queue, const QString& what) {
    if (queue.empty()) {
        Fail(what);
        return T{};
    }
    T next = queue.front();
    queue.pop_front();
    return next;
}

// A chooser's queued answer, or nothing. Taken apart and put together again: GCC takes a copied
// std::optional<QString> for unset.
template <typename T>
std::optional<T> NextChosen(std::deque<std::optional<T>>& queue, const QString& what) {
    if (queue.empty()) {
        Fail(what);
        return std::nullopt;
    }
    const bool chosen = queue.front().has_value();
    const T value = chosen ? *queue.front() : T();
    queue.pop_front();
    return chosen ? std::optional<T>(value) : std::nullopt;
}

// The control of this name in the dialog; a script naming none is broken, so it stops the test.
template <typename T> T* Find(QWidget* dialog, const char* name) {
    auto* w = dialog->findChild<T*>(QString::fromUtf8(name));
    if (w == nullptr) {
        qFatal("no control %s", name);
    }
    return w;
}
} // namespace

void ScriptedPrompts::Message(QWidget*, const QString& text) {
    messages << text;
}

bool ScriptedPrompts::Question(QWidget*, const QString& text, bool noByDefault) {
    questions << (noByDefault ? "(nu) " : "") + text;
    return Next(answers, "a question no answer was queued for: " + text);
}

std::optional<QString> ScriptedPrompts::ChooseFile(QWidget*, FileDialogMode mode,
                                                   const QString& filter, const QString& suffix) {
    fileRequests << QStringLiteral("%1|%2|%3")
                        .arg(mode == FileDialogMode::Open   ? "open"
                             : mode == FileDialogMode::Save ? "save"
                                                            : "folder",
                             filter, suffix);
    return NextChosen(files, "a file chooser no answer was queued for: " + fileRequests.last());
}

std::optional<QString> ScriptedPrompts::ChooseFileWithOption(QWidget* parent, FileDialogMode mode,
                                                             const QString& filter,
                                                             const QString& suffix,
                                                             const QString& option, bool& checked) {
    const auto chosen = ChooseFile(parent, mode, filter, suffix);
    fileRequests.last() += QStringLiteral("|%1=%2").arg(option).arg(checked ? 1 : 0);
    if (chosen && !options.empty()) {
        checked = options.front();
        options.pop_front();
    }
    return chosen;
}

std::optional<QStringList> ScriptedPrompts::ChooseFiles(QWidget*, const QString& filter) {
    fileRequests << QStringLiteral("files|%1|").arg(filter);
    return NextChosen(fileLists,
                      "a chooser of files no answer was queued for: " + fileRequests.last());
}

std::optional<QColor> ScriptedPrompts::ChooseColor(QWidget*, const QColor& initial) {
    colorRequests << initial;
    return Next(colors, QStringLiteral("a colour chooser no answer was queued for"));
}

QStringList ScriptedPrompts::takeMessages() {
    return std::exchange(messages, {});
}

void UseTemporarySettings() {
    static QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    QSettings s(QStringLiteral("Local AppWizard-Generated Applications"),
                QStringLiteral("Shelfwarden"));
    s.clear();
    // Copies made while a test opens catalogues stay in this run's folder.
    s.setValue(QStringLiteral("Shelfwarden/Backup Folder"), settingsDir.filePath("backups"));
    s.sync();
}

std::unique_ptr<QSettings> SettingsStore() {
    auto s = std::make_unique<QSettings>(QStringLiteral("Local AppWizard-Generated Applications"),
                                         QStringLiteral("Shelfwarden"));
    s->beginGroup(QStringLiteral("Shelfwarden"));
    return s;
}

QStringList StoredSettings() {
    const auto s = SettingsStore();
    QStringList out;
    for (const char* k :
         {"BGRed", "BGGreen", "BGBlue", "FGRed", "FGGreen", "FGBlue", "Default Open", "DB Path"}) {
        out << s->value(k).toString();
    }
    return out;
}

void StoreSettings(const QList<QPair<const char*, QVariant>>& values) {
    const auto s = SettingsStore();
    for (const auto& [key, value] : values) {
        s->setValue(key, value);
    }
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
    app->InitInstance(QFile::encodeName(catalogue).toStdString());
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
        for (int c = 0; c < kBookColumnCount; ++c) {
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
    auto* edit = Find<QLineEdit>(dialog, name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    if (text.size() > 64) { // pasted, as a user enters a long text
        QApplication::clipboard()->setText(text);
        edit->paste();
        return;
    }
    for (const QChar c : text) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
            QTest::keyClick(edit, c.toLatin1());
        } else {
            edit->insert(QString(c)); // what no key click carries: tabs, letters beyond ASCII
        }
    }
    // With the ISBN window open, digits reach the field once they are known not to be a scan.
    while (CScannerFilter::Holding()) {
        QTest::qWait(5);
    }
}

void Press(QWidget* dialog, const char* name) {
    QTest::mouseClick(Find<QAbstractButton>(dialog, name), Qt::LeftButton);
}

void Tick(QWidget* dialog, const char* name) {
    auto* box = Find<QCheckBox>(dialog, name);
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
}

void Choose(QWidget* dialog, const char* comboName, int index) {
    Find<QComboBox>(dialog, comboName)->setCurrentIndex(index);
}

QString Value(QWidget* dialog, const char* name) {
    if (auto* e = dialog->findChild<QLineEdit*>(QString::fromUtf8(name))) {
        return e->text();
    }
    return Find<QComboBox>(dialog, name)->currentText();
}

QStringList Values(QWidget* dialog, std::initializer_list<const char*> names) {
    QStringList out;
    for (const char* name : names) {
        out << Value(dialog, name);
    }
    return out;
}

std::function<void(QWidget*)> Answer(const QString& text) {
    return [text](QWidget* dlg) {
        TypeInto(dlg, "value", text);
        Press(dlg, "ok");
    };
}

std::function<void(QWidget*)> Fill(QList<QPair<const char*, QString>> fields,
                                   QList<QPair<const char*, int>> choices) {
    return [=](QWidget* dlg) {
        for (const auto& [name, value] : fields) {
            TypeInto(dlg, name, value);
        }
        for (const auto& [name, index] : choices) {
            Choose(dlg, name, index);
        }
        Press(dlg, "ok");
    };
}
