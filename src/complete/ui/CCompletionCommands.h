#pragma once

#include "lookup/ui/CLookupChain.h"
#include "lookup/ui/CTitleSearch.h"

#include <QObject>
#include <functional>

class CShelfwardenView;
class CRecordCommands;

// Records > "Completeaza din biblioteci...": the selected books, or every listed book when at most
// one is selected, looked up by their ISBNs, with a progress that may be cancelled (what was found
// so far is kept for review; answers are cached, so the next run asks only what is missing), the
// proposed changes reviewed, and the chosen ones written as one step of undo.
class CCompletionCommands : public QObject {
    Q_OBJECT
public:
    CCompletionCommands(CShelfwardenView* view, CRecordCommands* records);

    // For tests: the look-up, whose cache and service they point elsewhere.
    CLookupChain* Lookup() { return &m_lookup; }

public slots:
    void OnComplete();

private:
    CShelfwardenView* m_pView;
    CRecordCommands* m_pRecords;
    CLookupChain m_lookup;
    CTitleSearch m_titles;
};
