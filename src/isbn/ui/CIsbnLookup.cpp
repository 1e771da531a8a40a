#include "isbn/ui/CIsbnLookup.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QStandardPaths>

namespace {
constexpr qint64 kSpacing = 1000; // the service asks for at most one request a second

QString ReasonOf(QNetworkReply* reply, bool timedOut) {
    if (timedOut) {
        return QStringLiteral("serviciul de cautare nu a raspuns la timp");
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0) {
        return QStringLiteral("serviciul de cautare a raspuns cu eroarea %1").arg(status);
    }
    return QStringLiteral("serviciul de cautare nu poate fi contactat");
}
} // namespace

CIsbnLookup::CIsbnLookup(QObject* parent)
    : QObject(parent), m_cacheFolder(DefaultCacheFolder()),
      m_clock([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, &CIsbnLookup::Pump);
}

QByteArray CIsbnLookup::UserAgent() {
    return QByteArrayLiteral("Shelfwarden/" SHELFWARDEN_VERSION " (desktop book catalogue)");
}

QString CIsbnLookup::DefaultCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation) +
           QStringLiteral("/isbn");
}

QString CIsbnLookup::CacheFile(const Request& request) const {
    return m_cacheFolder +
           (request.cover ? QStringLiteral("/covers/") : QStringLiteral("/answers/")) +
           request.isbn + (request.cover ? QStringLiteral(".img") : QStringLiteral(".json"));
}

QImage CIsbnLookup::CachedCover(const std::string& isbn13) const {
    return QImage(CacheFile({QString::fromStdString(isbn13), QUrl(), true}));
}

void CIsbnLookup::Lookup(const std::string& isbn13) {
    const QString isbn = QString::fromStdString(isbn13);
    QUrl url(m_service + QStringLiteral("/api/books"));
    url.setQuery(QStringLiteral("bibkeys=ISBN:%1&format=json&jscmd=data").arg(isbn));
    const Request request{isbn, url, false};
    if (!AnswerFromCache(request)) {
        m_waiting.push_back(request);
        Pump();
    }
}

void CIsbnLookup::FetchCover(const std::string& isbn13, const QString& url) {
    const Request request{QString::fromStdString(isbn13), QUrl(url), true};
    if (!AnswerFromCache(request)) {
        m_waiting.push_back(request);
        Pump();
    }
}

bool CIsbnLookup::AnswerFromCache(const Request& request) {
    QFile cached(CacheFile(request));
    if (!cached.open(QIODevice::ReadOnly)) {
        return false;
    }
    Answer(request, cached.readAll());
    return true;
}

void CIsbnLookup::Answer(const Request& request, const QByteArray& body) {
    if (request.cover) {
        emit CoverReady(request.isbn, QImage::fromData(body));
        return;
    }
    const LookupAnswer answer = ReadLookupAnswer(body, request.isbn.toStdString());
    if (answer.kind == LookupAnswer::Kind::Malformed) {
        emit Failed(request.isbn, QStringLiteral("raspunsul serviciului de cautare nu poate fi "
                                                 "citit"));
    } else {
        emit Answered(request.isbn, answer);
    }
}

void CIsbnLookup::Pump() {
    if (m_busy || m_waiting.empty()) {
        return;
    }
    const qint64 now = m_clock();
    if (m_sentBefore && now - m_lastSent < kSpacing) {
        m_pause.start(static_cast<int>(kSpacing - (now - m_lastSent)));
        return;
    }
    const Request request = m_waiting.front();
    m_waiting.pop_front();
    m_busy = true;
    m_sentBefore = true;
    m_lastSent = now;
    QNetworkRequest sent(request.url);
    sent.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    QNetworkReply* reply = m_network.get(sent);
    auto* limit = new QTimer(reply);
    limit->setSingleShot(true);
    auto timedOut = std::make_shared<bool>(false);
    connect(limit, &QTimer::timeout, reply, [reply, timedOut] {
        *timedOut = true;
        reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, request, timedOut] { Finished(reply, request, *timedOut); });
    limit->start(m_timeout);
}

void CIsbnLookup::Finished(QNetworkReply* reply, const Request& request, bool timedOut) {
    reply->deleteLater();
    m_busy = false;
    const bool ok = !timedOut && reply->error() == QNetworkReply::NoError;
    const QByteArray body = ok ? reply->readAll() : QByteArray();
    const bool wellFormed =
        ok && (request.cover ? !QImage::fromData(body).isNull()
                             : ReadLookupAnswer(body, request.isbn.toStdString()).kind !=
                                   LookupAnswer::Kind::Malformed);
    if (wellFormed) {
        // Kept whole or not at all, so a half-written file is never taken for an answer.
        QDir().mkpath(QFileInfo(CacheFile(request)).path());
        QSaveFile file(CacheFile(request));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(body);
            file.commit();
        }
    }
    if (ok) {
        Answer(request, body);
    } else if (request.cover) {
        emit CoverReady(request.isbn, QImage());
    } else {
        emit Failed(request.isbn, ReasonOf(reply, timedOut));
    }
    Pump();
}
