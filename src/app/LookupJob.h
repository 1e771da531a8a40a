#pragma once

#include <QString>
#include <QStringList>
#include <map>

struct LookupAnswer;

// `shelfwarden --lookup ISBN...`: asks the sources the settings name, as the ISBN window would,
// and prints one line per ISBN, tab-separated: the 13 digits, the sources that answered (", "
// between them, or "-"), title, authors, publisher, year of the edition, pages; an unknown value
// is empty. Opens no window. Exit status 0 when every ISBN was found, 1 when some were not, 2
// when one is no ISBN (named on standard error, nothing asked).
int RunLookup(const QStringList& isbns);

// Asks the sources the settings name about every ISBN (13 digits), each once, and waits for all
// the answers; a failure is told on standard error and has no answer. Needs the application
// object, and no window.
// Without `firstYears`, a book's first year is not asked for, so that many books cost a request
// per batch.
std::map<QString, LookupAnswer> AskSources(const QStringList& asked, bool firstYears = true);
