#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CEngineDatabase;
struct sqlite3_stmt;

// How a record set reads its rows.
enum class RecordReading {
    // Read whole when opened, so that the count is exact before any move.
    Whole,
    // Read one at a time as the set moves forward, straight from the engine and kept nowhere:
    // for a caller that copies each row once (the list). The count is not known (-1) and only
    // MoveNext moves.
    Forward,
};

// The rows of one SELECT. Fields are read by column name or alias, letter case ignored. An
// engine failure, when opening or when a forward set moves, throws CEngineException.
class CEngineRecordset {
public:
    explicit CEngineRecordset(CEngineDatabase& db);
    ~CEngineRecordset();
    CEngineRecordset(const CEngineRecordset&) = delete;
    CEngineRecordset& operator=(const CEngineRecordset&) = delete;

    void Open(const std::string& sql, RecordReading reading = RecordReading::Whole);

    long GetRecordCount() const { return m_forward ? -1 : m_rowCount; }
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrev();
    bool IsEOF() const { return m_forward ? m_stmt == nullptr : m_pos >= m_rowCount; }
    bool IsBOF() const { return !m_forward && m_pos < 0; }

    // The set's column names or aliases, by position.
    const std::vector<std::string>& ColumnNames() const { return m_names; }
    // Column position by name or alias; throws when the set has no such column.
    int FieldIndex(std::string_view name) const;

    bool IsNull(int field) const;
    // Whole number in the current row; a real is truncated toward zero, NULL and text give 0.
    std::int64_t GetInteger(int field) const;
    double GetDouble(int field) const;
    // The value as text; a number gives its decimal form, NULL the empty text.
    std::string GetText(int field) const;
    std::string_view GetTextView(int field) const;
    bool HoldsInteger(int field) const;

    std::int32_t GetLong(std::string_view name) const {
        return static_cast<std::int32_t>(GetInteger(FieldIndex(name)));
    }
    double GetDouble(std::string_view name) const { return GetDouble(FieldIndex(name)); }
    std::string GetText(std::string_view name) const { return GetText(FieldIndex(name)); }

    // One field of the current row as the engine gave it, for a caller that reads every field of
    // many rows (the list): one call instead of one per question. A blob's bytes are its text.
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };
    struct Value {
        Kind kind;
        std::int64_t i;
        double d;
        std::string_view text;
    };
    Value Field(int field) const;
    // A value as GetInteger reads it.
    static std::int64_t IntegerOf(const Value& value);

private:
    struct Cell {
        union {
            std::int64_t i;
            double d;
            struct {
                std::uint32_t offset;
                std::uint32_t length;
            } text;
        };
        Kind kind;
    };
    void Step();
    void DecodeCurrent();
    void ReadWhole();
    void FinishForward();

    CEngineDatabase& m_db;
    sqlite3_stmt* m_stmt = nullptr;
    bool m_forward = false;
    // A forward set's current row, each field read from the engine once.
    std::vector<Value> m_current;
    std::vector<std::string> m_names;
    std::vector<Cell> m_cells;
    std::string m_textPool;
    long m_rowCount = 0;
    long m_pos = 0;
};
