#include "store/DetailsSchema.h"

#include "store/CEngineDatabase.h"

DetailsTableState InspectDetailsTable(CEngineDatabase& db, const std::string& schema) {
    return InspectOwnTable(
        db, schema,
        {"book_details", kCreateDetailsTable, "book_details_isbn", kCreateDetailsIsbnIndex});
}

void CreateDetailsTable(CEngineDatabase& db) {
    db.Execute(kCreateDetailsTable);
    db.Execute(kCreateDetailsIsbnIndex);
}
