#include "lookup/ui/COpenLibrarySource.h"
#include "shell/DialogParts.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {
QString Key(const QString& isbn) {
    return QStringLiteral("ISBN:") + isbn;
}
} // namespace

COpenLibrarySource::COpenLibrarySource(LookupSource source, LookupEnvironment environment,
                                       QObject* parent)
    : CWebSource(std::move(source), std::move(environment), CacheAt::Top, parent) {}

QUrl COpenLibrarySource::BooksUrl(const QStringList& isbns) const {
    QStringList keys;
    for (const QString& isbn : isbns) {
        keys << Key(isbn);
    }
    QUrl url(QString::fromStdString(Source().address) + QStringLiteral("/api/books"));
    url.setQuery(QStringLiteral("bibkeys=%1&format=json&jscmd=data").arg(keys.join(',')));
    return url;
}

void COpenLibrarySource::Ask(const QString& isbn13) {
    const std::string isbn = isbn13.toStdString();
    const bool kept =
        FromCache(LookupCache::Kind::Answer, isbn13, [&](const QByteArray& bytes, bool old) {
            const LookupAnswer answer = ReadLookupAnswer(bytes, isbn);
            if (answer.kind == LookupAnswer::Kind::Found) {
                AskFirstYear(isbn13, answer);
                return true;
            }
            if (answer.kind == LookupAnswer::Kind::NotFound && !old) {
                emit NotFound(isbn13);
                return true;
            }
            return false;
        });
    if (kept) {
        return;
    }
    m_asked.insert(Key(isbn13));
    CPoliteFetcher::Request request;
    request.url = BooksUrl({isbn13});
    request.limit = static_cast<qint64>(LookupCache::kAnswerLimit);
    request.batch = QStringLiteral("books");
    request.key = isbn13;
    request.join = [this](const QStringList& isbns) { return BooksUrl(isbns); };
    request.most = kBatch;
    Fetcher().Get(request, [this, isbn13](const FetchResult& result) { Answered(isbn13, result); });
}

void COpenLibrarySource::Answered(const QString& isbn13, const FetchResult& result) {
    if (!result.Ok()) {
        Fail(isbn13, result);
        return;
    }
    // An answer may hold the other ISBNs of its batch, never one nobody asked.
    const std::string isbn = isbn13.toStdString();
    const LookupAnswer answer = ReadLookupAnswer(result.body, isbn, m_asked);
    if (answer.kind == LookupAnswer::Kind::Malformed) {
        emit Failed(isbn13, QStringLiteral("raspunsul serviciului de cautare nu poate fi citit"));
        return;
    }
    // Kept as an answer about this ISBN alone, whatever else its batch asked.
    const QJsonValue entry = QJsonDocument::fromJson(result.body).object().value(Key(isbn13));
    const QJsonObject own = entry.isUndefined() ? QJsonObject() : QJsonObject{{Key(isbn13), entry}};
    const QByteArray kept = QJsonDocument(own).toJson(QJsonDocument::Compact);
    Cache().Write(LookupCache::Kind::Answer, isbn, BytesOf(kept));
    if (answer.kind == LookupAnswer::Kind::NotFound) {
        emit NotFound(isbn13);
    } else {
        AskFirstYear(isbn13, answer);
    }
}

void COpenLibrarySource::AskFirstYear(const QString& isbn13, const LookupAnswer& answer) {
    const bool kept =
        FromCache(LookupCache::Kind::FirstYear, isbn13, [&](const QByteArray& bytes, bool old) {
            const auto year = ReadFirstPublishYear(bytes);
            if (year && (*year > 0 || !old)) {
                Tell(isbn13, answer, *year);
                return true;
            }
            return false;
        });
    if (kept) {
        return;
    }
    if (!Environment().firstYears) {
        Tell(isbn13, answer, 0);
        return;
    }
    CPoliteFetcher::Request request;
    request.url = QUrl(QString::fromStdString(Source().address) + QStringLiteral("/search.json"));
    request.url.setQuery(QStringLiteral("isbn=%1&fields=first_publish_year").arg(isbn13));
    request.limit = static_cast<qint64>(LookupCache::kAnswerLimit);
    request.key = isbn13;
    Fetcher().Get(request, [this, isbn13, answer](const FetchResult& result) {
        // Without its first year a book is still found: the year stays unknown.
        const auto year = result.Ok() ? ReadFirstPublishYear(result.body) : std::nullopt;
        if (year) {
            Cache().Write(LookupCache::Kind::FirstYear, isbn13.toStdString(), BytesOf(result.body));
        }
        Tell(isbn13, answer, year.value_or(0));
    });
}

void COpenLibrarySource::Tell(const QString& isbn13, const LookupAnswer& answer, int firstYear) {
    LookupRecord record = RecordOf(answer);
    record.publicare = firstYear > 0 ? firstYear : kUnknownNumber;
    emit Found(isbn13, record);
}
