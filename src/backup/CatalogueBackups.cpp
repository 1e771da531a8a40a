#include "backup/CatalogueBackups.h"

#include "store/CBookDatabase.h"
#include "store/CEngineDatabase.h"
#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CountedNoun.h"
#include "store/OutputTarget.h"
#include "store/SiblingFiles.h"
#include "store/UserReasons.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <sqlite3.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono;

namespace {

// How long a copy waits for a writer of another program to let go of the catalogue.
constexpr int kBusyWaitMs = 30000;
constexpr int kBusyPollMs = 20;

// The full name of a file or folder, its links followed; it need not exist.
fs::path FullName(const std::string& path) {
    std::error_code error;
    const fs::path full = fs::weakly_canonical(fs::absolute(path, error), error);
    return error ? fs::absolute(path, error) : full;
}

std::string CopyName(BackupDay day, int number) {
    return DayText(day) + (number > 1 ? "." + std::to_string(number) : std::string()) + ".mdb";
}

// The day and number of a copy's file name; nothing for any other file.
std::optional<BackupCopy> ParseCopyName(const fs::path& path) {
    const std::string name = path.filename().string();
    int y = 0;
    unsigned m = 0;
    unsigned d = 0;
    int number = 1;
    if (std::sscanf(name.c_str(), "%4d-%2u-%2u.%d", &y, &m, &d, &number) < 3) {
        return std::nullopt;
    }
    BackupCopy copy;
    copy.day = year_month_day(year(y), month(m), day(d));
    copy.number = number;
    copy.path = path.string();
    if (!copy.day.ok() || number < 1 || CopyName(copy.day, number) != name) {
        return std::nullopt;
    }
    return copy;
}

// The copies in `folder`, newest first, without looking inside them.
std::vector<BackupCopy> ScanCopies(const std::string& folder) {
    std::vector<BackupCopy> copies;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (auto copy = ParseCopyName(entry.path()); copy && entry.is_regular_file(error)) {
            copies.push_back(*copy);
        }
    }
    std::sort(copies.begin(), copies.end(), [](const BackupCopy& a, const BackupCopy& b) {
        return sys_days(a.day) != sys_days(b.day) ? sys_days(a.day) > sys_days(b.day)
                                                  : a.number > b.number;
    });
    return copies;
}

// The first row of SQLite's check of a database: "ok" when it finds no fault.
std::string CheckResult(CEngineDatabase& db, const char* pragma) {
    CEngineRecordset set(db);
    set.Open(pragma);
    set.MoveFirst();
    return set.IsEOF() ? std::string() : set.GetText(0);
}

// Looks inside a copy: its pages (a quick check) and its number of books. A copy that is not a
// database at all, or whose pages fail the check, is damaged; one that cannot be read now
// (permissions) is only unknown.
void Inspect(BackupCopy& copy) {
    CEngineDatabase db;
    try {
        db.Open(copy.path, true);
    } catch (const CEngineException& e) {
        copy.damaged = e.Failure() == EngineFailure::NotACatalogue;
        return;
    }
    try {
        copy.damaged = CheckResult(db, "PRAGMA quick_check") != "ok";
    } catch (const CEngineException&) {
        copy.damaged = true;
    }
    try {
        CEngineRecordset set(db);
        set.Open("SELECT count(*) AS n FROM books");
        set.MoveFirst();
        copy.books = set.GetLong("n");
    } catch (const CEngineException&) {
        copy.books = -1;
    }
}

// Why a copy may not replace a catalogue: it fails SQLite's full integrity check, or lacks a
// table the program reads. Empty when it may.
std::string RestoreRefusal(CEngineDatabase& copy) {
    try {
        if (CheckResult(copy, "PRAGMA integrity_check") != "ok") {
            return msg::kDamagedCopy;
        }
        CEngineRecordset set(copy);
        set.Open("SELECT (SELECT count(*) FROM books) + (SELECT count(*) FROM types) + "
                 "(SELECT count(*) FROM states) AS n");
    } catch (const CEngineException& e) {
        return e.Reason();
    }
    return {};
}

