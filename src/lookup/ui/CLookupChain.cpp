#include "lookup/ui/CLookupChain.h"

#include "shell/AppSettings.h"

#include "lookup/ui/CGoogleBooksSource.h"
#include "lookup/ui/COpenLibrarySource.h"
#include "lookup/ui/CSruSource.h"
#include "lookup/ui/CZ3950Source.h"
#include "lookup/ui/CoverImage.h"
#include "shell/DialogParts.h"

#include <QDateTime>
#include <QStandardPaths>

namespace {
// Open Library names its covers on a host of their own.
const QString kOpenLibraryCovers = QStringLiteral("covers.openlibrary.org");

std::unique_ptr<CLookupSource> MakeSource(const LookupSource& source,
                                          const LookupEnvironment& environment) {
    switch (source.kind) {
    case SourceKind::OpenLibrary:
        return std::make_unique<COpenLibrarySource>(source, environment, nullptr);
    case SourceKind::GoogleBooks:
        // Its terms want a key: without one it is not asked.
        return environment.googleKey.isEmpty()
                   ? nullptr
                   : std::make_unique<CGoogleBooksSource>(source, environment, nullptr);
    case SourceKind::SruMarc21:
    case SourceKind::SruUnimarc:
        return std::make_unique<CSruSource>(source, environment, nullptr);
    case SourceKind::Z3950Marc21:
    case SourceKind::Z3950Unimarc:
        return std::make_unique<CZ3950Source>(source, environment, nullptr);
    }
    return nullptr;
}

LookupAnswer AnswerOf(const MergedLookup& merged) {
    const LookupRecord& r = merged.record;
    LookupAnswer answer;
    answer.kind = LookupAnswer::Kind::Found;
    answer.book = BookOfUnknownNumbers();
    answer.book.titlu = r.titlu;
    answer.book.autor = r.autor;
    answer.book.editura = r.editura;
    answer.book.pagini = r.pagini;
    answer.book.publicare = r.publicare;
    answer.book.publicare_volum = r.publicare_volum;
    answer.coverUrl = QString::fromStdString(r.coverUrl);
    answer.serie = r.serie;
    answer.numar_serie = r.numar_serie;
    for (const std::string& label : r.shortened) {
        answer.shortened << QString::fromStdString(label);
    }
    for (const std::string& name : merged.sources) {
        answer.sources << QString::fromStdString(name);
    }
    answer.foundAt = QString::fromStdString(FoundAtText(merged));
    return answer;
}
} // namespace

CLookupChain::CLookupChain(QObject* parent)
    : QObject(parent), m_settings{{true, SourceKind::OpenLibrary, "Open Library",
                                   "https://openlibrary.org"}} {
    m_environment.cacheFolder = DefaultCacheFolder();
    m_environment.clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
}

CLookupChain::~CLookupChain() = default;

QString CLookupChain::DefaultCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/isbn");
}

void CLookupChain::UseSettings() {
    const AppSettings& settings = Settings();
    SetSources(ParseSources(settings.isbnSources.toStdString()));
    SetService(settings.isbnService);
    SetContact(settings.isbnContact);
    SetGoogleKey(settings.isbnGoogleKey);
}

void CLookupChain::SetSources(std::vector<LookupSource> sources) {
    m_dirty = m_dirty || sources != m_settings;
    m_settings = std::move(sources);
}

void CLookupChain::SetService(const QString& address) {
    m_dirty = m_dirty || address != m_service;
    m_service = address;
}

void CLookupChain::SetCacheFolder(const QString& folder) {
    m_dirty = m_dirty || folder != m_environment.cacheFolder;
    m_environment.cacheFolder = folder;
}

void CLookupChain::SetClock(std::function<qint64()> clock) {
    m_environment.clock = clock;
    m_covers.SetClock(std::move(clock));
    m_dirty = true;
}

void CLookupChain::SetTimeout(int milliseconds) {
    m_dirty = m_dirty || milliseconds != m_environment.timeout;
    m_environment.timeout = milliseconds;
    m_covers.SetTimeout(milliseconds);
}

void CLookupChain::SetFirstYears(bool ask) {
    m_dirty = m_dirty || ask != m_environment.firstYears;
    m_environment.firstYears = ask;
}

void CLookupChain::SetContact(const QString& contact) {
    m_dirty = m_dirty || contact != m_environment.contact;
    m_environment.contact = contact;
    m_covers.SetContact(contact);
}

void CLookupChain::SetGoogleKey(const QString& key) {
    m_dirty = m_dirty || key != m_environment.googleKey;
    m_environment.googleKey = key;
}

void CLookupChain::Build() {
    if (!m_dirty || !m_pending.empty()) {
        return;
    }
    m_dirty = false;
    m_sources.clear();
    for (LookupSource source : m_settings) {
        if (source.kind == SourceKind::OpenLibrary && !m_service.isEmpty()) {
            source.address = m_service.toStdString();
        }
        std::unique_ptr<CLookupSource> made =
            source.on ? MakeSource(source, m_environment) : nullptr;
        if (made) {
            const std::size_t index = m_sources.size();
            CLookupSource* s = made.get();
            connect(s, &CLookupSource::Found, this,
                    [this, index](const QString& isbn, const LookupRecord& record) {
                        OnFound(index, isbn, record);
                    });
            connect(s, &CLookupSource::NotFound, this,
                    [this, index](const QString& isbn) { OnMissed(index, isbn, {}); });
            connect(s, &CLookupSource::Failed, this,
                    [this, index](const QString& isbn, const QString& reason) {
                        OnMissed(index, isbn, reason);
                    });
            connect(s, &CLookupSource::Paused, this, [this](const QString& isbn, int seconds) {
                const auto pending = m_pending.find(isbn);
                if (pending != m_pending.end() && pending->second.told) {
                    emit Paused(isbn, seconds);
                }
            });
            connect(s, &CLookupSource::Refused, this, [this, s] { emit Refused(s->Name()); });
            m_sources.push_back(std::move(made));
        }
    }
}

