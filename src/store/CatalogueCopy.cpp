#include "CatalogueCopy.h"

#include "CBookDatabase.h"
#include "CEngineException.h"
#include "CatalogueMessages.h"
#include "SiblingFiles.h"
#include "StatementFormat.h"

namespace {

void CopyRows(CEngineDatabase& target, const std::string& sourcePath) {
    target.Execute(FormatStatement("ATTACH DATABASE '%s' AS src", sourcePath));
    try {
        target.Execute("BEGIN");
        target.Execute("INSERT INTO main.types(id, tip) SELECT id, tip FROM src.types");
        target.Execute("INSERT INTO main.states(id, stare) SELECT id, stare FROM src.states");
        target.Execute("INSERT INTO main.books(titlu,autor,editura,tip,pagini,capitole,volume,"
                       "publicare,publicare_volum,citita,calificativ,stare) "
                       "SELECT titlu,autor,editura,tip,pagini,capitole,volume,publicare,"
                       "publicare_volum,citita,calificativ,stare FROM src.books ORDER BY titlu");
        target.Execute("COMMIT");
    } catch (const CEngineException&) {
        try {
            target.Execute("ROLLBACK");
        } catch (const CEngineException&) {
            // Already rolled back by the failing statement.
        }
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
    RemoveAbandonedTemporaries(path);
    const std::string temporary = TemporarySibling(path);
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
    if (failure.empty() && !RenameIntoPlace(temporary, path).empty()) {
        failure = msg::kCannotCreateDatabase;
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
