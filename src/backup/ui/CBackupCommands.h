#pragma once

#include "store/MessageSink.h"

#include <QObject>
#include <string>

struct BackupCopy;
struct OpenAdvice;
class CBookDatabase;
class CShelfwardenDoc;
class CShelfwardenView;

// File > Copii de siguranta: the copies of the open catalogue (or of the one that would not open,
// or of one the user picks), restored or opened for reading.
class CBackupCommands : public QObject {
    Q_OBJECT
public:
    // Makes the day's backup of each catalogue the document opens, and of each it closes changed
    // without one, for as long as it lives.
    CBackupCommands(CShelfwardenDoc* doc, CShelfwardenView* view);
    ~CBackupCommands() override;

public slots:
    void OnFileBackups();

private:
    // Makes the day's copy, and says how to open the file: a copy for reading only.
    OpenAdvice BeforeOpen(const std::string& path);
    // Makes the day's copy of a catalogue changed since it was opened, when the day has none.
    void BeforeClose(CBookDatabase& db);
    // Where a failed copy is told: once, as a folder that cannot be written stays so.
    MessageSink FailureSink();
    // The catalogue whose copies the command lists; empty when the user picked none.
    std::string CatalogueOfCopies() const;
    void Restore(const std::string& catalogue, const BackupCopy& copy);
    void OpenCopy(const BackupCopy& copy);
    // The window tells the catalogue now open, and lists it.
    void ShowOpenCatalogue();

    CShelfwardenDoc* m_pDocument;
    CShelfwardenView* m_pView;
    bool m_bFailureShown = false;
};
