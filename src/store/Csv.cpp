#include "Csv.h"

CsvReader::CsvReader(std::string_view text) : m_text(text) {
    if (m_text.substr(0, 3) == "\xEF\xBB\xBF") {
        m_pos = 3;
    }
}

std::optional<CsvReader::Record> CsvReader::Next() {
    if (!m_error.empty() || m_pos >= m_text.size()) {
        return std::nullopt;
    }
    Record record;
    record.line = m_line;
    std::string field;
    bool quoted = false;
    bool afterQuote = false; // a quoted field has closed; only a separator may follow
    while (true) {
        if (m_pos >= m_text.size()) {
            if (quoted) {
                m_error = "unterminated quoted field";
                m_errorLine = record.line;
                return std::nullopt;
            }
            record.fields.push_back(std::move(field));
            return record;
        }
        const char c = m_text[m_pos++];
        if (quoted) {
            if (c == '"') {
                if (m_pos < m_text.size() && m_text[m_pos] == '"') {
                    field += '"';
                    ++m_pos;
                } else {
                    quoted = false;
                    afterQuote = true;
                }
            } else {
                if (c == '\n') {
                    ++m_line;
                }
                field += c;
            }
            continue;
        }
        if (c == ',') {
            record.fields.push_back(std::move(field));
            field.clear();
            afterQuote = false;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n') {
                ++m_pos;
            }
            ++m_line;
            record.fields.push_back(std::move(field));
            return record;
        } else if (afterQuote) {
            m_error = "text after a closing quote";
            m_errorLine = m_line;
            return std::nullopt;
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == '"') {
            m_error = "quote inside an unquoted field";
            m_errorLine = m_line;
            return std::nullopt;
        } else {
            field += c;
        }
    }
}

std::string CsvRecord(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        const std::string& f = fields[i];
        if (f.find_first_of(",\"\r\n") == std::string::npos) {
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
