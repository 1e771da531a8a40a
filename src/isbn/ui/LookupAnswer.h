#pragma once

#include "lookup/LookupRecord.h"
#include "store/BookRecord.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>
#include <string>

// What a look-up service said of one ISBN, read from its JSON answer (the Books API shape: an
// object keyed "ISBN:<isbn>", an empty object when the book is unknown; an answer about any other
// ISBN is no answer). Its texts are made fit for the catalogue as typed texts must be. Reading
// needs Qt Core alone, so it is tested without a window.
struct LookupAnswer {
    enum class Kind { Found, NotFound, Malformed };
    Kind kind = Kind::Malformed;
    // Found: title (with its subtitle after ": "), authors joined by ", ", the first publisher;
    // pages and the edition's year (the volume's, not the first publication's) when the answer
    // gives them, else unknown.
    BookRecord book;
    QString coverUrl; // the medium cover, or empty
    // The labels of the fields whose text was too long and was cut ("Titlu", "Autor", ...).
    QStringList shortened;
    // From a library's record: the series and the number in it.
    std::string serie;
    std::int32_t numar_serie = kUnknownNumber;
    // The sources that gave something, the one that gave the title first, and that said as the
    // book dialog says it ("Gasit la: ...").
    QStringList sources;
    QString foundAt;
};

// `alsoAsked`: the keys ("ISBN:...") of the other books asked in the same request, which an
// answer that does not know this one may hold.
// The answer in the catalogue's fields as a source's record: series, cover and the labels of the
// texts cut short too.
LookupRecord RecordOf(const LookupAnswer& answer);

LookupAnswer ReadLookupAnswer(const QByteArray& json, const std::string& isbn13,
                              const QSet<QString>& alsoAsked = {});

// The year a work was first published, from a search answer
// (`{"numFound": 1, "docs": [{"first_publish_year": 1930}]}`): 0 when the search found none or
// gives no year the catalogue can hold, nothing when the answer cannot be read.
std::optional<int> ReadFirstPublishYear(const QByteArray& json);

// The year of a free-text date ("1997", "June 2005", "May 16, 2005"): its first four-digit
// number, or 0 when it has none.
int YearOfPublishDate(const QString& date);
