#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CEngineDatabase;

// The rows of one SELECT, read whole when opened so that the count is exact before any move.
// Fields are read by column name or alias, letter case ignored.
class CEngineRecordset {
public:
    explicit CEngineRecordset(CEngineDatabase& db) : m_db(db) {}

    void Open(const std::string& sql);

    long GetRecordCount() const { return m_rowCount; }
    void MoveFirst() { m_pos = 0; }
    void MoveLast() { m_pos = m_rowCount - 1; }
    void MoveNext() { ++m_pos; }
    void MovePrev() { --m_pos; }
    bool IsEOF() const { return m_pos >= m_rowCount; }
    bool IsBOF() const { return m_pos < 0; }

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

private:
    enum class Kind : std::uint8_t { Null, Integer, Real, Text };
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

    const Cell& At(int field) const;

    CEngineDatabase& m_db;
    std::vector<std::string> m_names;
    std::vector<Cell> m_cells;
    std::string m_textPool;
    long m_rowCount = 0;
    long m_pos = 0;
};
