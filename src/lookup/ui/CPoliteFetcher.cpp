#include "lookup/ui/CPoliteFetcher.h"

#include <QDateTime>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <memory>

namespace {
constexpr qint64 kSpacing = 1000; // services ask for at most one request a second
constexpr qint64 kLongestPause = 3600;
constexpr qint64 kDefaultPause = 60;
constexpr int kRedirects = 5;

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

bool SameRequest(const CPoliteFetcher::Request& a, const CPoliteFetcher::Request& b) {
    return a.batch.isEmpty() ? a.url == b.url : a.batch == b.batch && a.key == b.key;
}
} // namespace

QString FetchResult::Reason() const {
    switch (outcome) {
    case Outcome::Answered:
        return {};
    case Outcome::TimedOut:
        return QStringLiteral("serviciul de cautare nu a raspuns la timp");
    case Outcome::TooBig:
        return QStringLiteral("raspunsul serviciului de cautare este prea mare (peste %1 MB)")
            .arg(limit / (1024 * 1024));
    case Outcome::RefusedRedirect:
        return QStringLiteral("serviciul de cautare trimite la o adresa care nu este http sau "
                              "https");
    case Outcome::Unreadable:
        return QStringLiteral("raspunsul serviciului de cautare nu poate fi citit");
    case Outcome::Status:
        return status == 403
                   ? QStringLiteral("serviciul de cautare a refuzat cererea (403)")
                   : QStringLiteral("serviciul de cautare a raspuns cu eroarea %1").arg(status);
    case Outcome::Unreachable:
        break;
    }
    return QStringLiteral("serviciul de cautare nu poate fi contactat");
}

CPoliteFetcher::CPoliteFetcher(QObject* parent)
    : QObject(parent), m_clock([] { return QDateTime::currentMSecsSinceEpoch(); }) {
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, &CPoliteFetcher::Pump);
}

QByteArray CPoliteFetcher::UserAgent(const QString& contact) {
    // A service lets a program that names itself and a way to reach its user ask more often;
    // without a contact some refuse the program altogether.
    const QString clean =
        contact.simplified().remove(QRegularExpression(QStringLiteral("[()\\\\]")));
    if (clean.isEmpty()) {
        return QByteArrayLiteral("Shelfwarden/" SHELFWARDEN_VERSION " (desktop book catalogue)");
    }
    return QByteArrayLiteral("Shelfwarden/" SHELFWARDEN_VERSION " (+") + clean.toUtf8() + ")";
}