// Copies every page of `source` into `destination` in one read transaction, waiting while another
// program holds the catalogue. Returns the reason of a failure, or an empty text.
std::string CopyPages(sqlite3* source, sqlite3* destination) {
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
    if (backup == nullptr) {
        return sqlite3_errmsg(destination);
    }
    int rc = SQLITE_OK;
    for (int waited = 0; waited <= kBusyWaitMs; waited += kBusyPollMs) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED) {
            break;
        }
        sqlite3_sleep(kBusyPollMs);
    }
    sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE ? std::string() : sqlite3_errstr(rc);
}

// The copy is on disk before it takes its name.
std::string SyncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    const int error = errno;
    if (fd >= 0) {
        ::close(fd);
    }
    return synced ? std::string() : std::strerror(error);
}

bool HasCopyOf(const std::string& folder, BackupDay day) {
    const auto copies = ScanCopies(folder);
    return std::any_of(copies.begin(), copies.end(),
                       [day](const BackupCopy& c) { return c.day == day; });
}

int NextNumber(const std::string& folder, BackupDay day) {
    int last = 0;
    for (const BackupCopy& c : ScanCopies(folder)) {
        if (c.day == day) {
            last = std::max(last, c.number);
        }
    }
    return last + 1;
}

// Writes the database of `source` into the new file `temporary`. Returns the reason of a
// failure, or an empty text.
std::string WriteTemporaryCopy(sqlite3* source, const std::string& temporary) {
    sqlite3* destination = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    // A temporary file needs no journal: when anything fails, it is deleted whole.
    std::string failure =
        sqlite3_open_v2(temporary.c_str(), &destination, flags, nullptr) == SQLITE_OK &&
                sqlite3_exec(destination, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF",
                             nullptr, nullptr, nullptr) == SQLITE_OK
            ? CopyPages(source, destination)
            : std::string(sqlite3_errmsg(destination));
    sqlite3_close_v2(destination);
    return failure.empty() ? SyncFile(temporary) : failure;
}

// Writes a file's bytes as they are into the new file `temporary`, flushed to disk.
std::string WriteTemporaryBytes(const std::string& file, const std::string& temporary) {
    std::error_code error;
    fs::copy_file(file, temporary, error);
    return error ? error.message() : SyncFile(temporary);
}

// Puts a copy into `folder` as the day's next copy, whole or not at all: `write` makes it under
// the temporary name given. The copy never takes the name of a file that is there: when another
// program made the day's copy meanwhile, it takes the next number. Returns the reason of a
// failure, or an empty text.
std::string WriteNewCopy(const std::function<std::string(const std::string&)>& write,
                         const std::string& folder, BackupDay today, std::string& path) {
    constexpr int kTries = 100;
    const std::string first = (fs::path(folder) / CopyName(today, 1)).string();
    RemoveAbandonedTemporaries(first);
    const std::string temporary = TemporarySibling(first);
    std::string failure = write(temporary);
    for (int i = 0; failure.empty() && i < kTries; ++i) {
        path = (fs::path(folder) / CopyName(today, NextNumber(folder, today))).string();
        failure = RenameIntoNewPlace(temporary, path);
        if (failure.empty()) {
            return {};
        }
        std::error_code error;
        if (fs::exists(path, error)) {
            failure.clear(); // taken meanwhile: the next number
        }
    }
    RemoveQuietly(temporary);
    return failure.empty() ? std::strerror(EEXIST) : failure;
}

std::uint32_t ShortHash(const std::string& text) {
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 16777619u;
    }
    return hash;
}

// A catalogue the program will not open cannot take a copy through SQLite: its bytes are kept as
// they are, as a further copy of the day, and the chosen copy is renamed over it.
std::string ReplaceUnopenable(const std::string& catalogue, sqlite3* chosen,
                              const BackupSettings& settings, BackupDay today) {
    const std::string folder = BackupFolderOf(settings.root, catalogue);
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) {
        return error.message();
    }
    // A catalogue that is gone has nothing to keep.
    if (fs::exists(catalogue, error)) {
        std::string kept;
        const std::string failure = WriteNewCopy(
            [&catalogue](const std::string& temporary) {
                return WriteTemporaryBytes(catalogue, temporary);
            },
            folder, today, kept);
        if (!failure.empty()) {
            return failure;
        }
        RotateBackups(folder, today, settings, kept);
    }
    const std::string target = RealTarget(catalogue);
    RemoveAbandonedTemporaries(target);
    const std::string temporary = TemporarySibling(target);
    std::string failure = WriteTemporaryCopy(chosen, temporary);
    if (failure.empty()) {
        failure = RenameIntoPlace(temporary, target);
    }
    if (!failure.empty()) {
        RemoveQuietly(temporary);
    }
    return failure;
}

} // namespace

