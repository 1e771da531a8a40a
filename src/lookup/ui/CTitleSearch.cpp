#include "lookup/ui/CTitleSearch.h"

#include "isbn/LookupCache.h"
#include "lookup/LookupSources.h"
#include "shell/AppSettings.h"
#include "store/BookFieldChecks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrlQuery>

namespace {
// The texts of a search are only data: cut to what the catalogue holds, controls blanked.
std::string Fitted(const QString& text) {
    bool cut = false;
    return FitOutsideText(text.toStdString(), cut);
}
} // namespace

CTitleSearch::CTitleSearch(QObject* parent) : QObject(parent) {}

void CTitleSearch::UseSettings() {
    const AppSettings& settings = Settings();
    m_address = settings.isbnService;
    if (m_address.isEmpty()) {
        m_address = QStringLiteral("https://openlibrary.org");
        for (const LookupSource& source : ParseSources(settings.isbnSources.toStdString())) {
            if (source.kind == SourceKind::OpenLibrary) {
                m_address = QString::fromStdString(source.address);
                break;
            }
        }
    }
    m_fetcher.SetContact(settings.isbnContact);
}

void CTitleSearch::Search(const QString& title, const QString& author, Done done) {
    CPoliteFetcher::Request request;
    request.url = QUrl(m_address + QStringLiteral("/search.json"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("title"), title);
    query.addQueryItem(QStringLiteral("author"), author);
    query.addQueryItem(QStringLiteral("fields"),
                       QStringLiteral("title,author_name,publisher,first_publish_year"));
    query.addQueryItem(QStringLiteral("limit"), QStringLiteral("5"));
    request.url.setQuery(query);
    request.limit = static_cast<qint64>(LookupCache::kAnswerLimit);
    // What the settings name is asked only over the web, never a local file.
    if (!CPoliteFetcher::WebAddress(request.url)) {
        done({}, true);
        return;
    }
    request.key = m_address + QChar(1) + title + QChar(1) + author;
    if (const auto known = m_known.constFind(request.key); known != m_known.constEnd()) {
        done(*known, false);
        return;
    }
    m_fetcher.Get(request, [this, key = request.key, done](const FetchResult& result) {
        if (!result.Ok()) {
            done({}, true);
            return;
        }
        done(m_known[key] = ReadTitleSearch(result.body), false);
    });
}

std::vector<LookupRecord> ReadTitleSearch(const QByteArray& json) {
    std::vector<LookupRecord> hits;
    const QJsonValue docs = QJsonDocument::fromJson(json).object().value(QStringLiteral("docs"));
    for (const QJsonValue& doc : docs.toArray()) {
        const QJsonObject work = doc.toObject();
        LookupRecord hit;
        hit.titlu = Fitted(work.value(QStringLiteral("title")).toString());
        QStringList authors;
        for (const QJsonValue& name : work.value(QStringLiteral("author_name")).toArray()) {
            authors << name.toString();
        }
        hit.autor = Fitted(authors.join(QStringLiteral(", ")));
        hit.editura = Fitted(work.value(QStringLiteral("publisher")).toArray().at(0).toString());
        const int year = work.value(QStringLiteral("first_publish_year")).toInt(0);
        if (year > 0 && FitsNumberColumn(year)) {
            hit.publicare = year;
        }
        hits.push_back(std::move(hit));
    }
    return hits;
}
