#pragma once

#include "store/CBookDatabase.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

// What to do with a catalogue about to be opened, as the backups decide: open it for reading
// only (it is a backup copy), and what to add below the message when it will not open.
struct OpenAdvice {
    bool readOnly = false;
    std::string noteOnFailure;
};

// The document: owns exactly one catalogue connection and replaces it on New, Open and copy.
// Its path is always the open catalogue's, or empty when none is open, so Save can never write
// to a file the user did not choose for the catalogue being edited.
class CShelfwardenDoc : public QObject {
    Q_OBJECT
public:
    CShelfwardenDoc();
    ~CShelfwardenDoc() override;

    CBookDatabase* GetDatabase() const { return m_pDatabase.get(); }

    bool OnNewDocument();
    // Always true, also when the catalogue cannot be opened (its message has been shown). The
    // hook set by SetBeforeOpen runs first, on the path, before anything can change the file,
    // and says how to open it.
    bool OnOpenDocument(const std::string& path);
    bool OnOpenDocument(const QString& path);
    void SetBeforeOpen(std::function<OpenAdvice(const std::string&)> hook);
    // The hook runs on the open catalogue as New, Open or Close (also at exit) is about to close
    // it, while it is still open; not when it is reopened or copied.
    void SetBeforeClose(std::function<void(CBookDatabase&)> hook);
    // Opens a catalogue for reading only (a backup looked at without restoring it): no change
    // reaches the file, and no copy of it is made.
    void OpenReadOnly(const QString& path);
    // Closes the open catalogue, runs `whileClosed` on its path (which may replace the file) and
    // opens it again.
    void ReopenAfter(const std::function<void(const std::string&)>& whileClosed);
    // Copies the open catalogue into a new file at `path` and continues on the copy; false when
    // the copy failed, leaving the open catalogue, the path and the title as they were.
    bool OnSaveDocument(const QString& path);
    void OnCloseDocument();

    // True while the open catalogue is open for reading only.
    bool IsReadOnly() const;
    // The last catalogue that would not open, until another one opens; empty when none.
    const std::string& LastFailedPath() const { return m_lastFailedPath; }
    // The title: the open catalogue's file name, or the untitled name.
    QString GetTitle() const;
    // `name` as the window title shows it: marked when the catalogue is open for reading only.
    QString MarkReadOnly(const QString& name) const;
    // The open catalogue's full path, or empty.
    QString GetPathName() const;

signals:
    // The document holds another catalogue, or none, or the same one opened again: whatever was
    // known of the one before (its undo steps, its commands) no longer applies.
    void CatalogueChanged();
    // The catalogue was copied and the copy is now the one open: the same books, the same
    // identifiers, so the listing and the undo steps still apply; only its mode may differ.
    void CatalogueCopied();

private:
    // Closes the catalogue, if open, and puts a new unopened connection in its place.
    void ReplaceDatabase();
    void Open(const std::string& path, const OpenAdvice& advice);
    void RunBeforeClose();

    std::unique_ptr<CBookDatabase> m_pDatabase;
    std::function<OpenAdvice(const std::string&)> m_beforeOpen;
    std::function<void(CBookDatabase&)> m_beforeClose;
    std::string m_lastFailedPath;
    bool m_bReadOnly = false;
};
