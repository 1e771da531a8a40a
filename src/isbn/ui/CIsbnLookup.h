#pragma once

#include "isbn/LookupCache.h"
#include "isbn/ui/LookupAnswer.h"

#include <QImage>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>

class QNetworkReply;

// Looks books up by ISBN on a Books API service, politely and without blocking: at most one
// request a second and one at a time, a User-Agent naming the program and its version, a time
// and a size limit on each answer, and every whole answer and cover kept on disk so that the same
// ISBN is not asked twice. What a service sends is only data: only http and https are fetched,
// covers only from the service's own host or its cover host, and a redirect elsewhere is refused.
// The clock, the time limit, the address and the cache folder can be set (tests point them at a
// local server and a temporary folder).
class CIsbnLookup : public QObject {
    Q_OBJECT
public:
    explicit CIsbnLookup(QObject* parent = nullptr);

    void SetService(const QString& address) { m_service = address; }
    void SetCacheFolder(const QString& folder) { m_cacheFolder = folder; }
    // Milliseconds from any fixed moment; the rate limit counts by it.
    void SetClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    void SetTimeout(int milliseconds) { m_timeout = milliseconds; }
    // How the service may reach the user (an e-mail address), sent with every request.
    void SetContact(const QString& contact) { m_contact = contact; }

    // Asks for the book with this ISBN (13 digits), and for a book found, the year its work was
    // first published (a search of its own: an edition does not tell); Answered or Failed
    // follows.
    void Lookup(const std::string& isbn13);
    // Asks for what Lookup will want of this ISBN (its answer, first year and cover) and keeps it,
    // saying nothing: a pile scanned ahead is looked up while the user confirms the book before.
    void Prefetch(const std::string& isbn13);
    // Fetches the cover at `url` for this ISBN; CoverReady follows, with a null image when there
    // is none to be had.
    void FetchCover(const std::string& isbn13, const QString& url);

    // The cover kept for this ISBN, or a null image.
    QImage CachedCover(const std::string& isbn13) const;

    // The program and its version, and the user's contact (an e-mail address) when given.
    static QByteArray UserAgent(const QString& contact);
    // The user's cache folder for look-ups.
    static QString DefaultCacheFolder();
    // A "not found" is asked again after this long; a book found is kept for good.
    static constexpr qint64 kNotFoundKeptSeconds = 7 * 24 * 3600;

signals:
    void Answered(const QString& isbn13, const LookupAnswer& answer);
    void Failed(const QString& isbn13, const QString& reason);
    void CoverReady(const QString& isbn13, const QImage& cover);
    // The service asked to be left alone for `seconds`: the ISBN waits and is asked again then.
    void Paused(const QString& isbn13, int seconds);
    // The service refused the program (403): it may want to know who asks.
    void Refused();

private:
    struct Request {
        QString isbn;
        QUrl url;
        LookupCache::Kind kind;
        bool ahead = false; // asked ahead of need: kept, not told
    };
    // How one request ended, beyond what the reply itself says.
    struct Outcome {
        bool timedOut = false;
        bool tooBig = false;
        bool refusedRedirect = false;
        QByteArray body;
    };
    LookupCache Cache() const { return LookupCache(m_cacheFolder.toStdString()); }
    // Answers from the cache; false when the request is not there (or no longer usable).
    bool AnswerFromCache(const Request& request);
    bool MayFetchCover(const QUrl& url) const;
    void Send(const Request& request);
    // A book's answer is known: a book found waits for its first year (asked ahead, its first
    // year and cover are asked ahead too).
    void BookKnown(const Request& request, const LookupAnswer& answer);
    QUrl BookUrl(const QString& isbn) const;
    // A request like this one waits or is out: it is made one that is told, when this one is.
    bool AlreadyAsked(const Request& request);
    // The first year is known (0 when not to be had): the book's answer goes out.
    void FirstYearKnown(const QString& isbn, int year);
    // Sends the next waiting request when none is out and the rate limit allows.
    void Pump();
    void Finished(QNetworkReply* reply, const Request& request, const Outcome& outcome);
    QString Reason(QNetworkReply* reply, const Request& request, const Outcome& outcome);

    QNetworkAccessManager m_network;
    QString m_service;
    QString m_cacheFolder;
    QString m_contact;
    std::function<qint64()> m_clock;
    int m_timeout = 10000;
    std::deque<Request> m_waiting;
    std::optional<Request> m_out; // the request sent, while its answer is awaited
    std::map<QString, LookupAnswer> m_awaitingYear;
    bool m_busy = false;
    bool m_sentBefore = false;
    qint64 m_lastSent = 0;
    qint64 m_notBefore = 0; // a service that asked for a pause is not asked before then
    QTimer m_pause;
};

// A cover as the book dialog shows it, fitted within a few centimetres of the screen; a null
// image for bytes that are no picture or one too big to decode.
QImage CoverImage(const QByteArray& bytes);