BackupDay LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return year_month_day(year(local.tm_year + 1900),
                          month(static_cast<unsigned>(local.tm_mon + 1)),
                          day(static_cast<unsigned>(local.tm_mday)));
}

std::string DayText(BackupDay d) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(d.year()),
                  static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()));
    return text;
}

std::string SizeText(std::int64_t bytes) {
    constexpr std::int64_t kKilo = 1024;
    char text[32];
    if (bytes < kKilo * kKilo) {
        std::snprintf(text, sizeof text, "%lld KB",
                      static_cast<long long>((bytes + kKilo - 1) / kKilo));
    } else {
        const long long tenths = (bytes * 10 + kKilo * kKilo / 2) / (kKilo * kKilo);
        std::snprintf(text, sizeof text, "%lld,%lld MB", tenths / 10, tenths % 10);
    }
    return text;
}

std::array<std::string, 3> BackupRowTexts(const BackupCopy& copy) {
    const std::string number =
        copy.number > 1 ? " (" + std::to_string(copy.number) + ")" : std::string();
    const std::string books = copy.damaged     ? std::string(msg::kDamagedMark)
                              : copy.books < 0 ? std::string("?")
                                               : std::to_string(copy.books);
    return {DayText(copy.day) + number, SizeText(copy.bytes), books};
}

std::string RestoreQuestion(const BackupCopy& copy) {
    const auto texts = BackupRowTexts(copy);
    const std::string books =
        copy.books < 0 ? texts[2] + " carti" : CountedNoun(copy.books, "carte", "carti");
    return "Baza de date va fi inlocuita cu copia din " + texts[0] + " (" + books +
           "). Starea de acum se pastreaza intr-o copie noua, din care poate fi readusa. "
           "Continuati?";
}

std::string BackupFolderOf(const std::string& root, const std::string& catalogue) {
    const fs::path full = FullName(catalogue);
    char hash[16];
    std::snprintf(hash, sizeof hash, "%08x", static_cast<unsigned>(ShortHash(full.string())));
    return (fs::path(root) / (full.filename().string() + "-" + hash)).string();
}

bool IsInsideBackupRoot(const std::string& path, const std::string& root) {
    const std::string folder = FullName(root).string() + "/";
    return FullName(path).string().rfind(folder, 0) == 0;
}

std::vector<BackupCopy> ListBackups(const std::string& folder) {
    std::vector<BackupCopy> copies = ScanCopies(folder);
    for (BackupCopy& c : copies) {
        std::error_code error;
        const auto size = fs::file_size(c.path, error);
        c.bytes = error ? 0 : static_cast<std::int64_t>(size);
        Inspect(c);
    }
    return copies;
}

bool HasBackups(const std::string& folder) {
    return !ScanCopies(folder).empty();
}

BackupResult BackUpCatalogue(const std::string& catalogue, const BackupSettings& settings,
                             BackupDay today, const MessageSink& sink) {
    BackupResult result;
    CEngineDatabase source;
    try {
        if (IsInsideBackupRoot(catalogue, settings.root)) {
            throw CEngineException("is a backup copy");
        }
        source.Open(catalogue);
    } catch (const CEngineException& e) {
        result.outcome = BackupResult::Outcome::Refused;
        result.failure = e.Reason();
        return result;
    }
    const std::string folder = BackupFolderOf(settings.root, catalogue);
    std::error_code error;
    fs::create_directories(folder, error);
    const OutputCheck check =
        CheckOutputTarget((fs::path(folder) / CopyName(today, 1)).string(), catalogue);
    if (error) {
        result.failure = error.message();
    } else if (!check) {
        result.failure = OutputRefusalText(check);
    } else {
        result.failure = WriteNewCopy(
            [&source](const std::string& temporary) {
                return WriteTemporaryCopy(source.Handle(), temporary);
            },
            folder, today, result.path);
    }
    if (!result.failure.empty()) {
        result.path.clear();
        if (sink) {
            sink(std::string(msg::kBackupFailed) + " in " + folder + ": " +
                 RomanianReason(result.failure));
        }
        return result;
    }
    result.outcome = BackupResult::Outcome::Made;
    RotateBackups(folder, today, settings, result.path);
    return result;
}

