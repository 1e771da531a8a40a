#pragma once

#include "app/CMainFrame.h"
#include "shell/CShelfwardenDoc.h"
#include "shell/Prompts.h"
#include "support/GuiLibrary.h"
#include "support/Messages.h"
#include "support/RawCatalogue.h"
#include "view/ui/CBookListModel.h"
#include "view/ui/CShelfwardenView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVariant>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

class CShelfwardenApp;
class QSettings;
class QWidget;

// Answers every message box, question and chooser from queues the test fills, and records
// what was asked. A question or chooser with no queued answer fails the test at once, naming it,
// and is cancelled so the test goes on to its end.
class ScriptedPrompts : public PromptBackend {
public:
    ScriptedPrompts() { SetPromptBackend(this); }
    ~ScriptedPrompts() override { SetPromptBackend(nullptr); }

    void Message(QWidget* parent, const QString& text) override;
    bool Question(QWidget* parent, const QString& text, bool noByDefault) override;
    std::optional<QString> ChooseFile(QWidget* parent, FileDialogMode mode, const QString& filter,
                                      const QString& suffix) override;
    std::optional<QStringList> ChooseFiles(QWidget* parent, const QString& filter) override;
    std::optional<QString> ChooseFileWithOption(QWidget* parent, FileDialogMode mode,
                                                const QString& filter, const QString& suffix,
                                                const QString& option, bool& checked) override;
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override;

    QStringList takeMessages();

    QStringList messages;
    QStringList questions; // "(nu) " before a question Enter answers No
    // "open|filter|suffix", "save|...", "folder||" or "files|filter|"; a chooser with a check
    // box adds "|option=1" (how it was offered).
    QStringList fileRequests;
    QList<QColor> colorRequests;
    std::deque<bool> answers;
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<QStringList>> fileLists;
    std::deque<bool> options; // how the user leaves a chooser's check box; as offered when empty
    std::deque<std::optional<QColor>> colors;
};

// Points the settings store at a folder of this test run and empties it, but for the copies'
// folder, which it points at a folder of this run too.
void UseTemporarySettings();
// The program's group of the settings store.
std::unique_ptr<QSettings> SettingsStore();
// The eight stored settings as text: background and text colours' red, green and blue, then
// "Default Open" and "DB Path".
QStringList StoredSettings();
void StoreSettings(const QList<QPair<const char*, QVariant>>& values);

// The whole program, started as `main` starts it, on a temporary settings store.
// A dialog still open this long (its script did not close it, or no script expected it) fails
// the test and is closed.
struct RunningApp {
    static constexpr int kWatchdogMs = 250;
    static constexpr int kDialogLimitMs = 5000;

    QTemporaryDir dir;
    ScriptedPrompts prompts;
    QTimer watchdog;
    std::unique_ptr<CShelfwardenApp> app;

    explicit RunningApp(const QString& catalogue = QString());
    ~RunningApp();
    CMainFrame* frame() const;
    CShelfwardenView* view() const;
    CShelfwardenDoc* doc() const;
    QString path(const QString& name) const { return dir.filePath(name); }

    // Triggers the menu command or accelerator action with this object name.
    void trigger(const char* actionName);
    QAction* action(const char* actionName) const;
    // Every row of the list, its thirteen texts joined by '|'.
    QStringList rows() const;
    QStringList column(int column) const;
    void selectRow(int row);

private:
    QWidget* m_lastModal = nullptr;
    int m_modalTicks = 0;
};

// The program started on a fresh Library.
struct LibraryApp : Library, RunningApp {
    using RunningApp::path;
    explicit LibraryApp(std::initializer_list<BookRecord> extra = {})
        : Library(extra), RunningApp(Library::path) {}
};

// Runs `act` on the next modal dialog once it is up (the command that opens it runs after this
// call). `act` typically fills fields and presses a button.
void WhenModal(std::function<void(QWidget*)> act);
// Same, for a chain of dialogs: each step gets the next dialog to come on top, so two steps never
// act on the same dialog in a row (a dialog that comes back on top after a nested one has closed
// counts as next).
void WhenModals(std::vector<std::function<void(QWidget*)>> steps);

// Typing into (key by key, or pasted when long) and pressing the controls of a dialog, found by
// object name.
void TypeInto(QWidget* dialog, const char* name, const QString& text);
void Press(QWidget* dialog, const char* name);
// Clicks the check box of this name on the box itself.
void Tick(QWidget* dialog, const char* name);
void Choose(QWidget* dialog, const char* comboName, int index);
// What a dialog's line edit or combo box of this name shows; several, in the order named.
QString Value(QWidget* dialog, const char* name);
QStringList Values(QWidget* dialog, std::initializer_list<const char*> names);
// A step that answers a one-line prompt: types the text into its field and presses OK.
std::function<void(QWidget*)> Answer(const QString& text);
// A step that types into the dialog's fields and chooses in its combo boxes, then presses OK.
std::function<void(QWidget*)> Fill(QList<QPair<const char*, QString>> fields,
                                   QList<QPair<const char*, int>> choices = {});
