#pragma once

#include "barcode/ui/PictureBarcodes.h"
#include "isbn/BookDetails.h"
#include "isbn/ui/CScannerFilter.h"
#include "lookup/ui/CLookupChain.h"
#include "store/BookRecord.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QImage>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <functional>

class CBookDatabase;
class QLineEdit;
class QPushButton;

// What the ISBN window needs of the main window.
struct IsbnEntryHooks {
    // The open catalogue ready to take a book, or null after telling the user why not.
    std::function<CBookDatabase*()> database;
    // Shows the book in the list.
    std::function<void(std::int32_t)> showBook;
    // Opens the book dialog on what is known, with a note above it when there is one, and adds
    // the book the user confirms; the flag tells that the user has agreed to another copy.
    std::function<bool(const BookRecord&, const BookDetails&, const QImage&, const QString&, bool)>
        addBook;
    // Says something in the status bar.
    std::function<void(const QString&)> status;
    // Shows how many scans wait their turn.
    std::function<void(int)> queued;
};

// "Adauga dupa ISBN": one field that takes an ISBN typed or scanned (digits, then Enter). Each
// ISBN is checked, matched against the catalogue, looked up, and the book dialog opens filled in;
// then the field waits for the next one, so a pile of books goes in scan after scan. While the
// window is open, a scanner's burst is taken from whatever has the focus (the book dialog, a
// message box) and waits its turn, as does what is scanned while a look-up is under way.
// "Din fotografii..." and Ctrl+V of a picture read the barcodes of pictures, off the window's
// thread, and queue their ISBNs as scans; so does "Camera", of a camera's live picture.
class CIsbnEntryDlg : public QDialog {
    Q_OBJECT
public:
    // `lookup` outlives the window.
    CIsbnEntryDlg(IsbnEntryHooks hooks, CLookupChain* lookup, QWidget* parent = nullptr);

    CLookupChain* Lookup() { return &m_lookup; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnEnter();
    // Puts a scan or an ISBN typed in the queue and takes it when its turn comes.
    void Queue(const QString& typed);
    // Takes the next waiting ISBN when nothing is under way.
    void Next();
    void Take(const QString& typed);
    void OnAnswered(const QString& isbn13, const LookupAnswer& answer);
    void OnFailed(const QString& isbn13, const QString& reason);
    void OnCover(const QString& isbn13, const QImage& cover);
    // Opens the book dialog on what is known; the field is ready again afterwards. While another
    // write is under way (an import), the book waits for it to end.
    void Open(const LookupAnswer& known, const QString& isbn13, const QImage& cover);
    void Status(const QString& text);
    void OnFromPhotos();
    // Ctrl+V in the field: a picture on the clipboard is read; false for anything else.
    bool PastePicture();
    // Reads the pictures' barcodes off the window's thread; one reading at a time.
    void Read(const QFuture<FileIsbns>& reading, int pictures);
    // Names the pictures that held no ISBN or several, and queues every ISBN found.
    void OnPicturesRead();

    IsbnEntryHooks m_hooks;
    CLookupChain& m_lookup;
    QLineEdit* m_pIsbn;
    QPushButton* m_pPhotos;
    QFutureWatcher<FileIsbns> m_reading;
    std::deque<QString> m_waiting;
    bool m_busy = false;
    bool m_taking = false;        // Take is asking something: what comes meanwhile waits
    bool m_copyConfirmed = false; // the book under way is another copy the user agreed to
    CScannerFilter m_scanner;
    LookupAnswer m_found; // the answer whose cover is being fetched
    QTimer m_waitForWrite;
    bool m_waited = false; // the book waited for a write to end
};
