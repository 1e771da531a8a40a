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

} // namespace

CEngineRecordset::CEngineRecordset(CEngineDatabase& db) : m_db(db) {}

CEngineRecordset::~CEngineRecordset() {
    sqlite3_finalize(m_stmt);
}

void CEngineRecordset::FinishForward() {
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
}

void CEngineRecordset::Open(const std::string& text, RecordReading reading) {
    FinishForward();
    m_forward = false;
    m_cells.clear();
    m_textPool.clear();
    m_rowCount = 0;
    m_pos = 0;
    sqlite3* db = m_db.Handle();
    const std::string sql = WithTextOrder(text);
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size() + 1), &m_stmt, &tail) !=
            SQLITE_OK ||
        m_stmt == nullptr) {
        FinishForward();
        throw CEngineException::FromEngine(db, "cannot prepare query");
    }
    while (tail != nullptr && *tail != '\0' && std::isspace(static_cast<unsigned char>(*tail))) {
        ++tail;
    }
    if ((tail != nullptr && *tail != '\0') || !sqlite3_stmt_readonly(m_stmt)) {
        FinishForward();
        throw CEngineException("a record set is opened on one SELECT only");
    }
    const int columns = sqlite3_column_count(m_stmt);
    m_names.clear();
    for (int c = 0; c < columns; ++c) {
        const char* name = sqlite3_column_name(m_stmt, c);
        m_names.emplace_back(name != nullptr ? name : "");
    }
    m_forward = reading == RecordReading::Forward;
    if (m_forward) {
        Step(); // a sorted statement sorts here, so its failure is the opening's
    } else {
        ReadWhole();
    }
}

void CEngineRecordset::Step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        DecodeCurrent();
        return;
    }
    FinishForward();
    if (rc != SQLITE_DONE) {
        throw CEngineException::FromEngine(m_db.Handle(), "query failed");
    }
}

void CEngineRecordset::ReadWhole() {
    const int columns = static_cast<int>(m_names.size());
    int rc = 0;
    while ((rc = sqlite3_step(m_stmt)) == SQLITE_ROW) {
        for (int c = 0; c < columns; ++c) {
            Cell cell{};
            // Asked before the value is read: reading a blob as text converts it.
            const int type = sqlite3_column_type(m_stmt, c);
            switch (type) {
            case SQLITE_INTEGER:
                cell.kind = Kind::Integer;
                cell.i = sqlite3_column_int64(m_stmt, c);
                break;
            case SQLITE_FLOAT:
                cell.kind = Kind::Real;
                cell.d = sqlite3_column_double(m_stmt, c);
                break;
            case SQLITE_NULL:
                cell.kind = Kind::Null;
                cell.i = 0;
                break;
            default: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, c));
                const int bytes = sqlite3_column_bytes(m_stmt, c);
                cell.kind = type == SQLITE_BLOB ? Kind::Blob : Kind::Text;
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
    FinishForward();
    if (rc != SQLITE_DONE) {
        m_cells.clear();
        m_textPool.clear();
        m_rowCount = 0;
        throw CEngineException::FromEngine(m_db.Handle(), "query failed");
    }
}

void CEngineRecordset::MoveNext() {
    if (!m_forward) {
        ++m_pos;
    } else if (m_stmt != nullptr) {
        Step();
    }
}

void CEngineRecordset::MoveFirst() {
    if (m_forward) {
        throw CEngineException("a forward record set moves only forward");
    }
    m_pos = 0;
}

void CEngineRecordset::MoveLast() {
    if (m_forward) {
        throw CEngineException("a forward record set moves only forward");
    }
    m_pos = m_rowCount - 1;
}

void CEngineRecordset::MovePrev() {
    if (m_forward) {
        throw CEngineException("a forward record set moves only forward");
    }
    --m_pos;
}

int CEngineRecordset::FieldIndex(std::string_view name) const {
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        if (SameNameIgnoringCase(m_names[i], name)) {
            return static_cast<int>(i);
        }
    }
    throw CEngineException("no field named " + std::string(name));
}

void CEngineRecordset::DecodeCurrent() {
    m_current.resize(m_names.size());
    for (std::size_t i = 0; i < m_current.size(); ++i) {
        const int field = static_cast<int>(i);
        Value& v = m_current[i];
        v = Value{Kind::Null, 0, 0.0, {}};
        const int type = sqlite3_column_type(m_stmt, field);
        switch (type) {
        case SQLITE_INTEGER:
            v.kind = Kind::Integer;
            v.i = sqlite3_column_int64(m_stmt, field);
            break;
        case SQLITE_FLOAT:
            v.kind = Kind::Real;
            v.d = sqlite3_column_double(m_stmt, field);
            break;
        case SQLITE_NULL:
            break;
        default: {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, field));
            v.kind = type == SQLITE_BLOB ? Kind::Blob : Kind::Text;
            v.text =
                std::string_view(text != nullptr ? text : "",
                                 static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, field)));
            break;
        }
        }
    }
}

CEngineRecordset::Value CEngineRecordset::Field(int field) const {
    if (field < 0 || field >= static_cast<int>(m_names.size()) ||
        (m_forward ? m_stmt == nullptr : m_pos < 0 || m_pos >= m_rowCount)) {
        throw CEngineException("no current record");
    }
    if (m_forward) {
        return m_current[static_cast<std::size_t>(field)];
    }
    const Cell& cell =
        m_cells[static_cast<std::size_t>(m_pos) * m_names.size() + static_cast<std::size_t>(field)];
    Value v{cell.kind, 0, 0.0, {}};
    if (cell.kind == Kind::Real) {
        v.d = cell.d;
    } else if (cell.kind == Kind::Text || cell.kind == Kind::Blob) {
        v.text = std::string_view(m_textPool).substr(cell.text.offset, cell.text.length);
    } else {
        v.i = cell.i;
    }
    return v;
}

bool CEngineRecordset::IsNull(int field) const {
    return Field(field).kind == Kind::Null;
}

bool CEngineRecordset::HoldsInteger(int field) const {
    return Field(field).kind == Kind::Integer;
}

std::int64_t CEngineRecordset::GetInteger(int field) const {
    return IntegerOf(Field(field));
}

std::int64_t CEngineRecordset::IntegerOf(const Value& cell) {
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
    const Value cell = Field(field);
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
    return Field(field).text;
}

std::string CEngineRecordset::GetText(int field) const {
    const Value cell = Field(field);
    switch (cell.kind) {
    case Kind::Text:
    case Kind::Blob:
        return std::string(cell.text);
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
