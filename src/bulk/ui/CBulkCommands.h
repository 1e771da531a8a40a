#pragma once

#include <QDate>
#include <QObject>
#include <functional>

class CRecordCommands;
class CShelfwardenView;

// The Records menu's commands for many books at once: change the selected books, delete them,
// lend them, and find the catalogue's doubles. Each change of books is one step of the history.
class CBulkCommands : public QObject {
    Q_OBJECT
public:
    CBulkCommands(CShelfwardenView* view, CRecordCommands* records);
    void SetClock(std::function<QDate()> today) { m_today = std::move(today); }

public slots:
    void OnModifySelection();
    void OnDeleteSelection();
    void OnLendSelection();
    void OnDoubles();

signals:
    // Loans were recorded or closed.
    void LoansChanged();

private:
    CShelfwardenView* m_pView;
    CRecordCommands* m_pRecords;
    std::function<QDate()> m_today = [] { return QDate::currentDate(); };
};
