#pragma once

#include "store/CEngineTableDef.h"

#include <vector>

struct SchemaColumn {
    const char* name;
    EngineFieldType type;
    int size;
    int attributes;
};

struct SchemaTable {
    const char* name;
    std::vector<SchemaColumn> columns;
};

// The three tables of a catalogue in the order they are created: books, states, types.
const std::vector<SchemaTable>& CatalogueTables();
