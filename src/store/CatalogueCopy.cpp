#include "CatalogueCopy.h"

#include "CBookDatabase.h"
#include "CEngineException.h"
#include "CatalogueMessages.h"
#include "StatementFormat.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
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
    if (failure.empty()) {
        std::error_code error;
        std::filesystem::rename(temporary, path, error);
        if (error) {
            failure = msg::kCannotCreateDatabase;
        } else {
            SyncFolderOf(path);
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
