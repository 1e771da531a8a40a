#pragma once

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QImage>
#include <QMap>
#include <QObject>
#include <QRegularExpression>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

// A cover of this size, as a service sends one.
inline QByteArray CoverPng(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkBlue);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    return png.data();
}

// Every look-up service at once on 127.0.0.1, replaying answers recorded in each service's shape
// from one folder (answers/README.md lists them):
// - Open Library's Books API, "/api/books?bibkeys=ISBN:a,ISBN:b...": the entries of
//   "<isbn13>.json" of each key, "{}" when it knows none; "search-<isbn13>.json" for a search of
//   the work's first year;
// - SRU, any path whose query has operation=searchRetrieve: "sru-<isbn>.xml" (MARC 21), or
//   "sru-unimarc-<isbn>.xml" when the recordSchema names UNIMARC, <isbn> being the 13 or 10
//   characters the query asks; an answer of no records when there is no such file;
// - Google Books, ".../volumes?q=isbn:<isbn13>": "google-<isbn13>.json", or {"totalItems": 0}.
// The cover addresses in the answers are turned to this server, which serves a cover for any
// "/b/id/..." (Open Library) and "/books/content..." (Google) path. It records every request.
// Told to, it stays silent (a slow service) or answers with any status, headers and body.
class ReplayServer : public QObject {
public:
    enum class Mode { Replay, Silent, Status, Body };

    explicit ReplayServer(const QString& answers) : m_answers(answers) {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Read(socket); });
            }
        });
    }

    QString address() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort());
    }

    Mode mode = Mode::Replay;
    int status = 200;
    QByteArray body;
    QByteArray headers;   // further header lines, each ending "\r\n"
    QByteArray cover;     // the bytes served for any cover
    QStringList requests; // each request's path and query
    QStringList agents;   // each request's User-Agent

private:
    void Read(QTcpSocket* socket) {
        QByteArray& pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0) {
            return;
        }
        const QList<QByteArray> lines = pending.left(end).split('\n');
        const QString target = QString::fromLatin1(lines.first().split(' ').value(1));
        requests << target;
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("user-agent:")) {
                agents << QString::fromLatin1(line.mid(11).trimmed());
            }
        }
        if (mode == Mode::Silent) {
            return;
        }
        int code = mode == Mode::Replay ? 200 : status;
        QByteArray content = body;
        if (mode == Mode::Replay) {
            content = Replayed(target, code);
        }
        socket->write("HTTP/1.1 " + QByteArray::number(code) +
                      " X\r\nContent-Length: " + QByteArray::number(content.size()) + "\r\n" +
                      headers + "Connection: close\r\n\r\n" + content);
        socket->disconnectFromHost();
    }

    QByteArray Replayed(const QString& target, int& code) const {
        const QUrl url(target);
        const QUrlQuery query(url);
        const QString path = url.path();
        if (path.startsWith(QStringLiteral("/b/id/")) ||
            path.startsWith(QStringLiteral("/books/content"))) {
            return cover;
        }
        if (query.queryItemValue(QStringLiteral("operation")) == QStringLiteral("searchRetrieve")) {
            return Sru(query);
        }
        if (path.endsWith(QStringLiteral("/volumes"))) {
            const QString asked = query.queryItemValue(QStringLiteral("q"), QUrl::FullyDecoded);
            QByteArray answer = File("google-" + Isbn(asked.section(':', 1)) + ".json");
            return answer.isEmpty()
                       ? QByteArray("{\"totalItems\": 0}")
                       : answer.replace("http://books.google.com", address().toLatin1());
        }
        // A search by title: "search-title-<title, in small letters, blanks as ->.json".
        if (target.startsWith(QStringLiteral("/search.json?title="))) {
            const QString title = QUrlQuery(QUrl(target).query())
                                      .queryItemValue(QStringLiteral("title"), QUrl::FullyDecoded)
                                      .toLower()
                                      .replace(' ', '-');
            QFile search(QDir(m_answers).filePath("search-title-" + title + ".json"));
            return search.open(QIODevice::ReadOnly) ? search.readAll()
                                                    : QByteArray("{\"numFound\": 0, \"docs\": []}");
        }
        // A search for a work's first year: "search-<isbn13>.json".
        if (target.startsWith(QStringLiteral("/search.json?isbn="))) {
            QFile search(QDir(m_answers).filePath(
                "search-" + target.section('=', 1).section('&', 0, 0) + ".json"));
            if (search.open(QIODevice::ReadOnly)) {
                return search.readAll();
            }
            code = 404;
            return {};
        }
        if (!target.startsWith(QStringLiteral("/api/books?"))) {
            code = 404;
            return {};
        }
        return Books(query).replace("https://covers.openlibrary.org", address().toLatin1());
    }

    // The 13 digits, or the 10 characters of an ISBN-10, a text holds; empty when none.
    static QString Isbn(const QString& text) {
        static const QRegularExpression isbn(
            QStringLiteral("(?<![0-9])([0-9]{13}|[0-9]{9}[0-9Xx])(?![0-9])"));
        return isbn.match(text).captured(1).toUpper();
    }

    // A recorded answer's bytes; empty when there is none.
    QByteArray File(const QString& name) const {
        QFile file(QDir(m_answers).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QByteArray Sru(const QUrlQuery& query) const {
        const QString isbn =
            Isbn(query.queryItemValue(QStringLiteral("query"), QUrl::FullyDecoded));
        const bool unimarc = query.queryItemValue(QStringLiteral("recordSchema"))
                                 .contains(QStringLiteral("unimarc"), Qt::CaseInsensitive);
        const QByteArray answer = isbn.isEmpty()
                                      ? QByteArray()
                                      : File((unimarc ? "sru-unimarc-" : "sru-") + isbn + ".xml");
        if (!answer.isEmpty()) {
            return answer;
        }
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<searchRetrieveResponse "
               "xmlns=\"http://www.loc.gov/zing/srw/\"><version>1.1</version>"
               "<numberOfRecords>0</numberOfRecords></searchRetrieveResponse>\n";
    }

    // The Books API's answer for every key asked: one key's file as it was recorded, several
    // keys' entries gathered into one object, as the service answers a batch.
    QByteArray Books(const QUrlQuery& query) const {
        const QStringList keys =
            query.queryItemValue(QStringLiteral("bibkeys"), QUrl::FullyDecoded).split(',');
        QByteArrayList entries;
        for (const QString& key : keys) {
            const QByteArray answer = File(Isbn(key) + ".json");
            if (keys.size() == 1 && !answer.isEmpty()) {
                return answer;
            }
            // "{"ISBN:...": {...}}" without its outer braces; "{}" gives nothing.
            if (const QByteArray object = answer.trimmed(); object.size() > 2) {
                entries << object.mid(1, object.size() - 2).trimmed();
            }
        }
        return "{" + entries.join(", ") + "}";
    }

    QString m_answers;
    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_pending;
};
