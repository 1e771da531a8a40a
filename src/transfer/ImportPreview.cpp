#include "transfer/ImportPreview.h"

#include "transfer/Csv.h"

#include <algorithm>

ImportPreview PreviewImport(std::string_view bytes, char delimiter, TextEncoding encoding,
                            std::size_t rows) {
    ImportPreview preview;
    preview.validUtf8 = IsValidUtf8(bytes);
    preview.encoding =
        encoding == TextEncoding::Utf8 && !preview.validUtf8 ? TextEncoding::Windows1250 : encoding;
    const std::string text = ToUtf8(bytes, preview.encoding);
    preview.delimiter = delimiter != 0 ? delimiter : GuessCsvDelimiter(text);
    CsvReader reader(text, preview.delimiter);
    if (auto header = reader.Next()) {
        preview.header = std::move(header->fields);
        preview.columns = GuessImportColumns(preview.header);
    }
    while (preview.rows.size() < rows) {
        auto record = reader.Next();
        if (!record) {
            break;
        }
        if (std::any_of(record->fields.begin(), record->fields.end(),
                        [](const std::string& cell) { return !cell.empty(); })) {
            preview.rows.push_back(std::move(record->fields));
        }
    }
    preview.error = reader.Error();
    preview.errorLine = reader.ErrorLine();
    return preview;
}
