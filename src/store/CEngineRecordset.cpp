#include "store/CEngineRecordset.h"

#include "store/CEngineDatabase.h"
#include "store/CEngineException.h"
#include "store/TextOrder.h"

#include <cctype>
#include <cmath>
#include <sqlite3.h>

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

} // namespace

void CEngineRecordset::Open(const std::string& text) {
    sqlite3* db = m_db.Handle();
    const std::string sql = WithTextOrder(text);
    Statement s;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size() + 1), &s.stmt, &tail) !=
            SQLITE_OK ||
        s.stmt == nullptr) {
        throw CEngineException::FromEngine(db, "cannot prepare query");
    }
    while (tail != nullptr && *tail != '\0' && std::isspace(static_cast<unsigned char>(*tail))) {
        ++tail;
    }
    if ((tail != nullptr && *tail != '\0') || !sqlite3_stmt_readonly(s.stmt)) {
        throw CEngineException("a record set is opened on one SELECT only");
    }
    const int columns = sqlite3_column_count(s.stmt);
    m_names.clear();
    for (int c = 0; c < columns; ++c) {
        const char* name = sqlite3_column_name(s.stmt, c);
        m_names.emplace_back(name != nullptr ? name : "");
    }
    m_cells.clear();
    m_textPool.clear();
    m_rowCount = 0;
    int rc = 0;
    while ((rc = sqlite3_step(s.stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            Cell cell{};
            switch (sqlite3_column_type(s.stmt, c)) {
            case SQLITE_INTEGER:
                cell.kind = Kind::Integer;
                cell.i = sqlite3_column_int64(s.stmt, c);
                break;
            case SQLITE_FLOAT:
                cell.kind = Kind::Real;
                cell.d = sqlite3_column_double(s.stmt, c);
                break;
            case SQLITE_NULL:
                cell.kind = Kind::Null;
                cell.i = 0;
                break;
            default: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s.stmt, c));
                const int bytes = sqlite3_column_bytes(s.stmt, c);
                cell.kind = Kind::Text;
                cell.text.offset = static_cast<std::uint32_t>(m_textPool.size());
                cell.text.length = static_cast<std::uint32_t>(bytes);
                if (bytes > 0) {
                    m_textPool.append(text, static_cast<std::size_t>(bytes));
                }
                break;
            }
            }
            m_cells.push_back(cell);
        }
        ++m_rowCount;
    }
    if (rc != SQLITE_DONE) {
        m_cells.clear();
        m_textPool.clear();
        m_rowCount = 0;
        throw CEngineException::FromEngine(db, "query failed");
    }
    m_pos = 0;
}

int CEngineRecordset::FieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        if (SameNameIgnoringCase(m_names[i], name)) {
            return static_cast<int>(i);
        }
    }
    throw CEngineException("no field named " + std::string(name));
}

const CEngineRecordset::Cell& CEngineRecordset::At(int field) const {
    if (m_pos < 0 || m_pos >= m_rowCount || field < 0 ||
        field >= static_cast<int>(m_names.size())) {
        throw CEngineException("no current record");
    }
    return m_cells[static_cast<std::size_t>(m_pos) * m_names.size() +
                   static_cast<std::size_t>(field)];
}

bool CEngineRecordset::IsNull(int field) const {
    return At(field).kind == Kind::Null;
}

bool CEngineRecordset::HoldsInteger(int field) const {
    return At(field).kind == Kind::Integer;
}

std::int64_t CEngineRecordset::GetInteger(int field) const {
    const Cell& cell = At(field);
    switch (cell.kind) {
    case Kind::Integer:
        return cell.i;
    case Kind::Real:
        if (std::isfinite(cell.d) && std::fabs(cell.d) < 9.2e18) {
            return static_cast<std::int64_t>(cell.d);
        }
        return 0;
    default:
        return 0;
    }
}

double CEngineRecordset::GetDouble(int field) const {
    const Cell& cell = At(field);
    switch (cell.kind) {
    case Kind::Integer:
        return static_cast<double>(cell.i);
    case Kind::Real:
        return cell.d;
    default:
        return 0.0;
    }
}

std::string_view CEngineRecordset::GetTextView(int field) const {
    const Cell& cell = At(field);
    if (cell.kind != Kind::Text) {
        return {};
    }
    return std::string_view(m_textPool).substr(cell.text.offset, cell.text.length);
}

std::string CEngineRecordset::GetText(int field) const {
    const Cell& cell = At(field);
    switch (cell.kind) {
    case Kind::Text:
        return std::string(GetTextView(field));
    case Kind::Integer:
        return std::to_string(cell.i);
    case Kind::Real: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", cell.d);
        return buf;
    }
    default:
        return {};
    }
}
