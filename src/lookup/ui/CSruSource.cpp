#include "lookup/ui/CSruSource.h"

#include "isbn/IsbnCode.h"
#include "lookup/BookOfMarc.h"
#include "lookup/SruQuery.h"
#include "lookup/ui/SruAnswer.h"
#include "shell/DialogParts.h"

CSruSource::CSruSource(LookupSource source, LookupEnvironment environment, QObject* parent)
    : CWebSource(std::move(source), std::move(environment), CacheAt::OwnFolder, parent) {}

void CSruSource::Ask(const QString& isbn13) {
    const bool kept =
        FromCache(LookupCache::Kind::Answer, isbn13, [&](const QByteArray& bytes, bool old) {
            const SruAnswer answer = ReadSruAnswer(bytes);
            return answer.readable && (!answer.records.empty() || !old) && Tell(isbn13, bytes);
        });
    if (!kept) {
        AskAs(isbn13, isbn13);
    }
}

void CSruSource::AskAs(const QString& isbn13, const QString& asked) {
    CPoliteFetcher::Request request;
    request.url = QUrl(QString::fromStdString(SruQueryUrl(Source(), asked.toStdString())));
    request.limit = static_cast<qint64>(LookupCache::kAnswerLimit);
    request.key = isbn13;
    Fetcher().Get(request, [this, isbn13, asked](const FetchResult& result) {
        if (!result.Ok()) {
            Fail(isbn13, result);
            return;
        }
        const SruAnswer answer = ReadSruAnswer(result.body);
        if (!answer.readable) {
            emit Failed(isbn13, QStringLiteral("raspunsul catalogului nu poate fi citit"));
            return;
        }
        const QString isbn10 = QString::fromStdString(Isbn10Of(isbn13.toStdString()));
        if (answer.records.empty() && asked == isbn13 && !isbn10.isEmpty()) {
            AskAs(isbn13, isbn10);
            return;
        }
        Cache().Write(LookupCache::Kind::Answer, isbn13.toStdString(), BytesOf(result.body));
        Tell(isbn13, result.body);
    });
}

bool CSruSource::Tell(const QString& isbn13, const QByteArray& xml) {
    const SruAnswer answer = ReadSruAnswer(xml);
    if (!answer.readable) {
        return false;
    }
    if (answer.records.empty()) {
        emit NotFound(isbn13);
        return true;
    }
    const LookupRecord record = BookOfMarc(answer.records.front(), MarcFlavourOf(Source().kind));
    if (record.titlu.empty()) {
        emit NotFound(isbn13);
    } else {
        emit Found(isbn13, record);
    }
    return true;
}
