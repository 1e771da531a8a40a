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
    bool index = false;
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        const std::string type = set.GetText("type");
        const std::string name = set.GetText("name");
        const std::string sql = set.GetText("sql");
        if (type == "table") {
            table = name == shape.table && sql == shape.tableSql;
        } else if (type == "index" && name == shape.index) {
            index = sql == shape.indexSql;
        } else if (type != "index") {
            return OwnTableState::Foreign;
        }
    }
    return table && index ? OwnTableState::Ours : OwnTableState::Foreign;
}
