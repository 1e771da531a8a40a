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

    // The ISBN window, made when it is not there yet.
    CIsbnEntryDlg* Window();

public slots:
    void OnAddByIsbn();

private:
    IsbnEntryHooks m_hooks;
    QWidget* m_pParent;
    QPointer<CIsbnEntryDlg> m_pWindow;
};
