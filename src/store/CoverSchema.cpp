#include "store/CoverSchema.h"

OwnTableState InspectCoverTable(CEngineDatabase& db, const std::string& schema) {
    return InspectOwnTable(db, schema, {kCoversTable, kCreateCoversTable, nullptr, nullptr});
}
