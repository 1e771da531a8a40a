#include "ReferenceEngine.h"

#include "store/RomanianCollation.h"
#include "store/TextOrder.h"

#include <sqlite3.h>
#include <stdexcept>

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
    sqlite3_exec(
        to,
        "PRAGMA synchronous = FULL;"
        "CREATE TABLE books(id INTEGER PRIMARY KEY AUTOINCREMENT, titlu TEXT, autor TEXT,"
        " editura TEXT, tip INTEGER, pagini INTEGER, capitole INTEGER, volume INTEGER,"
        " publicare INTEGER, publicare_volum INTEGER, citita INTEGER, calificativ INTEGER,"
        " stare INTEGER);"
        "CREATE TABLE states(id INTEGER PRIMARY KEY AUTOINCREMENT, stare TEXT);"
        "CREATE TABLE types(id INTEGER PRIMARY KEY AUTOINCREMENT, tip TEXT);"
        "CREATE INDEX books_titlu ON books(titlu); CREATE INDEX books_autor ON books(autor);"
        "CREATE INDEX books_editura ON books(editura);"
        "BEGIN",
        nullptr, nullptr, nullptr);
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(from.Handle(),
                       WithTextOrder("SELECT titlu,autor,editura,tip,pagini,capitole,volume,"
                                     "publicare,publicare_volum,citita,calificativ,stare FROM "
                                     "books ORDER BY titlu",
                                     TextSort::Comparisons)
                           .c_str(),
                       -1, &read, nullptr);
    sqlite3_stmt* write = nullptr;
    sqlite3_prepare_v2(to,
                       "INSERT INTO books(titlu,autor,editura,tip,pagini,capitole,volume,publicare,"
                       "publicare_volum,citita,calificativ,stare) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &write, nullptr);
    while (sqlite3_step(read) == SQLITE_ROW) {
        for (int c = 0; c < 12; ++c) {
            sqlite3_bind_value(write, c + 1, sqlite3_column_value(read, c));
        }
        sqlite3_step(write);
        sqlite3_reset(write);
    }
    sqlite3_finalize(read);
    sqlite3_finalize(write);
    sqlite3_exec(to,
                 "INSERT INTO types(id, tip) VALUES (1, 'x');"
                 "INSERT INTO states(id, stare) VALUES (1, 'x');"
                 "COMMIT",
                 nullptr, nullptr, nullptr);
    sqlite3_close(to);
}
