#include "CatalogueCopy.h"

#include "CBookDatabase.h"
#include "CEngineException.h"
#include "CEngineRecordset.h"
#include "CatalogueMessages.h"
#include "StatementFormat.h"
#include "TransactionGuard.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
}

std::string TemporaryPrefix(const std::filesystem::path& target) {
    return "." + target.filename().string() + ".part-";
}

std::string TemporarySibling(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    return (FolderOf(target) / (TemporaryPrefix(target) + std::to_string(::getpid()) + "-" +
                                std::to_string(counter++)))
        .string();
}

// A copy whose process was killed leaves its temporary file behind; the next copy onto the same
// target removes those whose process no longer runs.
void RemoveAbandonedTemporaries(const std::filesystem::path& target) {
    const std::string prefix = TemporaryPrefix(target);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(FolderOf(target), error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0) {
            continue;
        }
        const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::filesystem::remove(entry.path(), error);
        }
    }
}

void RemoveQuietly(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::filesystem::remove(path + "-journal", ignored);
}

// Makes a rename durable: the folder entry is on disk once this returns.
void SyncFolderOf(const std::filesystem::path& file) {
    const int fd = ::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The counters of AUTOINCREMENT travel with the rows: the copy must not give again an identifier
// the source has already used, or an old book would take the name of a type added later.
void CopyCounters(CEngineDatabase& target) {
    CEngineRecordset set(target);
    set.Open("SELECT count(*) AS n FROM src.sqlite_master WHERE name = 'sqlite_sequence'");
    set.MoveFirst();
    if (set.GetLong("n") == 0) {
        return;
    }
    target.Execute("INSERT INTO main.sqlite_sequence(name, seq) SELECT name, 0 FROM "
                   "src.sqlite_sequence WHERE name IN ('books', 'types', 'states') AND name NOT "
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
        CopyCounters(target);
        transaction.Commit();
    } catch (const CEngineException&) {
        target.Execute("DETACH DATABASE src");
        throw;
    }
    target.Execute("DETACH DATABASE src");
}

// The file a rename must replace: the one a symbolic link points to, not the link.
std::filesystem::path RealTarget(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    const auto resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path : resolved;
}

// A replaced file keeps who may read and write it.
void KeepPermissions(const std::filesystem::path& existing, const std::string& replacement) {
    struct stat st {};
    if (::stat(existing.c_str(), &st) == 0) {
        ::chmod(replacement.c_str(), st.st_mode & 07777);
    }
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
            sink(msg::kCannotCreateDatabase);
            sink(msg::kCannotCreateTable);
        }
        return nullptr;
    }
    const std::filesystem::path target = RealTarget(path);
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
        KeepPermissions(target, temporary);
        std::error_code error;
        std::filesystem::rename(temporary, target, error);
        if (error) {
            failure = msg::kCannotCreateDatabase;
        } else {
            SyncFolderOf(target);
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
