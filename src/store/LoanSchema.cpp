#include "store/LoanSchema.h"

#include "store/CEngineDatabase.h"

LoanTableState InspectLoanTable(CEngineDatabase& db, const std::string& schema) {
    return InspectOwnTable(db, schema,
                           {"loans", kCreateLoansTable, "loans_open", kCreateOpenLoanIndex});
}

void CreateLoanTable(CEngineDatabase& db) {
    db.Execute(kCreateLoansTable);
    db.Execute(kCreateOpenLoanIndex);
}
