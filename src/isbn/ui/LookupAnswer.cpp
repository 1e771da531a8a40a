#include "isbn/ui/LookupAnswer.h"

#include "store/BookFieldChecks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace {

// The "name" of each object of an array, in order, the empty ones left out.
QStringList Names(const QJsonValue& array) {
    QStringList names;
    for (const QJsonValue& entry : array.toArray()) {
        const QString name = entry.toObject().value(QStringLiteral("name")).toString().trimmed();
        if (!name.isEmpty()) {
            names << name;
        }
    }
    return names;
}

} // namespace

int YearOfPublishDate(const QString& date) {
    static const QRegularExpression year(QStringLiteral("(?<![0-9])[0-9]{4}(?![0-9])"));
    const QRegularExpressionMatch match = year.match(date);
    return match.hasMatch() ? match.captured().toInt() : 0;
}

LookupAnswer ReadLookupAnswer(const QByteArray& json, const std::string& isbn13,
                              const QSet<QString>& alsoAsked) {
    LookupAnswer answer;
    answer.book = BookOfUnknownNumbers(); // the service knows no chapters or volumes
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        return answer;
    }
    const QJsonValue entry = document.object().value(QString::fromStdString("ISBN:" + isbn13));
    if (entry.isUndefined()) {
        const QStringList keys = document.object().keys();
        if (std::all_of(keys.begin(), keys.end(),
                        [&alsoAsked](const QString& key) { return alsoAsked.contains(key); })) {
            answer.kind = LookupAnswer::Kind::NotFound;
        }
        return answer;
    }
    if (!entry.isObject()) {
        return answer;
    }
    const QJsonObject book = entry.toObject();
    answer.kind = LookupAnswer::Kind::Found;
    QString title = book.value(QStringLiteral("title")).toString().trimmed();
    const QString subtitle = book.value(QStringLiteral("subtitle")).toString().trimmed();
    if (!subtitle.isEmpty()) {
        title += QStringLiteral(": ") + subtitle;
    }
    const QStringList publishers = Names(book.value(QStringLiteral("publishers")));
    const auto fit = [&answer](const QString& text, std::string& field, const char* label) {
        bool cut = false;
        field = FitOutsideText(text.toStdString(), cut);
        if (cut) {
            answer.shortened << QString::fromUtf8(label);
        }
    };
    fit(title, answer.book.titlu, "Titlu");
    fit(Names(book.value(QStringLiteral("authors"))).join(", "), answer.book.autor, "Autor");
    fit(publishers.value(0), answer.book.editura, "Editura");
    const int pages = book.value(QStringLiteral("number_of_pages")).toInt(0);
    if (pages > 0 && FitsNumberColumn(pages)) {
        answer.book.pagini = pages;
    }
    const int year = YearOfPublishDate(book.value(QStringLiteral("publish_date")).toString());
    if (year > 0) {
        // The edition's date is this volume's year; the year of first publication, which the
        // edition does not tell, stays unknown.
        answer.book.publicare_volum = year;
    }
    answer.coverUrl =
        book.value(QStringLiteral("cover")).toObject().value(QStringLiteral("medium")).toString();
    return answer;
}

std::optional<int> ReadFirstPublishYear(const QByteArray& json) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    const QJsonValue docs = document.object().value(QStringLiteral("docs"));
    if (error.error != QJsonParseError::NoError || !document.isObject() || !docs.isArray()) {
        return std::nullopt;
    }
    const int year =
        docs.toArray().at(0).toObject().value(QStringLiteral("first_publish_year")).toInt(0);
    return year > 0 && FitsNumberColumn(year) ? year : 0;
}

LookupRecord RecordOf(const LookupAnswer& answer) {
    LookupRecord record;
    record.titlu = answer.book.titlu;
    record.autor = answer.book.autor;
    record.editura = answer.book.editura;
    record.pagini = answer.book.pagini;
    record.publicare = answer.book.publicare;
    record.publicare_volum = answer.book.publicare_volum;
    record.serie = answer.serie;
    record.numar_serie = answer.numar_serie;
    record.coverUrl = answer.coverUrl.toStdString();
    for (const QString& label : answer.shortened) {
        record.shortened.push_back(label.toStdString());
    }
    return record;
}