void CLookupChain::Lookup(const std::string& isbn13) {
    Begin(isbn13, true);
}

void CLookupChain::Prefetch(const std::string& isbn13) {
    Begin(isbn13, false);
}

void CLookupChain::Begin(const std::string& isbn13, bool told) {
    const QString isbn = QString::fromStdString(isbn13);
    if (!LookupCache::MayName(isbn13)) {
        if (told) {
            emit Failed(isbn, QStringLiteral("ISBN-ul nu poate fi cautat"));
        }
        return;
    }
    const auto pending = m_pending.find(isbn);
    if (pending != m_pending.end()) {
        pending->second.told = pending->second.told || told;
        return;
    }
    Build();
    Pending fresh;
    fresh.told = told;
    m_pending.emplace(isbn, std::move(fresh));
    AskFrom(isbn, 0);
}

void CLookupChain::AskFrom(const QString& isbn, std::size_t from) {
    const auto pending = m_pending.find(isbn);
    if (pending == m_pending.end()) {
        return;
    }
    if (from >= m_sources.size()) {
        Finish(isbn);
        return;
    }
    pending->second.asking = from;
    m_sources[from]->Ask(isbn);
}

void CLookupChain::OnFound(std::size_t source, const QString& isbn, const LookupRecord& record) {
    const auto pending = m_pending.find(isbn);
    if (pending == m_pending.end() || pending->second.asking != source) {
        return;
    }
    Pending& p = pending->second;
    p.answered = true;
    MergeFrom(p.merged, record, m_sources[source]->Source().name);
    if (!p.merged.record.titlu.empty() && !StillMissing(p.merged.record)) {
        Finish(isbn);
        return;
    }
    AskFrom(isbn, source + 1);
}

void CLookupChain::OnMissed(std::size_t source, const QString& isbn, const QString& failure) {
    const auto pending = m_pending.find(isbn);
    if (pending == m_pending.end() || pending->second.asking != source) {
        return;
    }
    Pending& p = pending->second;
    if (failure.isEmpty()) {
        p.answered = true;
    } else if (p.failure.isEmpty()) {
        p.failure = failure;
    }
    AskFrom(isbn, source + 1);
}

void CLookupChain::Finish(const QString& isbn) {
    const auto pending = m_pending.find(isbn);
    if (pending == m_pending.end()) {
        return;
    }
    const Pending p = std::move(pending->second);
    m_pending.erase(pending);
    const bool found = !p.merged.record.titlu.empty();
    if (!p.told) {
        if (found && !p.merged.record.coverUrl.empty()) {
            FetchCover(isbn, QUrl(QString::fromStdString(p.merged.record.coverUrl)), false);
        }
        return;
    }
    if (found) {
        emit Answered(isbn, AnswerOf(p.merged));
    } else if (p.answered || p.failure.isEmpty()) {
        LookupAnswer missed;
        missed.kind = LookupAnswer::Kind::NotFound;
        missed.book = BookOfUnknownNumbers();
        emit Answered(isbn, missed);
    } else {
        emit Failed(isbn, p.failure);
    }
}

bool CLookupChain::MayFetchCover(const QUrl& url) const {
    if (!CPoliteFetcher::WebAddress(url)) {
        return false;
    }
    const QString host = url.host().toLower();
    if (host == kOpenLibraryCovers) {
        return true;
    }
    for (const auto& source : m_sources) {
        if (QUrl(QString::fromStdString(source->Source().address)).host().toLower() == host) {
            return true;
        }
    }
    return false;
}

void CLookupChain::FetchCover(const std::string& isbn13, const QString& url) {
    FetchCover(QString::fromStdString(isbn13), QUrl(url), true);
}

void CLookupChain::FetchCover(const QString& isbn, const QUrl& url, bool told) {
    const std::string isbn13 = isbn.toStdString();
    const auto tell = [this, isbn, told](const QImage& cover) {
        if (told) {
            emit CoverReady(isbn, cover);
        }
    };
    Build();
    if (!LookupCache::MayName(isbn13) || !MayFetchCover(url)) {
        tell({});
        return;
    }
    const LookupCache cache(m_environment.cacheFolder.toStdString());
    if (const QImage kept = CachedCover(isbn13); !kept.isNull()) {
        tell(kept);
        return;
    }
    CPoliteFetcher::Request request;
    request.url = url;
    request.limit = static_cast<qint64>(LookupCache::kCoverLimit);
    request.key = isbn;
    m_covers.Get(request, [cache, isbn13, tell](const FetchResult& result) {
        const QImage cover = result.Ok() ? CoverImage(result.body) : QImage();
        if (!cover.isNull()) {
            cache.Write(LookupCache::Kind::Cover, isbn13, BytesOf(result.body));
        }
        tell(cover);
    });
}

QImage CLookupChain::CachedCover(const std::string& isbn13) const {
    const LookupCache cache(m_environment.cacheFolder.toStdString());
    const auto kept = cache.Read(LookupCache::Kind::Cover, isbn13);
    const QImage cover = kept ? CoverImage(QByteArray::fromStdString(kept->bytes)) : QImage();
    if (kept && cover.isNull()) {
        cache.Forget(LookupCache::Kind::Cover, isbn13);
    }
    return cover;
}
