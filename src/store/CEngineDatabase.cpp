#include "store/CEngineDatabase.h"

#include "store/CEngineException.h"
#include "store/CEngineTableDef.h"
#include "store/CatalogueSchema.h"
#include "store/RomanianCollation.h"
#include "store/TextOrder.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kBusyTimeoutMs = 5000;

// The form "DELETE * FROM" is turned into SQLite's "DELETE FROM"; nothing else is rewritten.
std::string AdaptStatement(const std::string& sql) {
    std::size_t i = 0;
    auto skipSpace = [&] {
        while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) {
            ++i;
        }
    };
    skipSpace();
    const std::size_t start = i;
    static const char kDelete[] = "delete";
    for (std::size_t k = 0; kDelete[k] != '\0'; ++k, ++i) {
        if (i >= sql.size() || std::tolower(static_cast<unsigned char>(sql[i])) != kDelete[k]) {
            return sql;
        }
    }
    skipSpace();
    if (i >= sql.size() || sql[i] != '*') {
        return sql;
    }
    std::string out = sql;
    out.replace(start, i + 1 - start, "DELETE");
    return out;
}

std::uint32_t BigEndian(const unsigned char* at) {
    return (std::uint32_t{at[0]} << 24) | (std::uint32_t{at[1]} << 16) |
           (std::uint32_t{at[2]} << 8) | at[3];
}

bool NonEmptyFileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
}

// The 100 bytes of a database header and whether the file's size holds every page they count;
// an empty or truncated file is refused before the engine touches it.
bool HeaderAndSizeHold(const std::array<unsigned char, 100>& header, std::uint64_t size) {
    if (std::memcmp(header.data(), "SQLite format 3", 16) != 0) {
        return false;
    }
    std::uint32_t pageSize = (header[16] << 8) | header[17];
    if (pageSize == 1) {
        pageSize = 65536;
    }
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0 || size == 0 || size % pageSize != 0) {
        return false;
    }
    // The page count in the header holds only when it was written with the current change
    // counter; files of very old writers leave it 0, and the engine then goes by the size.
    const std::uint64_t pages = BigEndian(&header[28]);
    const bool countHolds = pages > 0 && BigEndian(&header[92]) == BigEndian(&header[24]);
    return !countHolds || size / pageSize >= pages;
}

// Refuses, with its kind, a path that is no regular file or no complete database. A file with a
// journal or write-ahead log beside it was cut off in the middle of a write: the engine rolls
// the journal back or the log forward on first access, so only the engine may judge it.
void CheckCatalogueFile(const std::string& path) {
    // Non-blocking, so that a FIFO is refused instead of waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        throw CEngineException(std::strerror(error), EngineFailure::NotFound, error);
    }
    struct stat st {};
    std::array<unsigned char, 100> header{};
    bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const bool readOk =
        regular && ::read(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size());
    // The size is taken after the header: a writer of another program may grow the file between
    // the two, never shrink it below what the header it wrote before counts.
    regular = regular && ::fstat(fd, &st) == 0;
    ::close(fd);
    if (!regular) {
        throw CEngineException("not a regular file", EngineFailure::NotRegularFile);
    }
    if (NonEmptyFileExists(path + "-journal") || NonEmptyFileExists(path + "-wal")) {
        return;
    }
    if (!readOk || !HeaderAndSizeHold(header, static_cast<std::uint64_t>(st.st_size))) {
        throw CEngineException("not a complete database file: " + path,
                               EngineFailure::NotACatalogue);
    }
}

// One of the triggers the table definer makes, to the letter.
bool IsOwnTrigger(const std::string& name, const std::string& table, const std::string& sql) {
    const std::size_t suffix = 4; // "_ins" or "_upd"
    if (name.size() <= table.size() + 1 + suffix || name.compare(0, table.size(), table) != 0) {
        return false;
    }
    const std::string column =
        name.substr(table.size() + 1, name.size() - table.size() - 1 - suffix);
    return sql == BooleanTriggerStatement(table, column, false) ||
           sql == BooleanTriggerStatement(table, column, true);
}

} // namespace

CEngineDatabase::~CEngineDatabase() {
    if (m_db != nullptr) {
        sqlite3_close_v2(m_db);
    }
}

void CEngineDatabase::Create(const std::string& path) {
    if (m_db != nullptr) {
        throw CEngineException("database already open");
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int error = errno;
        throw CEngineException(std::string("cannot create file: ") + std::strerror(error),
                               EngineFailure::Other, error);
    }
    ::close(fd);
    const int rc =
        sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK) {
            ThrowError("cannot create database");
        }
        Configure();
        // Writing the header makes the new file a database at once, before any table exists.
        Execute("PRAGMA user_version = 1");
    } catch (...) {
        Close();
        ::unlink(path.c_str());
        throw;
    }
}

