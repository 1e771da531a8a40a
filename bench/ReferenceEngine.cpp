#include "ReferenceEngine.h"

#include "store/RomanianCollation.h"
#include "store/TextOrder.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <stdexcept>
#include <unistd.h>

ReferenceEngine::ReferenceEngine(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        throw std::runtime_error("reference: cannot open " + path);
    }
    RegisterRomanianCollation(m_db);
    sqlite3_exec(m_db, "PRAGMA synchronous = FULL", nullptr, nullptr, nullptr);
}

ReferenceEngine::~ReferenceEngine() {
    sqlite3_close(m_db);
}

long ReferenceEngine::Query(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(m_db, WithTextOrder(sql, TextSort::Comparisons).c_str(), -1, &st,
                           nullptr) != SQLITE_OK) {
        throw std::runtime_error(std::string("reference: ") + sqlite3_errmsg(m_db));
    }
    long rows = 0;
    volatile std::size_t sink = 0;
    const int columns = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_TEXT) {
                sink = sink + static_cast<std::size_t>(sqlite3_column_bytes(st, c)) +
                       static_cast<std::size_t>(*sqlite3_column_text(st, c));
            } else {
                sink = sink + static_cast<std::size_t>(sqlite3_column_int64(st, c));
            }
        }
        ++rows;
    }
    sqlite3_finalize(st);
    return rows;
}

void ReferenceEngine::Execute(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(m_db, WithTextOrder(sql, TextSort::Comparisons).c_str(), nullptr, nullptr,
                     &error) != SQLITE_OK) {
        const std::string what = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error("reference: " + what);
    }
}

void ReferenceCopy(const std::string& source, const std::string& target) {
    ReferenceEngine from(source);
    sqlite3* to = nullptr;
    sqlite3_open(target.c_str(), &to);
    sqlite3_exec(to, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr, nullptr,
                 nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(to, "main", from.Handle(), "main");
    const int rc = sqlite3_backup_step(backup, -1);
    sqlite3_backup_finish(backup);
    sqlite3_close(to);
    if (rc != SQLITE_DONE) {
        throw std::runtime_error("reference: the copy failed");
    }
    // On disk, as the program's copy is before it takes its name.
    const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    ::fsync(fd);
    ::close(fd);
}
