#pragma once

#include "isbn/LookupCache.h"
#include "lookup/ui/CLookupSource.h"
#include "lookup/ui/CPoliteFetcher.h"

// A source asked over http or https: its requests go through one polite fetcher, its answers are
// kept in a cache folder of its own.
class CWebSource : public CLookupSource {
    Q_OBJECT
public:
    // Where its answers are kept: at the top of the environment's cache folder (Open Library's,
    // as they always were), or in a folder of the source's own.
    enum class CacheAt { Top, OwnFolder };
    CWebSource(LookupSource source, LookupEnvironment environment, CacheAt where, QObject* parent);

protected:
    CPoliteFetcher& Fetcher() { return m_fetcher; }
    LookupCache Cache() const { return LookupCache(m_cacheFolder.toStdString()); }
    // A failure told as it is: a refusal (403) also as such.
    void Fail(const QString& isbn13, const FetchResult& result);
    // The answer kept for this ISBN, when there is one still good: `good` says whether it can
    // be read and whether it found the book; a "not found" older than a week is not good.
    template <typename Read>
    bool FromCache(LookupCache::Kind kind, const QString& isbn13, Read read);

private:
    QString m_cacheFolder;
    CPoliteFetcher m_fetcher;
};

template <typename Read>
bool CWebSource::FromCache(LookupCache::Kind kind, const QString& isbn13, Read read) {
    const std::string isbn = isbn13.toStdString();
    const auto kept = Cache().Read(kind, isbn);
    if (!kept) {
        return false;
    }
    // `read` takes the bytes and whether they are old, and says whether they answered.
    if (read(QByteArray::fromStdString(kept->bytes), kept->ageSeconds > kNotFoundKeptSeconds)) {
        return true;
    }
    Cache().Forget(kind, isbn);
    return false;
}
