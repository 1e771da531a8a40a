#pragma once

#include "store/CEngineException.h"
#include "store/MessageSink.h"

#include <optional>
#include <string>

class CEngineDatabase;

// A table the program adds beside the catalogue's three (with its one index, if any) is trusted
// only when it is exactly as the program makes it.
enum class OwnTableState {
    Absent, // the program never made it
    Ours,   // the table and its index, exactly as the program makes them
    Foreign // anything else under the name: the program leaves it alone
};

struct OwnTableShape {
    const char* table;
    const char* tableSql;
    const char* index; // null for a table without an index of its own
    const char* indexSql;
};

// What the attached database `schema` ("main", or the source of a copy) holds under the name.
OwnTableState InspectOwnTable(CEngineDatabase& db, const std::string& schema,
                              const OwnTableShape& shape);

// What a keeper of rows in a table of the program's own shares: the connection, one report of
// each failure through the sink, and whether the table is there to be used.
class OwnTableKeeper {
protected:
    using Inspect = OwnTableState (*)(CEngineDatabase&, const std::string&);
    // `unusable` is reported whenever the table under the name is not the program's own.
    OwnTableKeeper(CEngineDatabase& engine, MessageSink sink, Inspect inspect,
                   const char* unusable);

    void Report(const std::string& message) const;
    // Runs `work`; an engine failure reports `failure` and gives false.
    template <class Work> bool Guarded(const char* failure, Work&& work) {
        try {
            return work();
        } catch (const CEngineException&) {
            Report(failure);
            return false;
        }
    }
    // Whether the table exists; nothing, reported, when it is not the program's own.
    std::optional<bool> HasTable();

    CEngineDatabase& m_engine;

private:
    MessageSink m_sink;
    Inspect m_inspect;
    const char* m_unusable;
};
