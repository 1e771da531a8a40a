#include "lookup/ui/CGoogleBooksSource.h"

#include "lookup/ui/GoogleBooksAnswer.h"
#include "shell/DialogParts.h"

#include <QUrlQuery>

CGoogleBooksSource::CGoogleBooksSource(LookupSource source, LookupEnvironment environment,
                                       QObject* parent)
    : CWebSource(std::move(source), std::move(environment), CacheAt::OwnFolder, parent) {}

void CGoogleBooksSource::Ask(const QString& isbn13) {
    const bool kept =
        FromCache(LookupCache::Kind::Answer, isbn13, [&](const QByteArray& bytes, bool old) {
            const auto answer = ReadGoogleBooksAnswer(bytes, isbn13.toStdString());
            return (answer.kind == GoogleBooksAnswer::Kind::Found ||
                    (answer.kind == GoogleBooksAnswer::Kind::NotFound && !old)) &&
                   Tell(isbn13, bytes);
        });
    if (kept) {
        return;
    }
    CPoliteFetcher::Request request;
    request.url = QUrl(QString::fromStdString(Source().address) + QStringLiteral("/volumes"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("q"), QStringLiteral("isbn:") + isbn13);
    query.addQueryItem(QStringLiteral("key"), Environment().googleKey);
    request.url.setQuery(query);
    request.limit = static_cast<qint64>(LookupCache::kAnswerLimit);
    request.key = isbn13;
    Fetcher().Get(request, [this, isbn13](const FetchResult& result) {
        if (!result.Ok()) {
            Fail(isbn13, result);
            return;
        }
        if (!Tell(isbn13, result.body)) {
            emit Failed(isbn13, QStringLiteral("raspunsul Google Books nu poate fi citit"));
            return;
        }
        Cache().Write(LookupCache::Kind::Answer, isbn13.toStdString(), BytesOf(result.body));
    });
}

bool CGoogleBooksSource::Tell(const QString& isbn13, const QByteArray& json) {
    const GoogleBooksAnswer answer = ReadGoogleBooksAnswer(json, isbn13.toStdString());
    switch (answer.kind) {
    case GoogleBooksAnswer::Kind::Found:
        emit Found(isbn13, answer.record);
        return true;
    case GoogleBooksAnswer::Kind::NotFound:
        emit NotFound(isbn13);
        return true;
    case GoogleBooksAnswer::Kind::Malformed:
        break;
    }
    return false;
}
