#pragma once

#include "store/BookHistory.h"

#include <QObject>
#include <QUndoStack>
#include <functional>

class CShelfwardenView;

// The Records menu: adds, deletes and modifies books, and keeps the types and states, each
// change going to the catalogue at once and shown in the list. Adds, changes and deletes of
// books can be undone and redone, step by step, while the catalogue stays open.
class CRecordCommands : public QObject {
    Q_OBJECT
public:
    explicit CRecordCommands(CShelfwardenView* view);

    // Asked before a book is deleted: false keeps the book; a loan to close with the deletion
    // comes back in its second argument.
    using DeleteCheck = std::function<bool(std::int32_t, std::optional<LoanClosing>&)>;
    void SetDeleteCheck(DeleteCheck check) { m_deleteCheck = std::move(check); }

public slots:
    void OnRecordsAdd();
    void OnRecordsDelete();
    void OnRecordsModify();
    void OnDoubleClick();
    void OnEditTypes();
    void OnEditStates();
    void OnEditUndo();
    void OnEditRedo();
    // The selected rows, with the headers, as tab-separated text on the clipboard.
    void OnEditCopy();
    // Another catalogue came: the steps of the last one no longer apply.
    void ClearHistory();
    QUndoStack* History() { return &m_history; }

private:
    // Records a change already made to the catalogue as the next step.
    void Remember(const char* text, BookChange change);
    std::optional<StoredBook> ReadBook(std::int32_t id);
    void EditSelectedBook();
    void EditLookups(const char* kind);

    CShelfwardenView* m_pView;
    QUndoStack m_history;
    DeleteCheck m_deleteCheck;
};
