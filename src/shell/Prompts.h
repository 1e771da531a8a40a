#pragma once

#include "store/MessageSink.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

class QWidget;

// Every message box, question and chooser the program shows goes through here, so there is
// one caption, one look, and one place where tests give the answers.
enum class FileDialogMode { Open, Save, Folder };

class PromptBackend {
public:
    virtual ~PromptBackend() = default;
    virtual void Message(QWidget* parent, const QString& text) = 0;
    virtual bool Question(QWidget* parent, const QString& text, bool noByDefault) = 0;
    virtual std::optional<QString> ChooseFile(QWidget* parent, FileDialogMode mode,
                                              const QString& filter, const QString& suffix) = 0;
    virtual std::optional<QStringList> ChooseFiles(QWidget* parent, const QString& filter) = 0;
    // A file chooser with one check box under its fields, set as `checked` says and told back.
    virtual std::optional<QString> ChooseFileWithOption(QWidget* parent, FileDialogMode mode,
                                                        const QString& filter,
                                                        const QString& suffix,
                                                        const QString& option, bool& checked) = 0;
    virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) = 0;
};

// A message box captioned "Shelfwarden" with one OK button.
void ShowMessage(const std::string& text, QWidget* parent = nullptr);
// A Yes/No question captioned "Shelfwarden"; true for Yes. Enter answers Yes, or No when
// `noByDefault` (a question that may meet keys meant for something else, as a scanner's).
bool AskYesNo(const std::string& text, QWidget* parent = nullptr, bool noByDefault = false);
// The file chooser for catalogues; the full path, or nothing when cancelled.
std::optional<QString> ChooseCatalogueFile(FileDialogMode mode, QWidget* parent = nullptr);
// Any file chooser: `suffix` is added to a name typed without one (none when empty).
std::optional<QString> ChooseFile(FileDialogMode mode, const QString& filter, const QString& suffix,
                                  QWidget* parent = nullptr);
// The same with a check box under the chooser's fields ("Doar cartile selectate"): `checked` is
// how it starts and, once a file is chosen, how the user left it.
std::optional<QString> ChooseFileWithOption(FileDialogMode mode, const QString& filter,
                                            const QString& suffix, const QString& option,
                                            bool& checked, QWidget* parent = nullptr);
// A chooser of any number of existing files; their full paths, or nothing when cancelled.
std::optional<QStringList> ChooseFiles(const QString& filter, QWidget* parent = nullptr);
// The folder chooser; the full path, or nothing when cancelled.
std::optional<QString> ChooseFolder(QWidget* parent = nullptr);
// The colour chooser, starting at `initial`; nothing when cancelled.
std::optional<QColor> ChooseColor(const QColor& initial, QWidget* parent = nullptr);

// The sink through which the catalogue reports to the user.
MessageSink UserMessageSink();

// Replaces the real dialogs (tests); nullptr restores them.
void SetPromptBackend(PromptBackend* backend);

inline const QString kAppCaption = QStringLiteral("Shelfwarden");
inline const QString kCatalogueFilter = QStringLiteral("Microsoft Access Database (*.mdb)");
