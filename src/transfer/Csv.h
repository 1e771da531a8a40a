#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The most a record may hold: a book has a few dozen fields and none of them is long, so a header
// of more columns or a cell of more bytes is a file made to exhaust whoever reads it.
inline constexpr std::size_t kMostCsvColumns = 1000;
inline constexpr std::size_t kMostCsvCellBytes = 64 * 1024;

// Reads RFC 4180 CSV with a comma, a semicolon or a tab between fields: quoted fields may hold
// the delimiter, doubled quotes and line breaks; CRLF and LF line ends; a UTF-8 byte-order mark
// at the start is skipped; a quote inside an unquoted field, or text after a closing quote, is
// part of the field, as spreadsheets read it. Reading stops, naming the line, at a broken quote, a
// carriage return outside quotes (a line end to one reader, text to another), and at a field that
// is not valid UTF-8 or holds a NUL byte, and at a record or a cell beyond the limits above,
// before reading the rest of it.
class CsvReader {
public:
    explicit CsvReader(std::string_view text, char delimiter = ',');

    struct Record {
        std::vector<std::string> fields;
        std::size_t line = 0; // line on which the record starts, from 1
    };

    // The next record, or nothing at the end or at a fault, with Error() set.
    std::optional<Record> Next();
    const std::string& Error() const { return m_error; }
    std::size_t ErrorLine() const { return m_errorLine; }
    // Bytes of the text read so far.
    std::size_t Position() const { return m_pos; }

private:
    bool Fail(const std::string& error, std::size_t line);
    // Moves a completed field into the record; false when its text cannot be read faithfully.
    bool Accept(Record& record, std::string& field, std::size_t line);

    std::string_view m_text;
    char m_delimiter;
    std::size_t m_pos = 0;
    std::size_t m_line = 1;
    std::string m_error;
    std::size_t m_errorLine = 0;
    bool m_header = true; // the first record is being read
};

// The delimiter of a file: whichever of comma, semicolon and tab its first line holds most often
// outside quotes; a comma when it holds none.
char GuessCsvDelimiter(std::string_view text);

// Writes one CSV record: fields quoted when they hold the delimiter, a quote or a line break;
// CRLF after each record.
std::string CsvRecord(const std::vector<std::string>& fields, char delimiter = ',');
