#include "lookup/ui/GoogleBooksAnswer.h"

#include "isbn/IsbnCode.h"
#include "lookup/MarcText.h"
#include "store/BookFieldChecks.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace {

bool NamesIsbn(const QJsonObject& info, const QString& isbn13, const QString& isbn10) {
    for (const QJsonValue& entry : info.value(QStringLiteral("industryIdentifiers")).toArray()) {
        const QString type = entry.toObject().value(QStringLiteral("type")).toString();
        const QString identifier = entry.toObject().value(QStringLiteral("identifier")).toString();
        if ((type == u"ISBN_13" && identifier == isbn13) ||
            (type == u"ISBN_10" && !isbn10.isEmpty() && identifier == isbn10)) {
            return true;
        }
    }
    return false;
}

QString Text(const QJsonObject& info, const char* key) {
    return info.value(QLatin1String(key)).toString().trimmed();
}

void Fit(const QString& text, std::string& field, const char* label, LookupRecord& record) {
    bool cut = false;
    field = FitOutsideText(text.toStdString(), cut);
    if (cut) {
        record.shortened.emplace_back(label);
    }
}

LookupRecord RecordOf(const QJsonObject& info) {
    LookupRecord record;
    QString title = Text(info, "title");
    if (const QString subtitle = Text(info, "subtitle"); !subtitle.isEmpty()) {
        title += title.isEmpty() ? subtitle : ": " + subtitle;
    }
    QStringList authors;
    for (const QJsonValue& author : info.value(QStringLiteral("authors")).toArray()) {
        if (const QString name = author.toString().trimmed(); !name.isEmpty()) {
            authors << name;
        }
    }
    Fit(title, record.titlu, "Titlu", record);
    Fit(authors.join(QStringLiteral(", ")), record.autor, "Autor", record);
    Fit(Text(info, "publisher"), record.editura, "Editura", record);
    // The volume's own date: the work's first publication is not told.
    record.publicare_volum = YearIn(Text(info, "publishedDate").toStdString());
    const int pages = info.value(QStringLiteral("pageCount")).toInt(0);
    if (pages > 0 && FitsNumberColumn(pages)) {
        record.pagini = pages;
    }
    const QString cover = info.value(QStringLiteral("imageLinks"))
                              .toObject()
                              .value(QStringLiteral("thumbnail"))
                              .toString();
    if (cover.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
        cover.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive)) {
        record.coverUrl = cover.toStdString();
    }
    return record;
}

} // namespace

GoogleBooksAnswer ReadGoogleBooksAnswer(const QByteArray& json, const std::string& isbn13) {
    GoogleBooksAnswer answer;
    QJsonParseError error;
    const QJsonObject document = QJsonDocument::fromJson(json, &error).object();
    if (error.error != QJsonParseError::NoError || document.isEmpty()) {
        return answer;
    }
    const QJsonValue items = document.value(QStringLiteral("items"));
    if (items.isUndefined()) {
        const QJsonValue total = document.value(QStringLiteral("totalItems"));
        if (total.isDouble() && total.toDouble() == 0) {
            answer.kind = GoogleBooksAnswer::Kind::NotFound;
        }
        return answer;
    }
    if (!items.isArray()) {
        return answer;
    }
    const QString asked13 = QString::fromStdString(isbn13);
    const QString asked10 = QString::fromStdString(Isbn10Of(isbn13));
    answer.kind = GoogleBooksAnswer::Kind::NotFound;
    for (const QJsonValue& item : items.toArray()) {
        const QJsonObject info = item.toObject().value(QStringLiteral("volumeInfo")).toObject();
        if (NamesIsbn(info, asked13, asked10)) {
            answer.kind = GoogleBooksAnswer::Kind::Found;
            answer.record = RecordOf(info);
            break;
        }
    }
    return answer;
}
