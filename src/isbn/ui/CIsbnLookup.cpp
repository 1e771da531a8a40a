#include "isbn/ui/CIsbnLookup.h"

#include <QBuffer>
#include <QDateTime>
#include <QImageReader>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QStandardPaths>
#include <memory>

namespace {
constexpr qint64 kSpacing = 1000; // the service asks for at most one request a second
constexpr qint64 kLongestPause = 3600;
constexpr qint64 kDefaultPause = 60;
constexpr int kRedirects = 5;
// Open Library names its covers on a host of their own.
const QString kCoverHost = QStringLiteral("covers.openlibrary.org");
// About the size of a paperback's cover on the screen.
constexpr QSize kCoverBox(240, 320);

bool WebAddress(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

// The seconds a service asks to be left alone (Retry-After: seconds or an HTTP date), or 0.
qint64 PauseAsked(QNetworkReply* reply) {
    const QByteArray asked = reply->rawHeader("Retry-After").trimmed();
    bool number = false;
    qint64 seconds = asked.toLongLong(&number);
    if (!number) {
        const QDateTime when = QDateTime::fromString(QString::fromLatin1(asked), Qt::RFC2822Date);
        seconds = when.isValid() ? QDateTime::currentDateTimeUtc().secsTo(when) : 0;
    }
    return std::clamp<qint64>(seconds, 0, kLongestPause);
}
} // namespace

QImage CoverImage(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (size.isValid() &&
        (size.width() > kCoverBox.width() || size.height() > kCoverBox.height())) {
        reader.setScaledSize(size.scaled(kCoverBox, Qt::KeepAspectRatio));
    }
    QImage image = reader.read();
    if (!image.isNull() &&
        (image.width() > kCoverBox.width() || image.height() > kCoverBox.height())) {
        image = image.scaled(kCoverBox, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

CIsbnLookup::CIsbnLookup(QObject* parent)
    : QObject(parent), m_cacheFolder(DefaultCacheFolder()),
      m_clock([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, &CIsbnLookup::Pump);
}

QByteArray CIsbnLookup::UserAgent(const QString& contact) {
    // The service lets a program that names itself and a way to reach its user ask more often;
    // without a contact some of its servers refuse the program altogether.
    const QString clean =
        contact.simplified().remove(QRegularExpression(QStringLiteral("[()\\\\]")));
    if (clean.isEmpty()) {
        return QByteArrayLiteral("Shelfwarden/" SHELFWARDEN_VERSION " (desktop book catalogue)");
    }
    return QByteArrayLiteral("Shelfwarden/" SHELFWARDEN_VERSION " (+") + clean.toUtf8() + ")";
}

QString CIsbnLookup::DefaultCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/isbn");
}

QImage CIsbnLookup::CachedCover(const std::string& isbn13) const {
    const auto kept = Cache().Read(LookupCache::Kind::Cover, isbn13);
    return kept ? CoverImage(QByteArray::fromStdString(kept->bytes)) : QImage();
}

void CIsbnLookup::Lookup(const std::string& isbn13) {
    const QString isbn = QString::fromStdString(isbn13);
    if (!LookupCache::MayName(isbn13)) {
        emit Failed(isbn, QStringLiteral("ISBN-ul nu poate fi cautat"));
        return;
    }
    Send({isbn, BookUrl(isbn), LookupCache::Kind::Answer});
}

void CIsbnLookup::Prefetch(const std::string& isbn13) {
    if (LookupCache::MayName(isbn13)) {
        const QString isbn = QString::fromStdString(isbn13);
        Send({isbn, BookUrl(isbn), LookupCache::Kind::Answer, true});
    }
}

QUrl CIsbnLookup::BookUrl(const QString& isbn) const {
    QUrl url(m_service + QStringLiteral("/api/books"));
    url.setQuery(QStringLiteral("bibkeys=ISBN:%1&format=json&jscmd=data").arg(isbn));
    return url;
}

void CIsbnLookup::BookKnown(const Request& request, const LookupAnswer& answer) {
    const QString& isbn = request.isbn;
    if (answer.kind != LookupAnswer::Kind::Found) {
        if (!request.ahead) {
            emit Answered(isbn, answer);
        }
        return;
    }
    if (!request.ahead) {
        m_awaitingYear[isbn] = answer;
    } else if (MayFetchCover(QUrl(answer.coverUrl))) {
        Send({isbn, QUrl(answer.coverUrl), LookupCache::Kind::Cover, true});
    }
    QUrl url(m_service + QStringLiteral("/search.json"));
    url.setQuery(QStringLiteral("isbn=%1&fields=first_publish_year").arg(isbn));
    Send({isbn, url, LookupCache::Kind::FirstYear, request.ahead});
}

bool CIsbnLookup::AlreadyAsked(const Request& request) {
    const auto same = [&request](const Request& other) {
        return other.kind == request.kind && other.isbn == request.isbn && other.url == request.url;
    };
    Request* found = m_out && same(*m_out) ? &*m_out : nullptr;
    for (Request& waiting : m_waiting) {
        found = !found && same(waiting) ? &waiting : found;
    }
    if (found) {
        found->ahead = found->ahead && request.ahead;
    }
    return found != nullptr;
}

void CIsbnLookup::FirstYearKnown(const QString& isbn, int year) {
    const auto waiting = m_awaitingYear.find(isbn);
    if (waiting == m_awaitingYear.end()) {
        return;
    }
    LookupAnswer answer = waiting->second;
    m_awaitingYear.erase(waiting);
    if (year > 0) {
        answer.book.publicare = year;
    }
    emit Answered(isbn, answer);
}

void CIsbnLookup::FetchCover(const std::string& isbn13, const QString& url) {
    const QString isbn = QString::fromStdString(isbn13);
    if (!LookupCache::MayName(isbn13) || !MayFetchCover(QUrl(url))) {
        emit CoverReady(isbn, QImage());
        return;
    }
    Send({isbn, QUrl(url), LookupCache::Kind::Cover});
}

bool CIsbnLookup::MayFetchCover(const QUrl& url) const {
    const QString host = url.host().toLower();
    return WebAddress(url) && (host == QUrl(m_service).host().toLower() || host == kCoverHost);
}

void CIsbnLookup::Send(const Request& request) {
    if (!AlreadyAsked(request) && !AnswerFromCache(request)) {
        m_waiting.push_back(request);
        Pump();
    }
}

bool CIsbnLookup::AnswerFromCache(const Request& request) {
    const std::string isbn = request.isbn.toStdString();
    const auto kept = Cache().Read(request.kind, isbn);
    if (!kept) {
        return false;
    }
    const QByteArray body = QByteArray::fromStdString(kept->bytes);
    // What cannot be read, or a "not found" grown old, is asked again.
    const bool old = kept->ageSeconds > kNotFoundKeptSeconds;
    switch (request.kind) {
    case LookupCache::Kind::Cover:
        if (const QImage cover = CoverImage(body); !cover.isNull()) {
            if (!request.ahead) {
                emit CoverReady(request.isbn, cover);
            }
            return true;
        }
        break;
    case LookupCache::Kind::FirstYear:
        if (const auto year = ReadFirstPublishYear(body); year && (*year > 0 || !old)) {
            if (!request.ahead) {
                FirstYearKnown(request.isbn, *year);
            }
            return true;
        }
        break;
    case LookupCache::Kind::Answer:
        if (const LookupAnswer answer = ReadLookupAnswer(body, isbn);
            answer.kind == LookupAnswer::Kind::Found ||
            (answer.kind == LookupAnswer::Kind::NotFound && !old)) {
            BookKnown(request, answer);
            return true;
        }
        break;
    }
    Cache().Forget(request.kind, isbn);
    return false;
}

void CIsbnLookup::Pump() {
    if (m_busy || m_waiting.empty()) {
        return;
    }
    const qint64 now = m_clock();
    const qint64 next = std::max(m_sentBefore ? m_lastSent + kSpacing : now, m_notBefore);
    if (now < next) {
        // Looked at again each second at least: the clock may have been set meanwhile.
        m_pause.start(static_cast<int>(std::min<qint64>(next - now, kSpacing)));
        return;
    }
    const Request request = m_waiting.front();
    m_waiting.pop_front();
    m_out = request;
    m_busy = true;
    m_sentBefore = true;
    m_lastSent = now;
    QNetworkRequest sent(request.url);
    sent.setHeader(QNetworkRequest::UserAgentHeader, UserAgent(m_contact));
    sent.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                      QNetworkRequest::UserVerifiedRedirectPolicy);
    sent.setMaximumRedirectsAllowed(kRedirects);
    QNetworkReply* reply = m_network.get(sent);
    const auto limit = static_cast<qint64>(LookupCache::Limit(request.kind));
    auto outcome = std::make_shared<Outcome>();
    // Read as it comes, never more than the limit: past it the answer is given up.
    auto take = [reply, outcome, limit] {
        outcome->body += reply->read(limit + 1 - outcome->body.size());
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (outcome->body.size() > limit || (length.isValid() && length.toLongLong() > limit)) {
            outcome->tooBig = true;
            reply->abort();
        }
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, take);
    connect(reply, &QNetworkReply::readyRead, reply, take);
    connect(reply, &QNetworkReply::redirected, reply, [reply, outcome](const QUrl& to) {
        if (WebAddress(to)) {
            emit reply->redirectAllowed();
        } else {
            outcome->refusedRedirect = true;
            reply->abort();
        }
    });
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [reply, outcome] {
        outcome->timedOut = true;
        reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, request, outcome, take] {
        if (!outcome->tooBig && !outcome->timedOut && !outcome->refusedRedirect) {
            take();
        }
        Finished(reply, request, *outcome);
    });
    timer->start(m_timeout);
}

QString CIsbnLookup::Reason(QNetworkReply* reply, const Request& request, const Outcome& outcome) {
    if (outcome.timedOut) {
        return QStringLiteral("serviciul de cautare nu a raspuns la timp");
    }
    if (outcome.tooBig) {
        return QStringLiteral("raspunsul serviciului de cautare este prea mare (peste %1 MB)")
            .arg(LookupCache::Limit(request.kind) / (1024 * 1024));
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (outcome.refusedRedirect || (status >= 300 && status < 400)) {
        return QStringLiteral("serviciul de cautare trimite la o adresa care nu este http sau "
                              "https");
    }
    if (status == 403) {
        return QStringLiteral("serviciul de cautare a refuzat cererea (403)");
    }
    if (status >= 200 && status < 300) {
        // The status was fine but the body was not: cut short, or not to be unpacked.
        return QStringLiteral("raspunsul serviciului de cautare nu poate fi citit");
    }
    if (status != 0) {
        return QStringLiteral("serviciul de cautare a raspuns cu eroarea %1").arg(status);
    }
    return QStringLiteral("serviciul de cautare nu poate fi contactat");
}

void CIsbnLookup::Finished(QNetworkReply* reply, const Request& sent, const Outcome& outcome) {
    reply->deleteLater();
    m_busy = false;
    // As it is now: one asked ahead may have been wanted since.
    const Request request = m_out.value_or(sent);
    m_out.reset();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // Too many requests, or too busy: the service is left alone as long as it asks (a minute
    // when it does not say), and the request waits at the head of the queue.
    if (!outcome.timedOut && (status == 429 || status == 503)) {
        const qint64 asked = PauseAsked(reply);
        const qint64 pause = asked > 0 ? asked : kDefaultPause;
        m_notBefore = std::max(m_notBefore, m_clock() + pause * 1000);
        m_waiting.push_front(request);
        if (!request.ahead) {
            emit Paused(request.isbn, static_cast<int>(pause));
        }
        Pump();
        return;
    }
    if (status == 403) {
        emit Refused();
    }
    const bool ok = !outcome.timedOut && !outcome.tooBig && !outcome.refusedRedirect &&
                    reply->error() == QNetworkReply::NoError;
    const std::string isbn = request.isbn.toStdString();
    const std::string_view bytes(outcome.body.constData(),
                                 static_cast<std::size_t>(outcome.body.size()));
    if (request.kind == LookupCache::Kind::Cover) {
        const QImage cover = ok ? CoverImage(outcome.body) : QImage();
        if (!cover.isNull()) {
            Cache().Write(request.kind, isbn, bytes);
        }
        if (!request.ahead) {
            emit CoverReady(request.isbn, cover);
        }
    } else if (request.kind == LookupCache::Kind::FirstYear) {
        // Without its first year a book is still found: the year stays unknown.
        const auto year = ok ? ReadFirstPublishYear(outcome.body) : std::nullopt;
        if (year) {
            Cache().Write(request.kind, isbn, bytes);
        }
        if (!request.ahead) {
            FirstYearKnown(request.isbn, year.value_or(0));
        }
    } else if (!ok) {
        if (!request.ahead) {
            emit Failed(request.isbn, Reason(reply, request, outcome));
        }
    } else {
        const LookupAnswer answer = ReadLookupAnswer(outcome.body, isbn);
        if (answer.kind == LookupAnswer::Kind::Malformed) {
            if (!request.ahead) {
                emit Failed(request.isbn, QStringLiteral("raspunsul serviciului de cautare nu "
                                                         "poate fi citit"));
            }
        } else {
            // Only an answer about the ISBN asked is kept; a copy that cannot be kept whole is
            // not kept at all, and the ISBN is asked again next time.
            Cache().Write(request.kind, isbn, bytes);
            BookKnown(request, answer);
        }
    }
    Pump();
}