BackupResult BackUpOnFirstOpen(const std::string& catalogue, const BackupSettings& settings,
                               BackupDay today, const MessageSink& sink) {
    if (HasCopyOf(BackupFolderOf(settings.root, catalogue), today)) {
        BackupResult result;
        result.outcome = BackupResult::Outcome::NotNeeded;
        return result;
    }
    return BackUpCatalogue(catalogue, settings, today, sink);
}

BackupResult BackUpOnClose(CBookDatabase& open, const BackupSettings& settings, BackupDay today,
                           const MessageSink& sink) {
    // Counts the rows this connection inserted, changed or deleted: reading changes none.
    if (!open.IsOpen() || sqlite3_total_changes64(open.Engine().Handle()) == 0) {
        BackupResult result;
        result.outcome = BackupResult::Outcome::NotNeeded;
        return result;
    }
    return BackUpOnFirstOpen(open.GetPath(), settings, today, sink);
}

void RotateBackups(const std::string& folder, BackupDay today, const BackupSettings& settings,
                   const std::string& keep) {
    const std::vector<BackupCopy> copies = ScanCopies(folder);
    // A clock set back makes the copy just made older than the newest ones: it stays all the same.
    std::set<std::string> kept = {keep};
    // The newest day always stays: it holds the copy just made.
    const int daily = std::max(1, settings.daily);
    int days = 0;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        days += i == 0 || copies[i].day != copies[i - 1].day ? 1 : 0;
        if (days > daily) {
            break;
        }
        kept.insert(copies[i].path);
    }
    const year_month thisMonth(today.year(), today.month());
    for (int k = 0; k < settings.monthly; ++k) {
        const year_month wanted = thisMonth - months(k);
        // Newest first: the month's first copy is the last one of it in the list.
        const auto first = std::find_if(copies.rbegin(), copies.rend(), [&](const BackupCopy& c) {
            return year_month(c.day.year(), c.day.month()) == wanted;
        });
        if (first != copies.rend()) {
            kept.insert(first->path);
        }
    }
    for (const BackupCopy& c : copies) {
        if (kept.count(c.path) == 0) {
            RemoveQuietly(c.path);
        }
    }
}

bool RestoreBackup(const std::string& catalogue, const std::string& copy,
                   const BackupSettings& settings, BackupDay today, const MessageSink& sink) {
    auto fail = [&sink](const std::string& why) {
        if (sink) {
            sink(std::string(msg::kRestoreFailed) + ": " + RomanianReason(why));
        }
        return false;
    };
    // Opened before the catalogue's own copy is made, so that no rotation can take it away.
    CEngineDatabase chosen;
    try {
        chosen.Open(copy, true);
    } catch (const CEngineException& e) {
        return fail(copy + ": " + e.Reason());
    }
    if (const std::string refusal = RestoreRefusal(chosen); !refusal.empty()) {
        return fail(copy + ": " + refusal);
    }
    CEngineDatabase target;
    try {
        target.Open(catalogue);
    } catch (const CEngineException& e) {
        // Only a file no program can use as a catalogue is replaced around SQLite; one that is
        // busy or cannot be read now stays as it is.
        const EngineFailure why = e.Failure();
        if (why != EngineFailure::NotACatalogue && why != EngineFailure::ForeignSchema &&
            why != EngineFailure::NotFound) {
            return fail(catalogue + ": " + e.Reason());
        }
        const std::string failure = ReplaceUnopenable(catalogue, chosen.Handle(), settings, today);
        return failure.empty() || fail(failure);
    }
    const BackupResult before = BackUpCatalogue(catalogue, settings, today, nullptr);
    if (before.outcome != BackupResult::Outcome::Made) {
        return fail(before.failure);
    }
    const std::string failure = CopyPages(chosen.Handle(), target.Handle());
    return failure.empty() || fail(failure);
}
