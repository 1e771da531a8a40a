#include "transfer/Csv.h"

namespace {

// Whether `text` is well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (c < 0x80) {
            ++i;
            continue;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + extra >= text.size()) {
            return false;
        }
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF)) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

} // namespace

CsvReader::CsvReader(std::string_view text) : m_text(text) {
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
    const std::string column = "column " + std::to_string(record.fields.size() + 1);
    if (field.find('\0') != std::string::npos) {
        return Fail(column + " holds a NUL byte", line);
    }
    if (!IsValidUtf8(field)) {
        return Fail(column + " is not valid UTF-8 text; save the file as UTF-8 and try again",
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
    bool afterQuote = false; // a quoted field has closed; only a separator may follow
    while (true) {
        if (m_pos >= m_text.size()) {
            if (quoted) {
                Fail("unterminated quoted field", record.line);
                return std::nullopt;
            }
            if (!Accept(record, field, fieldLine)) {
                return std::nullopt;
            }
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
            if (!Accept(record, field, fieldLine)) {
                return std::nullopt;
            }
            fieldLine = m_line;
            afterQuote = false;
        } else if (c == '\n' || (c == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n')) {
            m_pos += c == '\r' ? 1 : 0;
            ++m_line;
            if (!Accept(record, field, fieldLine)) {
                return std::nullopt;
            }
            return record;
        } else if (c == '\r') {
            // A spreadsheet would read a line end here, another reader a character of the text.
            Fail("a carriage return outside quotes", m_line);
            return std::nullopt;
        } else if (afterQuote) {
            Fail("text after a closing quote", m_line);
            return std::nullopt;
        } else if (c == '"' && field.empty()) {
            quoted = true;
        } else if (c == '"') {
            Fail("quote inside an unquoted field", m_line);
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
