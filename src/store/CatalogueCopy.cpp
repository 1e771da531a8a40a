#include "store/CatalogueCopy.h"

#include "store/CBookDatabase.h"
#include "store/CatalogueMessages.h"
#include "store/SiblingFiles.h"
#include "store/UserReasons.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// How long a copy waits, in steps, while another program holds the source.
constexpr int kBusyPollMs = 50;
constexpr int kBusyWaitMs = 5000;

// Copies every page of `source` into the new file `temporary`, in one read transaction, and
// flushes it to disk. Returns the message of a failure, or nothing.
std::string CopyPages(sqlite3* source, const std::string& temporary) {
    sqlite3* destination = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    // The temporary file needs no journal: when anything fails, it is deleted whole.
    const bool created =
        sqlite3_open_v2(temporary.c_str(), &destination, flags, nullptr) == SQLITE_OK &&
        sqlite3_exec(destination, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF", nullptr,
                     nullptr, nullptr) == SQLITE_OK;
    // Why the file could not be made, in the user's words.
    const std::string whyNot = created || destination == nullptr
                                   ? std::string()
                                   : "\n" + SystemReason(sqlite3_system_errno(destination));
    bool copied = created;
    if (copied) {
        sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
        int rc = backup == nullptr ? SQLITE_ERROR : SQLITE_BUSY;
        for (int waited = 0; backup != nullptr && waited <= kBusyWaitMs; waited += kBusyPollMs) {
            rc = sqlite3_backup_step(backup, -1);
            if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) {
                break;
            }
            sqlite3_sleep(kBusyPollMs);
        }
        copied = sqlite3_backup_finish(backup) == SQLITE_OK && rc == SQLITE_DONE;
    }
    sqlite3_close_v2(destination);
    if (!copied) {
        return created ? std::string(msg::kCannotInsert) : msg::kCannotCreateDatabase + whyNot;
    }
    const int fd = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return synced ? std::string() : msg::kCannotInsert;
}

// Builds the new catalogue under `temporary`; returns the message of a failure, or nothing.
std::string BuildCopy(CBookDatabase& source, const std::string& temporary) {
    std::string failure;
    auto firstOnly = [&failure](const std::string& text) {
        if (failure.empty()) {
            failure = text;
        }
    };
    CBookDatabase building(firstOnly);
    if (!source.IsOpen()) {
        if (building.Create(temporary)) {
            building.CreateTables();
            building.Close();
        }
        return failure;
    }
    if (std::string copied = CopyPages(source.Engine().Handle(), temporary); !copied.empty()) {
        return copied;
    }
    // Opened as the program opens a catalogue, the copy is one it can use.
    if (building.Open(temporary)) {
        building.Close();
    }
    return failure.empty() ? std::string() : msg::kCannotInsert;
}

} // namespace

std::unique_ptr<CBookDatabase> CopyCatalogue(CBookDatabase& source, const std::string& path,
                                             const MessageSink& sink) {
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
    std::string failure = BuildCopy(source, temporary);
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
