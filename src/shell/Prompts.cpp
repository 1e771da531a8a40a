#include "shell/Prompts.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFileDialog>
#include <QGridLayout>
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
        bool unused = false;
        return Choose(parent, mode, filter, suffix, nullptr, unused);
    }

    std::optional<QString> ChooseFileWithOption(QWidget* parent, FileDialogMode mode,
                                                const QString& filter, const QString& suffix,
                                                const QString& option, bool& checked) override {
        return Choose(parent, mode, filter, suffix, &option, checked);
    }

    static std::optional<QString> Choose(QWidget* parent, FileDialogMode mode,
                                         const QString& filter, const QString& suffix,
                                         const QString* option, bool& checked) {
        QFileDialog dialog(parent, kAppCaption, QString(), filter);
        dialog.setAcceptMode(mode == FileDialogMode::Save ? QFileDialog::AcceptSave
                                                          : QFileDialog::AcceptOpen);
        dialog.setFileMode(mode == FileDialogMode::Open   ? QFileDialog::ExistingFile
                           : mode == FileDialogMode::Save ? QFileDialog::AnyFile
                                                          : QFileDialog::Directory);
        dialog.setDefaultSuffix(suffix);
        QCheckBox* box = nullptr;
        if (option) {
            // A desktop's own chooser takes no control of ours: Qt's is used, the box under it.
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            box = new QCheckBox(*option, &dialog);
            box->setObjectName(QStringLiteral("fileOption"));
            box->setChecked(checked);
            if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
                grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
            }
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return std::nullopt;
        }
        if (box) {
            checked = box->isChecked();
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

std::optional<QString> ChooseFileWithOption(FileDialogMode mode, const QString& filter,
                                            const QString& suffix, const QString& option,
                                            bool& checked, QWidget* parent) {
    return g_backend->ChooseFileWithOption(parent, mode, filter, suffix, option, checked);
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
