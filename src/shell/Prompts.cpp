#include "shell/Prompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace {

class DialogBackend : public PromptBackend {
public:
    void Message(QWidget* parent, const QString& text) override {
        QMessageBox box(QMessageBox::Warning, kAppCaption, text, QMessageBox::Ok, parent);
        // Messages name books and files, whose texts are never read as markup.
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }

    bool Question(QWidget* parent, const QString& text, bool noByDefault) override {
        QMessageBox box(QMessageBox::NoIcon, kAppCaption, text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        box.setTextFormat(Qt::PlainText);
        box.setDefaultButton(noByDefault ? QMessageBox::No : QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }

    std::optional<QString> ChooseFile(QWidget* parent, FileDialogMode mode, const QString& filter,
                                      const QString& suffix) override {
        QFileDialog dialog(parent, kAppCaption, QString(), filter);
        dialog.setAcceptMode(mode == FileDialogMode::Save ? QFileDialog::AcceptSave
                                                          : QFileDialog::AcceptOpen);
        dialog.setFileMode(mode == FileDialogMode::Open   ? QFileDialog::ExistingFile
                           : mode == FileDialogMode::Save ? QFileDialog::AnyFile
                                                          : QFileDialog::Directory);
        dialog.setDefaultSuffix(suffix);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return dialog.selectedFiles().constFirst();
    }

    std::optional<QStringList> ChooseFiles(QWidget* parent, const QString& filter) override {
        QFileDialog dialog(parent, kAppCaption, QString(), filter);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        return dialog.selectedFiles();
    }

    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& initial) override {
        const QColor c = QColorDialog::getColor(initial, parent, kAppCaption);
        if (!c.isValid()) {
            return std::nullopt;
        }
        return c;
    }
};

DialogBackend g_dialogs;
PromptBackend* g_backend = &g_dialogs;

} // namespace

void SetPromptBackend(PromptBackend* backend) {
    g_backend = backend ? backend : &g_dialogs;
}

void ShowMessage(const std::string& text, QWidget* parent) {
    g_backend->Message(parent, QString::fromStdString(text));
}

bool AskYesNo(const std::string& text, QWidget* parent, bool noByDefault) {
    return g_backend->Question(parent, QString::fromStdString(text), noByDefault);
}

std::optional<QString> ChooseFile(FileDialogMode mode, const QString& filter, const QString& suffix,
                                  QWidget* parent) {
    return g_backend->ChooseFile(parent, mode, filter, suffix);
}

std::optional<QString> ChooseCatalogueFile(FileDialogMode mode, QWidget* parent) {
    return ChooseFile(mode, kCatalogueFilter, QStringLiteral("mdb"), parent);
}

std::optional<QStringList> ChooseFiles(const QString& filter, QWidget* parent) {
    return g_backend->ChooseFiles(parent, filter);
}

std::optional<QString> ChooseFolder(QWidget* parent) {
    return ChooseFile(FileDialogMode::Folder, QString(), QString(), parent);
}

std::optional<QColor> ChooseColor(const QColor& initial, QWidget* parent) {
    return g_backend->ChooseColor(parent, initial);
}

MessageSink UserMessageSink() {
    return [](const std::string& text) { ShowMessage(text); };
}
