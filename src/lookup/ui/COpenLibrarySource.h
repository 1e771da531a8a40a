#pragma once

#include "isbn/ui/LookupAnswer.h"
#include "lookup/ui/CWebSource.h"

#include <QSet>

// Open Library: its Books API for the edition, several ISBNs in one request while several wait,
// then a search for the year the work was first published, which an edition does not tell. Its
// answers are kept at the top of the cache folder.
class COpenLibrarySource : public CWebSource {
    Q_OBJECT
public:
    // At most this many ISBNs go in one request.
    static constexpr int kBatch = 25;

    COpenLibrarySource(LookupSource source, LookupEnvironment environment, QObject* parent);
    void Ask(const QString& isbn13) override;

private:
    QUrl BooksUrl(const QStringList& isbns) const;
    void Answered(const QString& isbn13, const FetchResult& result);
    // A book found: its first year is asked, then it is told.
    void AskFirstYear(const QString& isbn13, const LookupAnswer& answer);
    void Tell(const QString& isbn13, const LookupAnswer& answer, int firstYear);

    QSet<QString> m_asked; // every ISBN asked: a batch's answer may hold any of them
};
