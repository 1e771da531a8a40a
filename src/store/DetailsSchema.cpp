#include "store/DetailsSchema.h"

#include "store/CEngineDatabase.h"

namespace {

enum class DetailsShape { Absent, Current, Earlier, Foreign };

DetailsShape InspectDetailsShape(CEngineDatabase& db, const std::string& schema) {
    switch (InspectOwnTable(
        db, schema,
        {kDetailsTable, kCreateDetailsTable, "book_details_isbn", kCreateDetailsIsbnIndex})) {
    case OwnTableState::Absent:
        return DetailsShape::Absent;
    case OwnTableState::Ours:
        return DetailsShape::Current;
    case OwnTableState::Foreign:
        break;
    }
    return InspectOwnTable(db, schema,
                           {kDetailsTable, kCreateEarlierDetailsTable, "book_details_isbn",
                            kCreateDetailsIsbnIndex}) == OwnTableState::Ours
               ? DetailsShape::Earlier
               : DetailsShape::Foreign;
}

} // namespace

DetailsTableState InspectDetailsTable(CEngineDatabase& db, const std::string& schema) {
    switch (InspectDetailsShape(db, schema)) {
    case DetailsShape::Absent:
        return DetailsTableState::Absent;
    case DetailsShape::Current:
    case DetailsShape::Earlier:
        return DetailsTableState::Ours;
    case DetailsShape::Foreign:
        break;
    }
    return DetailsTableState::Foreign;
}

void PrepareDetailsTable(CEngineDatabase& db) {
    switch (InspectDetailsShape(db, "main")) {
    case DetailsShape::Absent:
        db.Execute(kCreateDetailsTable);
        db.Execute(kCreateDetailsIsbnIndex);
        break;
    case DetailsShape::Earlier:
        db.Execute(kAddDetailsSource);
        break;
    case DetailsShape::Current:
    case DetailsShape::Foreign:
        break;
    }
}
