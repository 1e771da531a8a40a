#include "lookup/ui/MarcXml.h"

#include <QString>
#include <QXmlStreamReader>

namespace {

std::string Composed(const QString& text) {
    return text.normalized(QString::NormalizationForm_C).toStdString();
}

// The element's text alone; markup inside it (none in a real record) is skipped.
std::string TextOf(QXmlStreamReader& reader) {
    return Composed(reader.readElementText(QXmlStreamReader::SkipChildElements));
}

// An indicator or a subfield code is one ASCII character; anything else is `fallback`.
char CodeOf(QStringView text, char fallback) {
    return text.size() == 1 && text.front().unicode() < 0x80
               ? static_cast<char>(text.front().unicode())
               : fallback;
}

MarcDataField DataFieldOf(QXmlStreamReader& reader) {
    const QXmlStreamAttributes attributes = reader.attributes();
    MarcDataField field{Composed(attributes.value(QLatin1String("tag")).toString()),
                        CodeOf(attributes.value(QLatin1String("ind1")), ' '),
                        CodeOf(attributes.value(QLatin1String("ind2")), ' '),
                        {}};
    while (reader.readNextStartElement()) {
        if (reader.name() != u"subfield") {
            reader.skipCurrentElement();
            continue;
        }
        const char code = CodeOf(reader.attributes().value(QLatin1String("code")), '\0');
        std::string value = TextOf(reader);
        if (code != '\0') {
            field.subfields.push_back({code, std::move(value)});
        }
    }
    return field;
}

// Reads the field the reader stands at the start of into the record, to the field's end; false
// when the element is no field of a record.
bool ReadField(QXmlStreamReader& reader, MarcRecord& record) {
    const QStringView name = reader.name();
    if (name == u"leader") {
        record.leader = TextOf(reader);
    } else if (name == u"controlfield") {
        std::string tag = Composed(reader.attributes().value(QLatin1String("tag")).toString());
        record.controlFields.push_back({std::move(tag), TextOf(reader)});
    } else if (name == u"datafield") {
        record.dataFields.push_back(DataFieldOf(reader));
    } else {
        return false;
    }
    return true;
}

// Entities are declared in the DOCTYPE alone: refusing it leaves none but XML's own.
void RefuseDoctype(QXmlStreamReader& reader) {
    reader.raiseError(QStringLiteral("A document type declaration is not read"));
}

bool HoldsAnything(const MarcRecord& record) {
    return !record.leader.empty() || !record.controlFields.empty() || !record.dataFields.empty();
}

} // namespace

std::vector<MarcRecord> ReadMarcXmlRecords(QXmlStreamReader& reader) {
    // The `record` elements open around the reader, innermost last, with their depths. Walked
    // without recursion, so a document nested a million deep cannot exhaust the stack.
    struct Open {
        MarcRecord record;
        int depth = 0;
    };
    std::vector<Open> open;
    std::vector<MarcRecord> records;
    int depth = 0;
    if (reader.isStartElement()) {
        depth = 1;
        if (reader.name() == u"record") {
            open.push_back({{}, depth});
        }
    }
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD) {
            RefuseDoctype(reader);
        } else if (token == QXmlStreamReader::StartElement) {
            const bool inRecord = !open.empty() && open.back().depth == depth;
            if (inRecord && ReadField(reader, open.back().record)) {
                continue;
            }
            ++depth;
            if (reader.name() == u"record") {
                open.push_back({{}, depth});
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (!open.empty() && open.back().depth == depth) {
                if (HoldsAnything(open.back().record)) {
                    records.push_back(std::move(open.back().record));
                }
                open.pop_back();
            }
            if (--depth == 0) {
                break;
            }
        }
    }
    return records;
}

std::vector<MarcRecord> ReadMarcXml(const QByteArray& xml) {
    QXmlStreamReader reader(xml);
    std::vector<MarcRecord> records = ReadMarcXmlRecords(reader);
    // Whatever follows the document's element must be well-formed too.
    while (!reader.atEnd()) {
        reader.readNext();
    }
    return reader.hasError() ? std::vector<MarcRecord>() : records;
}
