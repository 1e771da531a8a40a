#include "store/LoanSchema.h"

#include "store/CEngineDatabase.h"
#include "store/CEngineRecordset.h"
#include "store/StatementFormat.h"

LoanTableState InspectLoanTable(CEngineDatabase& db, const std::string& schema) {
    CEngineRecordset set(db);
    set.Open("SELECT type, name, sql FROM " + QuotedName(schema) +
             ".sqlite_master WHERE tbl_name = 'loans' COLLATE NOCASE OR name = 'loans' COLLATE "
             "NOCASE");
    if (set.GetRecordCount() == 0) {
        return LoanTableState::Absent;
    }
    bool table = false;
    bool index = false;
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        const std::string type = set.GetText("type");
        const std::string name = set.GetText("name");
        const std::string sql = set.GetText("sql");
        if (type == "table") {
            table = name == "loans" && sql == kCreateLoansTable;
        } else if (type == "index" && name == "loans_open") {
            index = sql == kCreateOpenLoanIndex;
        } else if (type != "index") {
            return LoanTableState::Foreign;
        }
    }
    return table && index ? LoanTableState::Ours : LoanTableState::Foreign;
}

void CreateLoanTable(CEngineDatabase& db) {
    db.Execute(kCreateLoansTable);
    db.Execute(kCreateOpenLoanIndex);
}
