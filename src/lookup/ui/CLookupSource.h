#pragma once

#include "lookup/LookupRecord.h"
#include "lookup/LookupSources.h"

#include <QObject>
#include <QString>
#include <functional>

// What every source is set up with: where answers are kept, how the user may be reached, the
// clock the rate limits count by and the time limit of an answer.
struct LookupEnvironment {
    QString cacheFolder;
    QString contact;
    QString googleKey;
    std::function<qint64()> clock;
    int timeout = 10000;
    // Whether a book found is also asked its work's first year (a request of its own each).
    bool firstYears = true;
};

// One place books are looked up in by ISBN. Asked for an ISBN, it answers with Found, NotFound
// or Failed; a book found is kept on disk for good, a "not found" for a week, a failure not at
// all. A source that can asks for several ISBNs in one request.
class CLookupSource : public QObject {
    Q_OBJECT
public:
    CLookupSource(LookupSource source, LookupEnvironment environment, QObject* parent);

    const LookupSource& Source() const { return m_source; }
    QString Name() const { return QString::fromStdString(m_source.name); }
    // Asks for the book with this ISBN (13 digits).
    virtual void Ask(const QString& isbn13) = 0;

    // A "not found" is asked again after this long.
    static constexpr qint64 kNotFoundKeptSeconds = 7 * 24 * 3600;

signals:
    void Found(const QString& isbn13, const LookupRecord& record);
    void NotFound(const QString& isbn13);
    void Failed(const QString& isbn13, const QString& reason);
    // The source asked to be left alone for `seconds`: the ISBN waits and is asked again then.
    void Paused(const QString& isbn13, int seconds);
    // The source refused the program (403): it may want to know who asks.
    void Refused();

protected:
    const LookupEnvironment& Environment() const { return m_environment; }
    // The cache folder of a library's answers, under the environment's: named after the kind
    // and a hash of the address, so that no address can make a path of it.
    QString LibraryFolder() const;

private:
    LookupSource m_source;
    LookupEnvironment m_environment;
};
