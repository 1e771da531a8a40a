#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QNetworkReply;

// What became of one request.
struct FetchResult {
    enum class Outcome {
        Answered,        // a 2xx status and the whole body
        Status,          // another status (the body is not kept)
        TooBig,          // more than the request's limit
        TimedOut,        // no whole answer within the time limit
        RefusedRedirect, // sent on to an address that is not http or https
        Unreadable,      // a 2xx status but a body cut short or not to be unpacked
        Unreachable,     // no connection
    };
    Outcome outcome = Outcome::Unreachable;
    int status = 0;
    qint64 limit = 0; // the request's size limit, in bytes
    QByteArray body;
    bool Ok() const { return outcome == Outcome::Answered; }
    // Why it failed, as the status bar says it; empty when answered.
    QString Reason() const;
};

// Asks one service over http or https, politely and without blocking: one request at a time and
// at most one a second, a User-Agent naming the program, its version and the user's contact, a
// time and a size limit on every answer, no redirect away from the web, and a pause as long as
// the service asks for (429, 503). Requests asked for again while they wait or are out are sent
// once; requests of one batch that wait together go out as one.
class CPoliteFetcher : public QObject {
    Q_OBJECT
public:
    using Done = std::function<void(const FetchResult&)>;
    struct Request {
        QUrl url;
        qint64 limit = 0; // bytes
        // A request of a batch: waiting ones of the same batch are joined into one address by
        // `join` from their keys, at most `most` of them.
        QString batch;
        QString key;
        std::function<QUrl(const QStringList& keys)> join;
        int most = 1;
    };

    explicit CPoliteFetcher(QObject* parent = nullptr);

    // Milliseconds from any fixed moment; the rate limit counts by it.
    void SetClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    void SetTimeout(int milliseconds) { m_timeout = milliseconds; }
    void SetContact(const QString& contact) { m_contact = contact; }
    // Told when the service asks for a pause, with the keys (or addresses) of the requests that
    // wait for it and the seconds.
    void OnPaused(std::function<void(const QStringList&, int)> paused) {
        m_paused = std::move(paused);
    }

    // Sends `request` in its turn; `done` follows, always, with what became of it.
    void Get(const Request& request, Done done);
    // Drops the requests still waiting their turn; they are not sent and not answered.
    void Abandon() { m_waiting.clear(); }

    // The program and its version, and the user's contact (an e-mail address) when given.
    static QByteArray UserAgent(const QString& contact);
    static bool WebAddress(const QUrl& url);

private:
    struct Item {
        Request request;
        std::vector<Done> done;
    };
    // Sends the next waiting request (with its batch) when none is out and the rate allows.
    void Pump();
    void Send(std::vector<Item> items);
    void Finished(QNetworkReply* reply, std::vector<Item> items, FetchResult result);

    QNetworkAccessManager m_network;
    std::function<qint64()> m_clock;
    std::function<void(const QStringList&, int)> m_paused;
    QString m_contact;
    int m_timeout = 10000;
    std::deque<Item> m_waiting;
    std::vector<Item> m_out;
    bool m_busy = false;
    std::optional<qint64> m_lastSent;
    qint64 m_notBefore = 0; // a service that asked for a pause is not asked before then
    QTimer m_pause;
};
