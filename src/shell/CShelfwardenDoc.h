#pragma once

#include "store/CBookDatabase.h"

#include <QString>
#include <memory>

// The document: owns exactly one catalogue connection and replaces it on New, Open and copy.
// Its path is always the open catalogue's, or empty when none is open, so Save can never write
// to a file the user did not choose for the catalogue being edited.
class CShelfwardenDoc {
public:
    CShelfwardenDoc();
    ~CShelfwardenDoc();

    CBookDatabase* GetDatabase() const { return m_pDatabase.get(); }

    bool OnNewDocument();
    // Always true, also when the catalogue cannot be opened (its message has been shown). With
    // backups on, the day's first opening of a catalogue copies it first, before any change; a
    // copy that fails is told once a session and the catalogue opens all the same.
    bool OnOpenDocument(const QString& path);
    // Opens a catalogue for reading only (a backup looked at without restoring it): no change
    // reaches the file, and no copy of it is made.
    void OpenReadOnly(const QString& path);
    // Puts the backup `copy` in place of the open catalogue, which is copied first so that the
    // restore can be undone, and opens it again; false when the restore failed (its message has
    // been shown) and the catalogue is as it was.
    bool RestoreBackup(const QString& copy);
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
    void BackUpOnOpen(const std::string& path);

    std::unique_ptr<CBookDatabase> m_pDatabase;
    bool m_bBackupFailureShown = false;
};
