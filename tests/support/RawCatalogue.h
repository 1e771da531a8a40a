#pragma once

#include <sqlite3.h>
#include <string>
#include <vector>

// Reads and writes a catalogue file straight through SQLite, bypassing the program, so tests
// see what is really on disk. It registers nothing: a catalogue needs nothing of the program's.
class RawCatalogue {
public:
    explicit RawCatalogue(const std::string& path) {
        sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~RawCatalogue() { sqlite3_close_v2(m_db); }
    RawCatalogue(const RawCatalogue&) = delete;
    RawCatalogue& operator=(const RawCatalogue&) = delete;

    // Every row, every column as text ("NULL" for a missing value), joined by '|'.
    std::vector<std::string> rows(const std::string& sql) const {
        std::vector<std::string> out;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
            out.push_back(std::string("ERROR ") + sqlite3_errmsg(m_db));
            return out;
        }
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::string row;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                if (c > 0) {
                    row += '|';
                }
                const auto* t = sqlite3_column_text(st, c);
                row += t ? reinterpret_cast<const char*>(t) : "NULL";
            }
            out.push_back(row);
        }
        sqlite3_finalize(st);
        return out;
    }
    std::string one(const std::string& sql) const {
        const auto r = rows(sql);
        return r.empty() ? std::string() : r.front();
    }
    bool exec(const std::string& sql) {
        return sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }

private:
    sqlite3* m_db = nullptr;
};