void CEngineDatabase::Open(const std::string& path, bool readOnly) {
    if (m_db != nullptr) {
        throw CEngineException("database already open");
    }
    CheckCatalogueFile(path);
    const int mode = readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    const int rc = sqlite3_open_v2(path.c_str(), &m_db, mode | SQLITE_OPEN_NOMUTEX, nullptr);
    try {
        if (rc != SQLITE_OK) {
            ThrowError("cannot open database");
        }
        Configure();
        // Reading the schema proves the file is a database the engine can use.
        const int check =
            sqlite3_exec(m_db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (check != SQLITE_OK) {
            ThrowError("cannot read database");
        }
        RefuseForeignSchema();
    } catch (...) {
        Close();
        throw;
    }
}

void CEngineDatabase::RefuseForeignSchema() {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(m_db,
                           "SELECT type, name, tbl_name, sql FROM sqlite_master "
                           "WHERE type IN ('trigger', 'view')",
                           -1, &stmt, nullptr) != SQLITE_OK) {
        ThrowError("cannot read database");
    }
    auto text = [stmt](int column) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return std::string(t != nullptr ? t : "");
    };
    std::string foreign;
    int rc = SQLITE_ROW;
    while (foreign.empty() && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const std::string name = text(1);
        if (text(0) == "trigger" && !IsOwnTrigger(name, text(2), text(3))) {
            foreign = "holds a trigger the program did not make: \"" + name + "\"";
        }
        for (const SchemaTable& table : CatalogueTables()) {
            if (text(0) == "view" && sqlite3_stricmp(name.c_str(), table.name) == 0) {
                foreign = "holds a view in place of its table: \"" + name + "\"";
            }
        }
    }
    sqlite3_finalize(stmt);
    if (!foreign.empty()) {
        throw CEngineException(foreign, EngineFailure::ForeignSchema);
    }
    if (rc != SQLITE_DONE) {
        ThrowError("cannot read database");
    }
}

void CEngineDatabase::Configure() {
    sqlite3_extended_result_codes(m_db, 1);
    int unused = 0;
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, &unused);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, &unused);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, &unused);
    sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
    if (RegisterRomanianCollation(m_db) != SQLITE_OK) {
        ThrowError("cannot register text order");
    }
    // Listings sort their texts at query time: in memory, so a sort never spills into a
    // temporary file that a full disk or a file size limit would refuse. A page cache of 32 MiB
    // holds a catalogue of 100,000 books whole, so a second listing or a statistic reads no page
    // twice from the file.
    const char* pragmas = "PRAGMA synchronous = FULL;"
                          "PRAGMA cell_size_check = ON;"
                          "PRAGMA foreign_keys = OFF;"
                          "PRAGMA temp_store = MEMORY;"
                          "PRAGMA cache_size = -32768;";
    if (sqlite3_exec(m_db, pragmas, nullptr, nullptr, nullptr) != SQLITE_OK) {
        ThrowError("cannot configure database");
    }
}

void CEngineDatabase::Close() {
    if (m_db == nullptr) {
        throw CEngineException("database not open");
    }
    sqlite3* db = m_db;
    m_db = nullptr;
    if (sqlite3_close_v2(db) != SQLITE_OK) {
        throw CEngineException("cannot close database");
    }
}

void CEngineDatabase::Execute(const std::string& sql) {
    sqlite3* db = Handle();
    const std::string adapted = WithTextOrder(AdaptStatement(sql));
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, adapted.c_str(), static_cast<int>(adapted.size() + 1), &stmt,
                           &tail) != SQLITE_OK) {
        ThrowError("cannot prepare statement");
    }
    if (stmt == nullptr) {
        throw CEngineException("empty statement");
    }
    while (tail != nullptr && *tail != '\0' && std::isspace(static_cast<unsigned char>(*tail))) {
        ++tail;
    }
    if (tail != nullptr && *tail != '\0') {
        sqlite3_finalize(stmt);
        throw CEngineException("one statement at a time");
    }
    int rc = SQLITE_ROW;
    while (rc == SQLITE_ROW) {
        rc = sqlite3_step(stmt);
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        ThrowError("statement failed");
    }
}

std::int64_t CEngineDatabase::LastInsertRowId() const {
    return sqlite3_last_insert_rowid(Handle());
}

sqlite3* CEngineDatabase::Handle() const {
    if (m_db == nullptr) {
        throw CEngineException("database not open");
    }
    return m_db;
}

void CEngineDatabase::ThrowError(const std::string& context) const {
    throw CEngineException::FromEngine(m_db, context);
}

bool CEngineDatabase::HasTable(const std::string& name) const {
    return m_db != nullptr &&
           sqlite3_table_column_metadata(m_db, "main", name.c_str(), nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr) == SQLITE_OK;
}