bool CPoliteFetcher::WebAddress(const QUrl& url) {
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

void CPoliteFetcher::Get(const Request& request, Done done) {
    for (Item& item : m_out) {
        if (SameRequest(item.request, request)) {
            item.done.push_back(std::move(done));
            return;
        }
    }
    for (Item& item : m_waiting) {
        if (SameRequest(item.request, request)) {
            item.done.push_back(std::move(done));
            return;
        }
    }
    m_waiting.push_back({request, {std::move(done)}});
    // After what is asked in the same turn has joined the queue, so that it can go as a batch.
    if (!m_pause.isActive()) {
        m_pause.start(0);
    }
}

void CPoliteFetcher::Pump() {
    if (m_busy || m_waiting.empty()) {
        return;
    }
    const qint64 now = m_clock();
    const qint64 next = std::max(m_lastSent ? *m_lastSent + kSpacing : now, m_notBefore);
    if (now < next) {
        // Looked at again each second at least: the clock may have been set meanwhile.
        m_pause.start(static_cast<int>(std::min<qint64>(next - now, kSpacing)));
        return;
    }
    std::vector<Item> items;
    items.push_back(std::move(m_waiting.front()));
    m_waiting.pop_front();
    const QString batch = items.front().request.batch;
    const int most = items.front().request.most;
    if (!batch.isEmpty()) {
        for (auto it = m_waiting.begin();
             it != m_waiting.end() && static_cast<int>(items.size()) < most;) {
            if (it->request.batch == batch) {
                items.push_back(std::move(*it));
                it = m_waiting.erase(it);
            } else {
                ++it;
            }
        }
    }
    m_lastSent = now;
    Send(std::move(items));
}

void CPoliteFetcher::Send(std::vector<Item> items) {
    const Request& first = items.front().request;
    QUrl url = first.url;
    if (items.size() > 1) {
        QStringList keys;
        for (const Item& item : items) {
            keys << item.request.key;
        }
        url = first.join(keys);
    }
    const qint64 limit = first.limit;
    m_busy = true;
    m_out = std::move(items);
    QNetworkRequest sent(url);
    sent.setHeader(QNetworkRequest::UserAgentHeader, UserAgent(m_contact));
    sent.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                      QNetworkRequest::UserVerifiedRedirectPolicy);
    sent.setMaximumRedirectsAllowed(kRedirects);
    QNetworkReply* reply = m_network.get(sent);
    auto result = std::make_shared<FetchResult>();
    result->limit = limit;
    // Read as it comes, never more than the limit: past it the answer is given up.
    auto take = [reply, result, limit] {
        result->body += reply->read(limit + 1 - result->body.size());
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (result->body.size() > limit || (length.isValid() && length.toLongLong() > limit)) {
            result->outcome = FetchResult::Outcome::TooBig;
            reply->abort();
        }
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, take);
    connect(reply, &QNetworkReply::readyRead, reply, take);
    // Qt itself refuses a redirect to another scheme than http or https, and reports it with
    // the 3xx status (told below as RefusedRedirect); one within the web is followed, https to
    // http included, as the service names it.
    connect(reply, &QNetworkReply::redirected, reply, [reply] { emit reply->redirectAllowed(); });
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [reply, result] {
        result->outcome = FetchResult::Outcome::TimedOut;
        reply->abort();
    });
    // Unreachable stands for "nothing decided yet" until the reply ends.
    connect(reply, &QNetworkReply::finished, this, [this, reply, result, take] {
        if (result->outcome == FetchResult::Outcome::Unreachable) {
            take();
        }
        Finished(reply, std::exchange(m_out, {}), *result);
    });
    timer->start(m_timeout);
}

void CPoliteFetcher::Finished(QNetworkReply* reply, std::vector<Item> items, FetchResult result) {
    reply->deleteLater();
    m_busy = false;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool decided = result.outcome != FetchResult::Outcome::Unreachable;
    // Too many requests, or too busy: the service is left alone as long as it asks (a minute
    // when it does not say), and the requests wait at the head of the queue.
    if (!decided && (result.status == 429 || result.status == 503)) {
        const qint64 asked = PauseAsked(reply);
        const qint64 pause = asked > 0 ? asked : kDefaultPause;
        m_notBefore = std::max(m_notBefore, m_clock() + pause * 1000);
        QStringList keys;
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            keys.prepend(it->request.key.isEmpty() ? it->request.url.toString() : it->request.key);
            m_waiting.push_front(std::move(*it));
        }
        if (m_paused) {
            m_paused(keys, static_cast<int>(pause));
        }
        Pump();
        return;
    }
    if (!decided) {
        const bool fine = reply->error() == QNetworkReply::NoError;
        if (result.status >= 300 && result.status < 400) {
            result.outcome = FetchResult::Outcome::RefusedRedirect;
        } else if (fine) {
            result.outcome = FetchResult::Outcome::Answered;
        } else if (result.status >= 200 && result.status < 300) {
            result.outcome = FetchResult::Outcome::Unreadable;
        } else if (result.status != 0) {
            result.outcome = FetchResult::Outcome::Status;
        }
    }
    if (!result.Ok()) {
        result.body.clear();
    }
    for (Item& item : items) {
        for (Done& done : item.done) {
            done(result);
        }
    }
    Pump();
}
