#include "lookup/ui/CZ3950Search.h"

#include "lookup/LookupSources.h"

#include <QRegularExpression>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <yaz/zoom.h>

namespace {

const char* const kNoContact = "catalogul nu poate fi contactat";
const char* const kNoAnswerInTime = "catalogul nu a raspuns la timp";
const char* const kUnreadable = "raspunsul catalogului nu poate fi citit";

struct Answer {
    QByteArray marcXml;
    QString failure;
};

struct Zoom {
    ZOOM_options options = ZOOM_options_create();
    ZOOM_connection connection = nullptr;
    ZOOM_resultset found = nullptr;
    Zoom() = default;
    Zoom(const Zoom&) = delete;
    Zoom& operator=(const Zoom&) = delete;
    ~Zoom() {
        ZOOM_resultset_destroy(found);
        ZOOM_connection_destroy(connection);
        ZOOM_options_destroy(options);
    }
};

// Why the connection failed, or empty when it did not.
QString FailureOf(ZOOM_connection connection) {
    const char* message = nullptr;
    const char* detail = nullptr;
    const int code = ZOOM_connection_error(connection, &message, &detail);
    switch (code) {
    case ZOOM_ERROR_NONE:
        return {};
    case ZOOM_ERROR_CONNECT:
        return kNoContact;
    case ZOOM_ERROR_TIMEOUT:
        return kNoAnswerInTime;
    case ZOOM_ERROR_CONNECTION_LOST:
        return QStringLiteral("legatura cu catalogul s-a intrerupt");
    case ZOOM_ERROR_INIT:
        return QStringLiteral("catalogul a refuzat conexiunea");
    case ZOOM_ERROR_DECODE:
        return kUnreadable;
    default:
        // The catalogue's own diagnostic (Bib-1) or one of ZOOM's; its text is the catalogue's
        // and is not shown, the number is enough to look up.
        return code < ZOOM_ERROR_CONNECT
                   ? QStringLiteral("catalogul a refuzat cautarea (eroarea %1)").arg(code)
                   : QStringLiteral("cautarea in catalog a esuat (eroarea %1)").arg(code);
    }
}

// One record as a MARCXML <record> in UTF-8, or empty when it is not to be taken.
QByteArray RecordXml(ZOOM_record record, MarcFlavour flavour) {
    if (!record || ZOOM_record_error(record, nullptr, nullptr, nullptr) != 0)
        return {};
    const char* syntax = ZOOM_record_get(record, "syntax", nullptr);
    const QLatin1StringView wanted(flavour == MarcFlavour::Marc21 ? "usmarc" : "unimarc");
    if (!syntax || QLatin1StringView(syntax).compare(wanted, Qt::CaseInsensitive) != 0)
        return {};
    int length = 0;
    const char* raw = ZOOM_record_get(record, "raw", &length);
    if (!raw || length < 24 || length > CZ3950Search::kLargestRecord)
        return {};
    // MARC 21 in MARC-8 is converted; YAZ itself reads one whose leader/09 is "a" as UTF-8.
    // UNIMARC says its character set in 100 $a; the catalogues asked write UTF-8.
    const char* xml = ZOOM_record_get(
        record, flavour == MarcFlavour::Marc21 ? "xml; charset=marc8,utf-8" : "xml; charset=utf-8",
        &length);
    if (!xml || length <= 0)
        return {};
    return QByteArray(xml, length);
}

// Runs on a worker thread. ZOOM's own limit is per wait, and a target sending a byte now and
// then would never reach it: ZOOM runs one event at a time and the whole gets `timeoutMs`.
Answer AskTarget(const std::string& target, MarcFlavour flavour, const std::string& isbn,
                 int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    Zoom zoom;
    const std::string seconds = std::to_string(std::max(1, (timeoutMs + 999) / 1000));
    const std::string largest = std::to_string(CZ3950Search::kLargestRecord);
    ZOOM_options_set(zoom.options, "async", "1");
    ZOOM_options_set(zoom.options, "timeout", seconds.c_str());
    ZOOM_options_set(zoom.options, "preferredRecordSyntax",
                     flavour == MarcFlavour::Marc21 ? "usmarc" : "unimarc");
    ZOOM_options_set(zoom.options, "elementSetName", "F");
    ZOOM_options_set(zoom.options, "count", std::to_string(CZ3950Search::kMostRecords).c_str());
    ZOOM_options_set(zoom.options, "maximumRecordSize", largest.c_str());
    ZOOM_options_set(zoom.options, "preferredMessageSize", largest.c_str());

    zoom.connection = ZOOM_connection_create(zoom.options);
    // "tcp:" keeps ZOOM from reading the address as an SRU one over http.
    ZOOM_connection_connect(zoom.connection, ("tcp:" + target).c_str(), 0);
    zoom.found = ZOOM_connection_search_pqf(zoom.connection, ("@attr 1=7 " + isbn).c_str());
    while (ZOOM_event(1, &zoom.connection) != 0) {
        if (std::chrono::steady_clock::now() > deadline)
            return {{}, kNoAnswerInTime};
    }
    if (QString failure = FailureOf(zoom.connection); !failure.isEmpty())
        return {{}, failure};

    const size_t hits =
        std::min<size_t>(ZOOM_resultset_size(zoom.found), CZ3950Search::kMostRecords);
    QByteArray records;
    for (size_t i = 0; i < hits; ++i) {
        records += RecordXml(ZOOM_resultset_record_immediate(zoom.found, i), flavour);
    }
    if (hits == 0)
        return {};
    if (records.isEmpty())
        return {{}, kUnreadable};
    return {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<collection xmlns=\"http://www.loc.gov/MARC21/slim\">\n" +
                records + "</collection>\n",
            {}};
}

// Why the request cannot be asked, or empty. The address becomes ZOOM's, so it is held to
// `host:port/database`; the ISBN becomes the query's term.
QString RefusalOf(const QString& target, const QString& isbn) {
    static const QRegularExpression digits(QStringLiteral("^([0-9]{9}[0-9Xx]|[0-9]{13})$"));
    if (!IsZ3950Target(target.toStdString()))
        return QStringLiteral("adresa catalogului nu este de forma gazda:port/baza");
    if (!digits.match(isbn).hasMatch())
        return QStringLiteral("ISBN gresit");
    return {};
}

} // namespace

CZ3950Search::CZ3950Search(QObject* parent) : QObject(parent) {}

void CZ3950Search::Search(const QString& target, MarcFlavour flavour, const QString& isbn,
                          int timeoutMs) {
    // Done is told once, by whichever comes first: the worker's answer or the time limit.
    auto told = std::make_shared<bool>(false);
    auto tell = [this, isbn, told](const QByteArray& xml, const QString& failure) {
        if (*told)
            return;
        *told = true;
        emit Done(isbn, xml, failure);
    };
    if (const QString refusal = RefusalOf(target, isbn); !refusal.isEmpty()) {
        QTimer::singleShot(0, this, [tell, refusal] { tell({}, refusal); });
        return;
    }

    auto answer = std::make_shared<Answer>();
    QThread* worker = QThread::create(
        [answer, target = target.toStdString(), flavour, isbn = isbn.toUpper().toStdString(),
         timeoutMs] { *answer = AskTarget(target, flavour, isbn, timeoutMs); });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    connect(worker, &QThread::finished, this,
            [answer, tell] { tell(answer->marcXml, answer->failure); });
    QTimer::singleShot(std::max(0, timeoutMs), this, [tell] { tell({}, kNoAnswerInTime); });
    worker->start();
}
