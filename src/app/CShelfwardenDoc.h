#pragma once

#include "CBookDatabase.h"

#include <QString>
#include <memory>

// The document: owns exactly one catalogue connection and replaces it on New, Open and copy.
class CShelfwardenDoc {
public:
    CShelfwardenDoc();
    ~CShelfwardenDoc();

    CBookDatabase* GetDatabase() const { return m_pDatabase.get(); }

    bool OnNewDocument();
    // Always true, also when the catalogue cannot be opened (its message has been shown).
    bool OnOpenDocument(const QString& path);
    // Copies the open catalogue into a new file at `path` and continues on the copy; false when
    // the copy failed, leaving the open catalogue as it was.
    bool OnSaveDocument(const QString& path);
    void OnCloseDocument();

    // The framework's naming of the document: its title and the path it was opened from.
    QString GetTitle() const { return m_title; }
    QString GetPathName() const { return m_pathName; }
    void SetPathName(const QString& path);
    void ResetTitle();

private:
    // Closes the catalogue, if open, and puts a new unopened connection in its place.
    void ReplaceDatabase();

    std::unique_ptr<CBookDatabase> m_pDatabase;
    QString m_title;
    QString m_pathName;
};
