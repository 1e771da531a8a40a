#pragma once

#include <cstdint>
#include <string>

struct sqlite3;

// One connection to a catalogue file. Every failure throws CEngineException.
class CEngineDatabase {
public:
    CEngineDatabase() = default;
    ~CEngineDatabase();
    CEngineDatabase(const CEngineDatabase&) = delete;
    CEngineDatabase& operator=(const CEngineDatabase&) = delete;

    // Makes a new, empty catalogue file and leaves it open; fails when the file exists.
    void Create(const std::string& path);
    // Opens an existing catalogue file for reading and writing, or only for reading; never
    // creates one.
    void Open(const std::string& path, bool readOnly = false);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }

    // Runs one action statement, wholly or not at all.
    void Execute(const std::string& sql);
    std::int64_t LastInsertRowId() const;
    // Whether the file has a table or view of this name (letter case aside): a look in the
    // loaded schema, no statement.
    bool HasTable(const std::string& name) const;

    sqlite3* Handle() const;

private:
    void Configure();
    // Refuses a file whose schema would run statements of its own: a trigger the table definer
    // did not make, or a view in place of one of the catalogue's tables.
    void RefuseForeignSchema();
    void ThrowError(const std::string& context) const;

    sqlite3* m_db = nullptr;
};
