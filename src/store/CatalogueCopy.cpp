#include "store/CatalogueCopy.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/LoanSchema.h"
#include "store/SiblingFiles.h"
#include "store/StatementFormat.h"
#include "store/TransactionGuard.h"
#include "store/UserReasons.h"

#include <cerrno>
#include <filesystem>

namespace {

// The counters of AUTOINCREMENT travel with the rows: the copy must not give again an identifier
// the source has already used, or an old book would take the name of a type added later.
void CopyCounters(CEngineDatabase& target) {
    CEngineRecordset set(target);
    set.Open("SELECT count(*) AS n FROM src.sqlite_master WHERE name = 'sqlite_sequence'");
    set.MoveFirst();
    if (set.GetLong("n") == 0) {
        return;
    }
    target.Execute(
        "INSERT INTO main.sqlite_sequence(name, seq) SELECT name, 0 FROM "
        "src.sqlite_sequence WHERE name IN ('books', 'types', 'states', 'loans') AND name NOT "
        "IN (SELECT name FROM main.sqlite_sequence)");
    target.Execute("UPDATE main.sqlite_sequence SET seq = max(seq, (SELECT max(s.seq) FROM "
                   "src.sqlite_sequence s WHERE s.name = main.sqlite_sequence.name))");
}

void CopyRows(CEngineDatabase& target, const std::string& sourcePath) {
    target.Execute(FormatStatement("ATTACH DATABASE '%s' AS src", sourcePath));
    try {
        TransactionGuard transaction(target);
        target.Execute("INSERT INTO main.types(id, tip) SELECT id, tip FROM src.types");
        target.Execute("INSERT INTO main.states(id, stare) SELECT id, stare FROM src.states");
        target.Execute("INSERT INTO main.books(id,titlu,autor,editura,tip,pagini,capitole,volume,"
                       "publicare,publicare_volum,citita,calificativ,stare) "
                       "SELECT id,titlu,autor,editura,tip,pagini,capitole,volume,publicare,"
                       "publicare_volum,citita,calificativ,stare FROM src.books ORDER BY id");
        if (InspectLoanTable(target, "src") == LoanTableState::Ours) {
            CreateLoanTable(target);
            target.Execute("INSERT INTO main.loans(id,book,title,borrower,lent,due,returned) "
                           "SELECT id,book,title,borrower,lent,due,returned FROM src.loans "
                           "ORDER BY id");
        }
        CopyCounters(target);
        transaction.Commit();
    } catch (const CEngineException&) {
        target.Execute("DETACH DATABASE src");
        throw;
    }
    target.Execute("DETACH DATABASE src");
}

} // namespace

std::unique_ptr<CBookDatabase> CopyCatalogue(CBookDatabase& source, const std::string& path,
                                             const MessageSink& sink) {
    std::string failure;
    auto firstOnly = [&failure](const std::string& text) {
        if (failure.empty()) {
            failure = text;
        }
    };
    std::error_code missing;
    if (!source.IsOpen() && std::filesystem::exists(path, missing)) {
        // Nothing to copy: an existing file is never replaced by an empty catalogue.
        if (sink) {
            sink(std::string(msg::kCannotCreateDatabase) + "\n" + SystemReason(EEXIST));
            sink(msg::kCannotCreateTable);
        }
        return nullptr;
    }
    const std::string target = RealTarget(path);
    RemoveAbandonedTemporaries(target);
    const std::string temporary = TemporarySibling(target);
    {
        CBookDatabase building(firstOnly);
        if (building.Create(temporary)) {
            building.CreateTables();
            if (failure.empty() && source.IsOpen()) {
                try {
                    CopyRows(building.Engine(), source.GetPath());
                } catch (const CEngineException&) {
                    failure = msg::kCannotInsert;
                }
            }
            building.Close();
        }
    }
    if (failure.empty()) {
        if (const std::string renamed = RenameIntoPlace(temporary, target); !renamed.empty()) {
            failure = std::string(msg::kCannotCreateDatabase) + "\n" + RomanianReason(renamed);
        }
    }
    if (!failure.empty()) {
        RemoveQuietly(temporary);
        if (sink) {
            sink(failure);
        }
        return nullptr;
    }
    auto copy = std::make_unique<CBookDatabase>(sink);
    if (!copy->Open(path)) {
        return nullptr;
    }
    return copy;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    if (a == b) {
        return true;
    }
    std::error_code error;
    return std::filesystem::equivalent(a, b, error) && !error;
}
