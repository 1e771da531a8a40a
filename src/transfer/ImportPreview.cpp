#include "transfer/ImportPreview.h"

#include "transfer/Csv.h"

#include <algorithm>

namespace {

// Whether the record just read, or the fault just met, may be the cut's: it ran to the end of a
// truncated text, and the record did not end with a line end there.
bool CutShort(const CsvReader& reader, std::string_view text, bool truncated) {
    return truncated && reader.Position() >= text.size() &&
           (!reader.Error().empty() || !text.ends_with('\n'));
}

} // namespace

ImportPreview PreviewImport(std::string_view bytes, char delimiter, TextEncoding encoding,
                            std::size_t rows) {
    ImportPreview preview;
    const bool partial = bytes.size() > kPreviewBytes;
    std::string_view sample = bytes.substr(0, kPreviewBytes);
    preview.encoding = EncodingOf(sample, encoding);
    if (partial) {
        sample = WholeCharacters(sample, preview.encoding);
    }
    if (preview.encoding == TextEncoding::Utf8) {
        preview.validUtf8 = IsValidUtf8(sample);
        preview.encoding = preview.validUtf8 ? TextEncoding::Utf8 : TextEncoding::Windows1250;
    }
    const Utf8Text converted = ToUtf8(sample, preview.encoding);
    const std::string& text = converted.text;
    // The text ends before the file does: at the end of the sample, or at a fault.
    const bool truncated = partial || !converted.fault.empty();
    preview.delimiter = delimiter != 0 ? delimiter : GuessCsvDelimiter(text);
    CsvReader reader(text, preview.delimiter);
    auto header = reader.Next();
    if (CutShort(reader, text, truncated)) {
        preview.error = !converted.fault.empty()
                            ? converted.fault
                            : "antetul este mai lung de " + std::to_string(kPreviewBytes) +
                                  " de octeti; fisierul nu poate fi previzualizat";
        preview.errorLine = !converted.fault.empty() ? converted.faultLine : 1;
        return preview;
    }
    if (header) {
        preview.header = std::move(header->fields);
        preview.columns = GuessImportColumns(preview.header);
    }
    while (preview.rows.size() < rows) {
        auto record = reader.Next();
        if (!record || CutShort(reader, text, truncated)) {
            break;
        }
        if (std::any_of(record->fields.begin(), record->fields.end(),
                        [](const std::string& cell) { return !cell.empty(); })) {
            preview.rows.push_back(std::move(record->fields));
        }
    }
    // A fault the reader meets at the very end of a truncated text may be the cut's, not the
    // file's.
    if (!reader.Error().empty() && !CutShort(reader, text, truncated)) {
        preview.error = reader.Error();
        preview.errorLine = reader.ErrorLine();
    } else if (!converted.fault.empty() && reader.Position() >= text.size()) {
        preview.error = converted.fault;
        preview.errorLine = converted.faultLine;
    }
    return preview;
}
