#include "store/StarterLookups.h"

#include "store/CBookDatabase.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/TransactionGuard.h"
#include "store/TrimmedText.h"

#include <algorithm>

const std::array<std::string, 9> g_starterTypeNames = {
    "Roman", "Poezie", "Teatru", "Eseu", "Istorie", "Stiinta", "Copii", "Manual", "Altele"};
const std::array<std::string, 5> g_starterStateNames = {"Buna", "Uzata", "Deteriorata",
                                                        "Imprumutata", "Pierduta"};

namespace {

bool HasNone(CEngineDatabase& engine, const char* table) {
    CEngineRecordset set(engine);
    set.Open(std::string("SELECT count(*) AS n FROM ") + table);
    set.MoveFirst();
    return set.GetLong("n") == 0;
}

} // namespace

std::vector<std::string> NamesFromLines(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view name = Trimmed(text.substr(0, end));
        if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
            names.emplace_back(name);
        }
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return names;
}

bool AddStarterLookups(CBookDatabase& db, const std::vector<std::string>& types,
                       const std::vector<std::string>& states) {
    try {
        TransactionGuard transaction(db.Engine(), "BEGIN IMMEDIATE");
        // Asked inside the transaction: another program cannot fill a table meanwhile.
        const auto fill = [&db](const char* table, const std::vector<std::string>& names,
                                bool (CBookDatabase::*insert)(const std::string&)) {
            return !HasNone(db.Engine(), table) ||
                   std::all_of(names.begin(), names.end(),
                               [&](const std::string& name) { return (db.*insert)(name); });
        };
        if (!fill("types", types, &CBookDatabase::InsertType) ||
            !fill("states", states, &CBookDatabase::InsertState)) {
            return false; // the catalogue has told why
        }
        transaction.Commit();
    } catch (const CEngineException&) {
        if (db.Sink()) {
            db.Sink()(msg::kCannotInsert);
        }
        return false;
    }
    return true;
}
