#include "store/OwnTable.h"

#include "store/CEngineDatabase.h"
#include "store/CEngineRecordset.h"
#include "store/StatementFormat.h"

OwnTableState InspectOwnTable(CEngineDatabase& db, const std::string& schema,
                              const OwnTableShape& shape) {
    CEngineRecordset set(db);
    set.Open("SELECT type, name, sql FROM " + QuotedName(schema) +
             FormatStatement(".sqlite_master WHERE tbl_name = '%s' COLLATE NOCASE OR name = "
                             "'%s' COLLATE NOCASE",
                             shape.table, shape.table));
    if (set.GetRecordCount() == 0) {
        return OwnTableState::Absent;
    }
    bool table = false;
    // A table kept without an index of its own is whole without one.
    bool index = shape.index == nullptr;
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        const std::string type = set.GetText("type");
        const std::string name = set.GetText("name");
        const std::string sql = set.GetText("sql");
        if (type == "table") {
            table = name == shape.table && sql == shape.tableSql;
        } else if (type == "index" && shape.index && name == shape.index) {
            index = sql == shape.indexSql;
        } else if (type != "index") {
            return OwnTableState::Foreign;
        }
    }
    return table && index ? OwnTableState::Ours : OwnTableState::Foreign;
}

OwnTableKeeper::OwnTableKeeper(CEngineDatabase& engine, MessageSink sink, Inspect inspect,
                               const char* unusable)
    : m_engine(engine), m_sink(std::move(sink)), m_inspect(inspect), m_unusable(unusable) {}

void OwnTableKeeper::Report(const std::string& message) const {
    if (m_sink) {
        m_sink(message);
    }
}

std::optional<bool> OwnTableKeeper::HasTable() {
    switch (m_inspect(m_engine, "main")) {
    case OwnTableState::Absent:
        return false;
    case OwnTableState::Ours:
        return true;
    case OwnTableState::Foreign:
        break;
    }
    Report(m_unusable);
    return std::nullopt;
}
