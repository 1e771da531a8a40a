#pragma once

#include "isbn/BookDetails.h"
#include "store/BookHistory.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <set>
#include <string>

class CBookDetailsStore;
class CBookInfoDlg;
class CShelfwardenView;

// The Records menu: adds, deletes and modifies books, and keeps the types and states, each
// change going to the catalogue at once and shown in the list. Adds, changes and deletes of
// books can be undone and redone, step by step, while the catalogue stays open.
class CRecordCommands : public QObject {
    Q_OBJECT
public:
    explicit CRecordCommands(CShelfwardenView* view);
    // Where the book dialog gets a book's cover by its ISBN (13 digits).
    void SetCoverSource(std::function<QImage(const std::string&)> coverOf) {
        m_coverOf = std::move(coverOf);
    }

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
    // A change of many books made elsewhere (a completion), undone and redone as one step.
    void RememberStep(const QString& text, std::vector<BookChange> changes);
    // Opens the book dialog on `start` and `details` (what is known of the book already) and adds
    // the book the user confirms, with its details; true when it was added. `copyConfirmed`: the
    // user has already agreed to another copy of a book in the catalogue, so the question about a
    // book of the same title and author is not asked again.
    bool AddBook(const BookRecord& start, const BookDetails& details, const QImage& cover = {},
                 const QString& note = {}, bool copyConfirmed = false);
    // The open catalogue when it can take a book (it has a type and a state to give it, maybe
    // from the starter set offered); null after telling the user why not.
    CBookDatabase* DatabaseForAdding();
    // Offers the starter set to an open catalogue without types or states before its first book
    // comes, once a catalogue: one declined goes on without.
    void OfferStarterSet();

private:
    // Records a change already made to the catalogue as the next step.
    void Remember(const char* text, BookChange change);
    std::optional<StoredBook> ReadBook(std::int32_t id);
    void EditSelectedBook();
    // Points the dialog at `details` with the names already used; leaves the page greyed when the
    // catalogue cannot keep details (the user is told).
    void OfferDetails(CBookDetailsStore& store, CBookInfoDlg& dlg, BookDetails& details);
    void EditLookups(const char* kind);

    CShelfwardenView* m_pView;
    QUndoStack m_history;
    DeleteCheck m_deleteCheck;
    std::function<QImage(const std::string&)> m_coverOf;
    std::set<std::string> m_starterOffered; // the catalogues' paths
};
