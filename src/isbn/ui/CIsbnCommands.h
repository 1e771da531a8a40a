#pragma once

#include "isbn/ui/CIsbnEntryDlg.h"

#include <QObject>
#include <QPointer>

class QWidget;

// Records > "Adauga dupa ISBN...": brings up the one ISBN window, made on first use.
class CIsbnCommands : public QObject {
    Q_OBJECT
public:
    CIsbnCommands(IsbnEntryHooks hooks, QWidget* parent);
    // The window goes first: it uses the look-up.
    ~CIsbnCommands() override;

    // The ISBN window, made when it is not there yet.
    CIsbnEntryDlg* Window();
    CLookupChain* Lookup() { return &m_lookup; }

public slots:
    void OnAddByIsbn();

private:
    IsbnEntryHooks m_hooks;
    QWidget* m_pParent;
    CLookupChain m_lookup;
    QPointer<CIsbnEntryDlg> m_pWindow;
};
