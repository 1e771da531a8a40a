#include "store/CEngineStatement.h"

#include "store/BookRecord.h"

#include "store/CEngineDatabase.h"
#include "store/CEngineException.h"
#include "store/TextOrder.h"

#include <sqlite3.h>

CEngineStatement::CEngineStatement(CEngineDatabase& db, const std::string& text) : m_db(db) {
    const std::string sql = WithTextOrder(text);
    if (sqlite3_prepare_v2(db.Handle(), sql.c_str(), static_cast<int>(sql.size() + 1), &m_stmt,
                           nullptr) != SQLITE_OK) {
        throw CEngineException::FromEngine(db.Handle(), "cannot prepare statement");
    }
}

CEngineStatement::~CEngineStatement() {
    sqlite3_finalize(m_stmt);
}

void CEngineStatement::Bind(int parameter, std::int64_t value) {
    sqlite3_bind_int64(m_stmt, parameter, value);
}

void CEngineStatement::Bind(int parameter, std::string_view text) {
    sqlite3_bind_text(m_stmt, parameter, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

void CEngineStatement::BindNumber(int parameter, std::int32_t value) {
    if (IsUnknown(value)) {
        sqlite3_bind_null(m_stmt, parameter);
    } else {
        Bind(parameter, std::int64_t{value});
    }
}

void CEngineStatement::Run() {
    const int rc = sqlite3_step(m_stmt);
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    if (rc != SQLITE_DONE) {
        throw CEngineException::FromEngine(m_db.Handle(), "statement failed");
    }
}
