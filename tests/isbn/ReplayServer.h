#pragma once

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QMap>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

// A Books API service on 127.0.0.1 that replays answers recorded in the service's shape (one file
// per ISBN, "<isbn13>.json", and "search-<isbn13>.json" for a search of the work's first year;
// the cover addresses in them are turned to this server), serves a
// cover for any "/b/id/..." path, and records every request. Told to, it stays silent (a slow
// service) or answers with any status, headers and body.
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
        if (target.startsWith(QStringLiteral("/b/id/"))) {
            return cover;
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
        const QString key = target.section(QStringLiteral("ISBN:"), 1).section('&', 0, 0);
        QFile answer(QDir(m_answers).filePath(key + QStringLiteral(".json")));
        if (!target.startsWith(QStringLiteral("/api/books?")) ||
            !answer.open(QIODevice::ReadOnly)) {
            code = 404;
            return {};
        }
        return answer.readAll().replace("https://covers.openlibrary.org", address().toLatin1());
    }

    QString m_answers;
    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_pending;
};
