#include "lookup/ui/CZ3950Source.h"

#include "isbn/IsbnCode.h"
#include "lookup/BookOfMarc.h"
#include "lookup/ui/MarcXml.h"
#include "shell/DialogParts.h"

namespace {
// Kept for a book the catalogue does not have: a collection of no records.
const QByteArray kNone =
    QByteArrayLiteral("<collection xmlns=\"http://www.loc.gov/MARC21/slim\"/>");
} // namespace

CZ3950Source::CZ3950Source(LookupSource source, LookupEnvironment environment, QObject* parent)
    : CLookupSource(std::move(source), std::move(environment), parent) {
    connect(&m_search, &CZ3950Search::Done, this, &CZ3950Source::Done);
}

LookupCache CZ3950Source::Cache() const {
    return LookupCache((Environment().cacheFolder + '/' + LibraryFolder()).toStdString());
}

void CZ3950Source::Ask(const QString& isbn13) {
    const std::string isbn = isbn13.toStdString();
    if (const auto kept = Cache().Read(LookupCache::Kind::Answer, isbn)) {
        const QByteArray bytes = QByteArray::fromStdString(kept->bytes);
        const bool none = bytes == kNone;
        if ((!none || kept->ageSeconds <= kNotFoundKeptSeconds) && Tell(isbn13, bytes)) {
            return;
        }
        Cache().Forget(LookupCache::Kind::Answer, isbn);
    }
    if (!m_waiting.contains(isbn13) && m_out != isbn13) {
        m_waiting << isbn13;
    }
    Next();
}

void CZ3950Source::Next() {
    if (!m_out.isEmpty() || m_waiting.isEmpty()) {
        return;
    }
    m_out = m_outAsked = m_waiting.takeFirst();
    m_search.Search(QString::fromStdString(Source().address), MarcFlavourOf(Source().kind), m_out,
                    Environment().timeout);
}

void CZ3950Source::Done(const QString& asked, const QByteArray& marcXml, const QString& failure) {
    if (asked != m_outAsked) {
        return; // a search given up on
    }
    const QString isbn13 = m_out;
    if (!failure.isEmpty()) {
        m_out.clear();
        emit Failed(isbn13, failure);
        Next();
        return;
    }
    const QString isbn10 = QString::fromStdString(Isbn10Of(isbn13.toStdString()));
    if (marcXml.isEmpty() && asked == isbn13 && !isbn10.isEmpty()) {
        m_outAsked = isbn10;
        m_search.Search(QString::fromStdString(Source().address), MarcFlavourOf(Source().kind),
                        isbn10, Environment().timeout);
        return;
    }
    m_out.clear();
    const QByteArray kept = marcXml.isEmpty() ? kNone : marcXml;
    if (Tell(isbn13, kept)) {
        Cache().Write(LookupCache::Kind::Answer, isbn13.toStdString(), BytesOf(kept));
    } else {
        emit Failed(isbn13, QStringLiteral("raspunsul catalogului nu poate fi citit"));
    }
    Next();
}

bool CZ3950Source::Tell(const QString& isbn13, const QByteArray& marcXml) {
    if (marcXml == kNone) {
        emit NotFound(isbn13);
        return true;
    }
    const std::vector<MarcRecord> records = ReadMarcXml(marcXml);
    if (records.empty()) {
        return false;
    }
    const LookupRecord record = BookOfMarc(records.front(), MarcFlavourOf(Source().kind));
    if (record.titlu.empty()) {
        emit NotFound(isbn13);
    } else {
        emit Found(isbn13, record);
    }
    return true;
}
