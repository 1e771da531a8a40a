#include "lookup/ui/SruAnswer.h"

#include "lookup/ui/MarcXml.h"
#include "store/BookFieldChecks.h"

#include <QStringList>
#include <QXmlStreamReader>

namespace {

// What the walk through the answer has seen.
struct Seen {
    bool counted = false;
    int diagnostics = 0;
    QString message, uri; // of the first diagnostic
};

void ReadCount(QXmlStreamReader& reader, SruAnswer& answer, Seen& seen) {
    bool number = false;
    answer.numberOfRecords =
        reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toInt(&number);
    seen.counted = number && answer.numberOfRecords >= 0;
}

// Reads the element the reader stands at the start of when the answer gives something there,
// to its end; false when the walk goes on inside it. `path`: the elements open below the root.
bool ReadPart(QXmlStreamReader& reader, const QStringList& path, SruAnswer& answer, Seen& seen) {
    const QStringView name = reader.name();
    if (path.isEmpty() && name == u"numberOfRecords") {
        ReadCount(reader, answer, seen);
        return true;
    }
    if (path == QStringList{"records", "record"} && name == u"recordData") {
        for (MarcRecord& record : ReadMarcXmlRecords(reader)) {
            answer.records.push_back(std::move(record));
        }
        return true;
    }
    if (path == QStringList{"diagnostics"} && name == u"diagnostic") {
        ++seen.diagnostics;
        return false;
    }
    const bool first = seen.diagnostics == 1 && path == QStringList{"diagnostics", "diagnostic"};
    if (first && (name == u"message" || name == u"uri")) {
        const QString text = reader.readElementText(QXmlStreamReader::SkipChildElements);
        (name == u"message" ? seen.message : seen.uri) = text;
        return true;
    }
    return false;
}

} // namespace

SruAnswer ReadSruAnswer(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    // A DOCTYPE, as in MarcXml.h, makes the answer unreadable.
    while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
        if (reader.tokenType() == QXmlStreamReader::DTD) {
            return {};
        }
    }
    if (!reader.isStartElement() || reader.name() != u"searchRetrieveResponse") {
        return {};
    }
    SruAnswer answer;
    Seen seen;
    QStringList path;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            if (!ReadPart(reader, path, answer, seen)) {
                path << reader.name().toString();
            }
        } else if (token == QXmlStreamReader::EndElement && !path.isEmpty()) {
            path.removeLast();
        }
    }
    if (reader.hasError() || (!seen.counted && seen.diagnostics == 0)) {
        return {};
    }
    answer.readable = true;
    if (seen.diagnostics > 0) {
        answer.records.clear();
        bool cut = false;
        answer.diagnostic = FitOutsideText(
            (seen.message.trimmed().isEmpty() ? seen.uri : seen.message).toStdString(), cut);
    }
    return answer;
}
