#pragma once

#include <QObject>

class CShelfwardenView;

// The Records menu: adds, deletes and modifies books, and keeps the types and states, each
// change going to the catalogue at once and shown in the list.
class CRecordCommands : public QObject {
    Q_OBJECT
public:
    explicit CRecordCommands(CShelfwardenView* view);

public slots:
    void OnRecordsAdd();
    void OnRecordsDelete();
    void OnRecordsModify();
    void OnDoubleClick();
    void OnEditTypes();
    void OnEditStates();

private:
    void EditSelectedBook();
    void EditLookups(const char* kind);

    CShelfwardenView* m_pView;
};
