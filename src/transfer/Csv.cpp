#include "transfer/Csv.h"

#include "store/CountedNoun.h"
#include "transfer/TextEncoding.h"

CsvReader::CsvReader(std::string_view text, char delimiter) : m_text(text), m_delimiter(delimiter) {
    if (m_text.substr(0, 3) == "\xEF\xBB\xBF") {
        m_pos = 3;
    }
}

bool CsvReader::Fail(const std::string& error, std::size_t line) {
    m_error = error;
    m_errorLine = line;
    return false;
}

bool CsvReader::Accept(Record& record, std::string& field, std::size_t line) {
    if (record.fields.size() == kMostCsvColumns) {
        return Fail(
            m_header
                ? "antetul are mai mult de " +
                      CountedNoun(static_cast<long long>(kMostCsvColumns), "coloana", "coloane")
                : "randul are mai mult de " +
                      CountedNoun(static_cast<long long>(kMostCsvColumns), "celula", "celule"),
            record.line);
    }
    const std::string column = "coloana " + std::to_string(record.fields.size() + 1);
    if (field.find('\0') != std::string::npos) {
        return Fail(column + " contine un octet NUL", line);
    }
    if (!IsValidUtf8(field)) {
        return Fail(column + " nu este text UTF-8; alegeti codificarea fisierului (Windows-1250, "
                             "Windows-1252) sau salvati-l ca UTF-8",
                    line);
    }
    record.fields.push_back(std::move(field));
    field.clear();
    return true;
}

std::optional<CsvReader::Record> CsvReader::Next() {
    if (!m_error.empty() || m_pos >= m_text.size()) {
        return std::nullopt;
    }
    Record record;
    record.line = m_line;
    std::string field;
    std::size_t fieldLine = m_line;
    bool quoted = false;
    while (true) {
        if (m_pos >= m_text.size()) {
            if (quoted) {
                Fail("ghilimele neinchise", record.line);
                return std::nullopt;
            }
            if (!Accept(record, field, fieldLine)) {
                return std::nullopt;
            }
            m_header = false;
            return record;
        }
        const char c = m_text[m_pos++];
        if (quoted) {
            if (c == '"') {
                if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                    field += '"';
                    ++m_pos;
                } else {
                    // Text after the closing quote goes on as part of the field, quotes and all,
                    // as spreadsheets read it.
                    quoted = false;
                }
            } else {
                if (c == '\n') {
                    ++m_line;
                }
                field += c;
            }
            if (field.size() > kMostCsvCellBytes) {
                break;
            }
            continue;
        }
        if (c == m_delimiter) {
            if (!Accept(record, field, fieldLine)) {
                return std::nullopt;
            }
            fieldLine = m_line;
        } else if (c == '\n' || (c == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n')) {
            m_pos += c == '\r' ? 1 : 0;
            ++m_line;
            if (!Accept(record, field, fieldLine)) {
                return std::nullopt;
            }
            m_header = false;
            return record;
        } else if (c == '\r') {
            // A spreadsheet would read a line end here, another reader a character of the text.
            Fail("un retur de car (CR) in afara ghilimelelor", m_line);
            return std::nullopt;
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else {
            // A quote inside an unquoted field is a character of it, as spreadsheets read it.
            field += c;
            if (field.size() > kMostCsvCellBytes) {
                break;
            }
        }
    }
    // Only a cell too large leaves the loop: the rest of it is not read.
    Fail("coloana " + std::to_string(record.fields.size() + 1) + " are mai mult de " +
             CountedNoun(static_cast<long long>(kMostCsvCellBytes), "octet", "octeti"),
         fieldLine);
    return std::nullopt;
}

char GuessCsvDelimiter(std::string_view text) {
    std::size_t counts[3] = {};
    constexpr char kDelimiters[3] = {',', ';', '\t'};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && (c == '\n' || c == '\r')) {
            break;
        } else if (!quoted) {
            for (int i = 0; i < 3; ++i) {
                counts[i] += c == kDelimiters[i] ? 1 : 0;
            }
        }
    }
    int best = 0;
    for (int i = 1; i < 3; ++i) {
        best = counts[i] > counts[best] ? i : best;
    }
    return kDelimiters[best];
}

std::string CsvRecord(const std::vector<std::string>& fields, char delimiter) {
    const char special[] = {delimiter, '"', '\r', '\n', '\0'};
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += delimiter;
        }
        const std::string& f = fields[i];
        if (f.find_first_of(special) == std::string::npos) {
            out += f;
            continue;
        }
        out += '"';
        for (char c : f) {
            if (c == '"') {
                out += '"';
            }
            out += c;
        }
        out += '"';
    }
    out += "\r\n";
    return out;
}
