#include "app/TransferCommands.h"

#include "store/CBookDatabase.h"
#include "store/SiblingFiles.h"
#include "transfer/CatalogueExport.h"
#include "transfer/CatalogueImport.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    struct stat st {};
    std::string failure; // why the path cannot be used, or empty
};

PathState Inspect(const std::string& path) {
    PathState state;
    if (::stat(path.c_str(), &state.st) != 0) {
        if (errno != ENOENT) {
            state.failure = std::strerror(errno);
        }
        return state;
    }
    state.exists = true;
    if (!S_ISREG(state.st.st_mode)) {
        state.failure = "not a regular file";
    }
    return state;
}

// The whole of a regular file; a FIFO, a device or a folder is refused without being read.
bool ReadRegularFile(const std::string& path, std::string& text, std::string& failure) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        failure = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        failure = "not a regular file";
        return false;
    }
    text.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        text.append(buffer, static_cast<std::size_t>(n > 0 ? n : 0));
    }
    const int readError = errno;
    ::close(fd);
    if (n < 0) {
        failure = std::strerror(readError);
        return false;
    }
    return true;
}

void ReportImportFailure(const ImportResult& r, const std::string& csvPath,
                         const std::string& catalogue) {
    std::string where = r.catalogueFailed ? catalogue : csvPath;
    if (!r.catalogueFailed && r.errorLine > 0) {
        where += ":" + std::to_string(r.errorLine);
    }
    Error(where + ": " + r.error + "; nothing imported");
}

// Imports into a new catalogue built under a temporary name and renamed into place only when
// complete, so that a kill or a full disk leaves nothing that blocks the next try.
ImportResult ImportIntoNewCatalogue(const std::string& text, const std::string& catalogue) {
    RemoveAbandonedTemporaries(catalogue);
    const std::string temporary = TemporarySibling(catalogue);
    CBookDatabase db(ToStderr());
    ImportResult r;
    if (!db.Create(temporary)) {
        r.error = "cannot be made: " + db.LastFailure();
        r.catalogueFailed = true;
        return r;
    }
    db.CreateTables();
    r = ImportCsv(text, db);
    db.Close();
    if (r.ok) {
        const std::string failure = RenameIntoPlace(temporary, catalogue);
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

} // namespace

int RunExport(const std::string& catalogue, const std::string& csvPath) {
    const PathState input = Inspect(catalogue);
    const PathState output = Inspect(csvPath);
    if (!output.failure.empty()) {
        Error(csvPath + ": " + output.failure + "; nothing written");
        return 1;
    }
    if (input.exists && output.exists && input.st.st_dev == output.st.st_dev &&
        input.st.st_ino == output.st.st_ino) {
        Error(csvPath + ": is the catalogue itself; nothing written");
        return 1;
    }
    CBookDatabase db(ToStderr());
    if (!db.Open(catalogue)) {
        Error(catalogue + ": " + db.LastFailure());
        return 1;
    }
    std::string csv;
    if (!ExportCsv(db, csv)) {
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

int RunImport(const std::string& csvPath, const std::string& catalogue) {
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
    ImportResult r;
    if (!target.exists) {
        r = ImportIntoNewCatalogue(text, catalogue);
    } else {
        CBookDatabase db(ToStderr());
        if (!db.Open(catalogue)) {
            Error(catalogue + ": " + db.LastFailure());
            return 1;
        }
        r = ImportCsv(text, db);
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
    std::printf("Imported %d books, %d types, %d states into %s\n", r.books, r.types, r.states,
                catalogue.c_str());
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
