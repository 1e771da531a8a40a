#pragma once

#include <string>

struct sqlite3;

// The same statements straight through the SQLite C library: what the program's own path is
// measured against. Its connection knows the program's text order and every statement sorts
// texts by it, calling the collation on every comparison: the program's sort keys are its own
// work and the reference does not get them.
class ReferenceEngine {
public:
    explicit ReferenceEngine(const std::string& path);
    ~ReferenceEngine();
    ReferenceEngine(const ReferenceEngine&) = delete;
    ReferenceEngine& operator=(const ReferenceEngine&) = delete;

    // Runs a SELECT and reads every column of every row; returns the number of rows.
    long Query(const std::string& sql);
    void Execute(const std::string& sql);
    sqlite3* Handle() const { return m_db; }

private:
    sqlite3* m_db = nullptr;
};

// Copies the reference catalogue into a new file with SQLite's online backup, flushed to disk.
void ReferenceCopy(const std::string& source, const std::string& target);
