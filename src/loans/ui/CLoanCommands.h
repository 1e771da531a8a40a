#pragma once

#include "store/BookHistory.h"

#include <QDate>
#include <QObject>
#include <functional>
#include <optional>
#include <string>

class CBookDatabase;
class CShelfwardenView;

// The loan commands of the Records menu: lend the selected book, take it back, and the loans
// window. "Today" comes from a clock the tests may fix.
class CLoanCommands : public QObject {
    Q_OBJECT
public:
    explicit CLoanCommands(CShelfwardenView* view);

    void SetClock(std::function<QDate()> today) { m_today = std::move(today); }
    // "3 carti imprumutate, 1 intarziata"; empty without a catalogue. Never asks anything.
    QString CountsText() const;
    // Asked before `book` is deleted: a lent book goes only when the user says so, its loan
    // closed today with it (given in `closing`). False when the user keeps the book.
    bool MayDelete(int book, std::optional<LoanClosing>& closing);

public slots:
    void OnLend();
    void OnReturn();
    void OnLoans();

signals:
    // A loan was recorded or closed.
    void LoansChanged();

private:
    struct SelectedBook {
        CBookDatabase* db;
        int id;
        std::string title;
    };
    // The open catalogue's selected book; nothing after telling the user what is missing.
    std::optional<SelectedBook> SelectedBookOrComplain() const;
    // Selects the book in the main list, listing all books when the current listing lacks it.
    void ShowBook(int book);

    CShelfwardenView* m_pView;
    std::function<QDate()> m_today = [] { return QDate::currentDate(); };
};
