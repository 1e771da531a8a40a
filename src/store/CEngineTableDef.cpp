#include "store/CEngineTableDef.h"

#include "store/CEngineDatabase.h"
#include "store/CEngineException.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"

namespace {

std::string RangeCheck(const std::string& column, const char* low, const char* high) {
    return " CHECK (" + column + " BETWEEN " + low + " AND " + high + ")";
}

} // namespace

std::string BooleanTriggerName(const std::string& table, const std::string& column, bool update) {
    return table + "_" + column + (update ? "_upd" : "_ins");
}

std::string BooleanTriggerStatement(const std::string& table, const std::string& column,
                                    bool update) {
    const std::string t = QuotedName(table);
    const std::string c = QuotedName(column);
    return "CREATE TRIGGER " + QuotedName(BooleanTriggerName(table, column, update)) + " AFTER " +
           (update ? "UPDATE OF " + c : std::string("INSERT")) + " ON " + t + " WHEN NEW." + c +
           " <> 0 AND NEW." + c + " <> -1 BEGIN UPDATE " + t + " SET " + c +
           " = -1 WHERE rowid = NEW.rowid; END";
}

void CEngineTableDef::Create(const std::string& name) {
    m_name = name;
    m_fields.clear();
}

void CEngineTableDef::CreateField(const std::string& name, EngineFieldType type, int size,
                                  int attributes) {
    if (m_name.empty()) {
        throw CEngineException("no table being defined");
    }
    m_fields.push_back({name, type, size, attributes});
}

void CEngineTableDef::Append() {
    if (m_name.empty() || m_fields.empty()) {
        throw CEngineException("incomplete table definition");
    }
    const std::string table = QuotedName(m_name);
    std::string sql = "CREATE TABLE " + table + " (";
    std::vector<std::string> triggers;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const Field& f = m_fields[i];
        const std::string col = QuotedName(f.name);
        sql += i == 0 ? "" : ", ";
        sql += col;
        switch (f.type) {
        case EngineFieldType::Long:
            if (f.attributes & kFieldAutoIncrement) {
                // AUTOINCREMENT never hands out a number twice, even after deletes.
                sql += " INTEGER PRIMARY KEY AUTOINCREMENT";
            } else {
                sql += " INTEGER" + RangeCheck(col, "-2147483648", "2147483647");
            }
            break;
        case EngineFieldType::Integer:
            sql += " INTEGER" + RangeCheck(col, "-32768", "32767");
            break;
        case EngineFieldType::Byte:
            sql += " INTEGER" + RangeCheck(col, "0", "255");
            break;
        case EngineFieldType::Boolean:
            // Any non-zero value is stored as -1 by the triggers below.
            sql += " INTEGER";
            for (const bool update : {false, true}) {
                triggers.push_back(BooleanTriggerStatement(m_name, f.name, update));
            }
            break;
        case EngineFieldType::Text:
            sql += " TEXT CHECK (length(" + col +
                   ") <= " + std::to_string(f.size > 0 ? f.size : 255) + ")";
            break;
        }
    }
    sql += ")";
    TransactionGuard transaction(m_db);
    m_db.Execute(sql);
    for (const std::string& t : triggers) {
        m_db.Execute(t);
    }
    transaction.Commit();
}

void CEngineTableDef::Close() {
    m_name.clear();
    m_fields.clear();
}
