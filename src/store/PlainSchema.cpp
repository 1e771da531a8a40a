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

// Moves the rows aside, creates the table again without the order and brings the rows back
// with their identifiers; the counter is set back to what it was, not to the highest id left.
void RebuildTable(CEngineDatabase& db, const SchemaObject& table, bool hasCounters) {
    const std::optional<std::int64_t> counter =
        hasCounters ? Counter(db, table.name) : std::nullopt;
    const std::string name = QuotedName(table.name);
    const std::string earlier = QuotedName(table.name + "_earlier_schema");
    db.Execute("ALTER TABLE " + name + " RENAME TO " + earlier);
    db.Execute(WithoutTextOrder(table.sql));
    db.Execute("INSERT INTO " + name + " SELECT * FROM " + earlier);
    db.Execute("DROP TABLE " + earlier);
    if (counter) {
        db.Execute(FormatStatement("DELETE FROM sqlite_sequence WHERE name = '%s'", table.name));
        db.Execute(FormatStatement("INSERT INTO sqlite_sequence(name, seq) VALUES('%s', %ld)",
                                   table.name, *counter));
    }
}

// Indexes, triggers and views go first and come back last: a rename would otherwise rewrite
// them to point at the table being emptied.
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
        TransactionGuard transaction(db, "BEGIN IMMEDIATE");
        Convert(db, objects);
        transaction.Commit();
    } catch (const CEngineException&) {
        // A catalogue that cannot be converted is used as it is: nothing of the attempt stays.
    }
}
