#pragma once

#include "store/CBookDatabase.h"

#include <QString>
#include <functional>
#include <memory>
#include <string>

// The document: owns exactly one catalogue connection and replaces it on New, Open and copy.
// Its path is always the open catalogue's, or empty when none is open, so Save can never write
// to a file the user did not choose for the catalogue being edited.
class CShelfwardenDoc {
public:
    CShelfwardenDoc();
    ~CShelfwardenDoc();

    CBookDatabase* GetDatabase() const { return m_pDatabase.get(); }

    bool OnNewDocument();
    // Always true, also when the catalogue cannot be opened (its message has been shown). The
    // hook set by SetBeforeOpen runs first, on the path, before anything can change the file.
    bool OnOpenDocument(const QString& path);
    void SetBeforeOpen(std::function<void(const std::string&)> hook);
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

    // The title: the open catalogue's file name, or the untitled name.
    QString GetTitle() const;
    // The open catalogue's full path, or empty.
    QString GetPathName() const;

private:
    // Closes the catalogue, if open, and puts a new unopened connection in its place.
    void ReplaceDatabase();

    std::unique_ptr<CBookDatabase> m_pDatabase;
    std::function<void(const std::string&)> m_beforeOpen;
};
