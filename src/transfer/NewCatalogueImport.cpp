#include "transfer/NewCatalogueImport.h"

#include "store/CBookDatabase.h"
#include "store/SiblingFiles.h"

ImportResult ImportIntoNewCatalogue(std::string_view csv, const std::string& catalogue,
                                    const ImportOptions& options, const MessageSink& sink) {
    RemoveAbandonedTemporaries(catalogue);
    const std::string temporary = TemporarySibling(catalogue);
    CBookDatabase db(sink);
    ImportResult r;
    if (!db.Create(temporary)) {
        r.error = "cannot be made: " + db.LastFailure();
        r.catalogueFailed = true;
        return r;
    }
    db.CreateTables();
    r = ImportCsv(csv, db, options);
    db.Close();
    if (r.ok) {
        const std::string failure = RenameIntoNewPlace(temporary, catalogue);
        if (!failure.empty()) {
            r.ok = false;
            r.error = "cannot be made: " + failure;
            r.catalogueFailed = true;
        }
    }
    if (!r.ok) {
        RemoveQuietly(temporary);
    }
    return r;
}
