#include "app/CommandLineJobs.h"

#include "store/CBookDatabase.h"
#include "store/CatalogueCopy.h"
#include "store/OutputTarget.h"
#include "store/SiblingFiles.h"
#include "transfer/CatalogueExport.h"
#include "transfer/CatalogueImport.h"
#include "transfer/FileText.h"
#include "transfer/NewCatalogueImport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

void Error(const std::string& text) {
    std::fprintf(stderr, "shelfwarden: %s\n", text.c_str());
}

MessageSink ToStderr() {
    return [](const std::string& m) { Error(m); };
}

// What a path names. A missing file is fine where one is to be made; anything that is there
// must be a regular file.
struct PathState {
    bool exists = false;
    std::string failure; // why the path cannot be used, or empty
};

PathState Inspect(const std::string& path) {
    PathState state;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            state.failure = std::strerror(errno);
        }
        return state;
    }
    state.exists = true;
    if (!S_ISREG(st.st_mode)) {
        state.failure = "not a regular file";
    }
    return state;
}

void ReportImportFailure(const ImportResult& r, const std::string& csvPath,
                         const std::string& catalogue) {
    std::string where = r.catalogueFailed ? catalogue : csvPath;
    if (!r.catalogueFailed && r.errorLine > 0) {
        where += ":" + std::to_string(r.errorLine);
    }
    Error(where + ": " + r.error + "; nothing imported");
}

// The rejects file must be a new or regular file in a folder that takes it, and neither the file
// read nor the catalogue or its journal files.
std::string RejectsPathFailure(const std::string& rejects, const std::string& csvPath,
                               const std::string& catalogue) {
    const PathState state = Inspect(rejects);
    if (!state.failure.empty()) {
        return state.failure;
    }
    if (IsSameFile(rejects, csvPath)) {
        return "is the file imported";
    }
    return OutputRefusalText(CheckOutputTarget(rejects, catalogue));
}

void PrintImportSummary(const ImportResult& r, const std::string& catalogue,
                        const ImportOptions& options, const std::string& rejectsPath) {
    std::printf("Imported %d books, %d types, %d states into %s\n", r.books, r.types, r.states,
                catalogue.c_str());
    const int skipped = options.skipDuplicates ? r.duplicates : 0;
    if (options.setAsideRejects) {
        std::printf("Rejected %zu rows, written to %s\n",
                    r.rejects.size() - static_cast<std::size_t>(skipped), rejectsPath.c_str());
    }
    if (skipped > 0) {
        std::printf("Skipped %d books already in the catalogue\n", skipped);
    } else if (r.duplicates > 0) {
        std::printf("%d of the books imported were already in the catalogue\n", r.duplicates);
    }
    if (r.isbnsLeftOut > 0) {
        std::printf("%d books imported without their ISBN, which is not a valid one\n",
                    r.isbnsLeftOut);
    }
}

} // namespace

int RunExport(const std::string& catalogue, const std::string& csvPath, bool safeCells) {
    const PathState output = Inspect(csvPath);
    if (!output.failure.empty()) {
        Error(csvPath + ": " + output.failure + "; nothing written");
        return 1;
    }
    if (const OutputCheck check = CheckOutputTarget(csvPath, catalogue); !check) {
        Error(csvPath + ": " + OutputRefusalText(check) + "; nothing written");
        return 1;
    }
    CBookDatabase db(ToStderr());
    if (!db.Open(catalogue)) {
        Error(catalogue + ": " + db.LastFailure());
        return 1;
    }
    std::string csv;
    ExportOptions options;
    options.safeCells = safeCells;
    if (!ExportCsv(db, csv, options)) {
        Error(catalogue + ": the books cannot be read: " + db.LastFailure());
        return 1;
    }
    const std::string failure = ReplaceFileWith(csvPath, csv);
    if (!failure.empty()) {
        Error(csvPath + ": cannot be written: " + failure);
        return 1;
    }
    return 0;
}

int RunImport(const std::string& csvPath, const std::string& catalogue,
              const std::string& rejectsPath, ImportOptions options) {
    std::string text;
    std::string failure;
    if (!ReadRegularFile(csvPath, text, failure)) {
        Error(csvPath + ": cannot be read: " + failure);
        return 1;
    }
    const PathState target = Inspect(catalogue);
    if (!target.failure.empty()) {
        Error(catalogue + ": " + target.failure);
        return 1;
    }
    options.setAsideRejects = !rejectsPath.empty();
    if (options.setAsideRejects) {
        failure = RejectsPathFailure(rejectsPath, csvPath, catalogue);
        if (!failure.empty()) {
            Error(rejectsPath + ": " + failure + "; nothing imported");
            return 1;
        }
    }
    ImportResult r;
    if (!target.exists) {
        r = ImportIntoNewCatalogue(text, catalogue, options, ToStderr());
    } else {
        CBookDatabase db(ToStderr());
        if (!db.Open(catalogue)) {
            Error(catalogue + ": " + db.LastFailure());
            return 1;
        }
        r = ImportCsv(text, db, options);
        db.Close();
    }
    if (!r.ok) {
        ReportImportFailure(r, csvPath, catalogue);
        return 1;
    }
    if (!r.ignoredColumns.empty()) {
        std::string names;
        for (const std::string& c : r.ignoredColumns) {
            names += (names.empty() ? "\"" : ", \"") + c + "\"";
        }
        Error(csvPath + ": columns not used: " + names);
    }
    if (options.setAsideRejects) {
        failure = ReplaceFileWith(rejectsPath, RejectsCsv(r));
        if (!failure.empty()) {
            Error(rejectsPath + ": cannot be written: " + failure + "; the books are imported");
            return 1;
        }
    }
    PrintImportSummary(r, catalogue, options, rejectsPath);
    return 0;
}

int RunBackup(const std::string& catalogue, const BackupSettings& settings) {
    const BackupResult r = BackUpCatalogue(catalogue, settings, LocalToday(), ToStderr());
    if (r.outcome == BackupResult::Outcome::Refused) {
        Error(catalogue + ": " + r.failure);
    }
    if (r.outcome != BackupResult::Outcome::Made) {
        return 1;
    }
    std::printf("%s\n", r.path.c_str());
    return 0;
}
