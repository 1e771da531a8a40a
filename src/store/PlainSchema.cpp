#include "store/PlainSchema.h"

#include "store/CEngineDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/StatementFormat.h"
#include "store/TextOrder.h"
#include "store/TransactionGuard.h"

#include <optional>
#include <sqlite3.h>
#include <vector>

namespace {

struct SchemaObject {
    std::string type;
    std::string name;
    std::string table;
    std::string sql;
};

std::vector<SchemaObject> ReadSchema(CEngineDatabase& db) {
    CEngineRecordset set(db);
    set.Open("SELECT type, name, tbl_name, sql FROM sqlite_master WHERE sql IS NOT NULL "
             "ORDER BY rowid");
    std::vector<SchemaObject> objects;
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        objects.push_back({set.GetText("type"), set.GetText("name"), set.GetText("tbl_name"),
                           set.GetText("sql")});
    }
    return objects;
}

std::optional<std::int64_t> Counter(CEngineDatabase& db, const std::string& table) {
    CEngineRecordset set(db);
    set.Open(FormatStatement("SELECT seq FROM sqlite_sequence WHERE name = '%s'", table));
    if (set.GetRecordCount() == 0) {
        return std::nullopt;
    }
    set.MoveFirst();
    return set.GetInteger(set.FieldIndex("seq"));
}

// The table's statement under another name: what stands before the column list is replaced.
std::string UnderName(const std::string& create, const std::string& name) {
    return "CREATE TABLE " + QuotedName(name) + " " + create.substr(create.find('('));
}

// SQLite's documented way of changing a table: a new table made without the order, the rows
// copied with their identifiers, the old table dropped and the new one renamed to its name. The
// old table is never renamed, so the references of every other table keep naming it. The counter
// is set back to what it was, not to the highest id left.
void RebuildTable(CEngineDatabase& db, const SchemaObject& table, bool hasCounters) {
    const std::optional<std::int64_t> counter =
        hasCounters ? Counter(db, table.name) : std::nullopt;
    const std::string name = QuotedName(table.name);
    const std::string plain = QuotedName(table.name + "_plain_schema");
    db.Execute(UnderName(WithoutTextOrder(table.sql), table.name + "_plain_schema"));
    db.Execute("INSERT INTO " + plain + " SELECT * FROM " + name);
    db.Execute("DROP TABLE " + name);
    db.Execute("ALTER TABLE " + plain + " RENAME TO " + name);
    if (counter) {
        db.Execute(FormatStatement("DELETE FROM sqlite_sequence WHERE name = '%s'", table.name));
        db.Execute(FormatStatement("INSERT INTO sqlite_sequence(name, seq) VALUES('%s', %ld)",
                                   table.name, *counter));
    }
}

bool ForeignKeysHold(CEngineDatabase& db) {
    CEngineRecordset set(db);
    set.Open("PRAGMA foreign_key_check");
    return set.GetRecordCount() == 0;
}

// Indexes, triggers and views go first and come back last: they name the tables being rebuilt.
void Convert(CEngineDatabase& db, const std::vector<SchemaObject>& objects) {
    bool hasCounters = false;
    for (const SchemaObject& o : objects) {
        hasCounters = hasCounters || (o.type == "table" && o.name == "sqlite_sequence");
    }
    std::vector<const SchemaObject*> dependents;
    for (const SchemaObject& o : objects) {
        if (o.type == "index" || o.type == "trigger" || o.type == "view") {
            dependents.push_back(&o);
            const std::string kind = o.type == "index"  ? "INDEX"
                                     : o.type == "view" ? "VIEW"
                                                        : "TRIGGER";
            db.Execute("DROP " + kind + " IF EXISTS " + QuotedName(o.name));
        }
    }
    for (const SchemaObject& o : objects) {
        if (o.type == "table" && DeclaresTextOrder(o.sql)) {
            RebuildTable(db, o, hasCounters);
        }
    }
    for (const SchemaObject* o : dependents) {
        db.Execute(WithoutTextOrder(o->sql));
    }
}

} // namespace

void ConvertToPlainSchema(CEngineDatabase& db) {
    try {
        const std::vector<SchemaObject> objects = ReadSchema(db);
        bool earlier = false;
        for (const SchemaObject& o : objects) {
            earlier = earlier || DeclaresTextOrder(o.sql);
        }
        if (!earlier || sqlite3_db_readonly(db.Handle(), "main") != 0) {
            return;
        }
        // The connection keeps foreign keys off, so that dropping a table deletes no row of
        // another; the legacy rename leaves every other table's statement as it is.
        db.Execute("PRAGMA legacy_alter_table = ON");
        TransactionGuard transaction(db, "BEGIN IMMEDIATE");
        const bool heldBefore = ForeignKeysHold(db);
        Convert(db, objects);
        if (heldBefore && !ForeignKeysHold(db)) {
            throw CEngineException("the references would no longer hold");
        }
        transaction.Commit();
        db.Execute("PRAGMA legacy_alter_table = OFF");
    } catch (const CEngineException&) {
        // A catalogue that cannot be converted is used as it is: nothing of the attempt stays.
        sqlite3_exec(db.Handle(), "PRAGMA legacy_alter_table = OFF", nullptr, nullptr, nullptr);
    }
}
