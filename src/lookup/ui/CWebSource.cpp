#include "lookup/ui/CWebSource.h"

CWebSource::CWebSource(LookupSource source, LookupEnvironment environment, CacheAt where,
                       QObject* parent)
    : CLookupSource(std::move(source), std::move(environment), parent),
      m_cacheFolder(where == CacheAt::Top ? Environment().cacheFolder
                                          : Environment().cacheFolder + '/' + LibraryFolder()) {
    if (Environment().clock) {
        m_fetcher.SetClock(Environment().clock);
    }
    m_fetcher.SetTimeout(Environment().timeout);
    m_fetcher.SetContact(Environment().contact);
    m_fetcher.OnPaused([this](const QStringList& keys, int seconds) {
        for (const QString& isbn : keys) {
            emit Paused(isbn, seconds);
        }
    });
}

void CWebSource::Fail(const QString& isbn13, const FetchResult& result) {
    if (result.outcome == FetchResult::Outcome::Status && result.status == 403) {
        emit Refused();
    }
    emit Failed(isbn13, result.Reason());
}
