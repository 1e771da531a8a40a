#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class CEngineDatabase;
struct sqlite3_stmt;

// One action statement prepared once and run many times with bound values, for bulk work. The
// values are bound, never spliced into the text.
class CEngineStatement {
public:
    CEngineStatement(CEngineDatabase& db, const std::string& sql);
    ~CEngineStatement();
    CEngineStatement(const CEngineStatement&) = delete;
    CEngineStatement& operator=(const CEngineStatement&) = delete;

    // Parameters count from 1.
    void Bind(int parameter, std::int64_t value);
    void Bind(int parameter, std::string_view text);
    // A book's number: NULL when it is not known (kUnknownNumber).
    void BindNumber(int parameter, std::int32_t value);
    // Runs the statement with the bound values, then readies it for the next ones.
    void Run();

private:
    CEngineDatabase& m_db;
    sqlite3_stmt* m_stmt = nullptr;
};
