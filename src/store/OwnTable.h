#pragma once

#include <string>

class CEngineDatabase;

// A table the program adds beside the catalogue's three (with its one index) is trusted only
// when it is exactly as the program makes it.
enum class OwnTableState {
    Absent, // the program never made it
    Ours,   // the table and its index, exactly as the program makes them
    Foreign // anything else under the name: the program leaves it alone
};

struct OwnTableShape {
    const char* table;
    const char* tableSql;
    const char* index;
    const char* indexSql;
};

// What the attached database `schema` ("main", or the source of a copy) holds under the name.
OwnTableState InspectOwnTable(CEngineDatabase& db, const std::string& schema,
                              const OwnTableShape& shape);
