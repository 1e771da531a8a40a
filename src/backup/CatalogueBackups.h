#pragma once

#include "store/MessageSink.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class CBookDatabase;

// Copies of a catalogue kept for a person who deleted, overwrote or lost it by mistake.
//
// A copy is made with SQLite's online backup, in one read transaction, so it is consistent even
// while another program writes: it holds all or none of each of that program's transactions.
// The copies of one catalogue live in a folder of their own under a root folder, named after the
// catalogue's file and a short hash of its full path ("books.mdb-3f9a01c2"): a person recognises
// it, and two catalogues of the same name never mix. A copy is named after its day
// ("2026-12-06.mdb"); a further copy of the same day gets a number ("2026-12-06.2.mdb"). Every
// copy is built under a temporary name beside its place and renamed into place only when
// complete, so a failure leaves no partial copy. The day is always given by the caller.

using BackupDay = std::chrono::year_month_day;

// Where copies go and how many stay: every copy of the newest `daily` days that have copies, and
// the first copy of each of the last `monthly` calendar months. The rest is deleted after each
// new copy.
struct BackupSettings {
    std::string root;
    int daily = 7;
    int monthly = 12;
};

struct BackupCopy {
    BackupDay day;
    int number = 1; // the day's first copy is 1
    std::string path;
    std::int64_t bytes = 0;
    long books = -1;      // -1 when the copy cannot be read
    bool damaged = false; // its pages do not pass SQLite's check: it cannot be restored
};

struct BackupResult {
    enum class Outcome { Made, NotNeeded, Refused, Failed };
    Outcome outcome = Outcome::Failed;
    std::string path;    // the new copy, when made
    std::string failure; // why none was made, when refused or failed
};

// The local calendar day now.
BackupDay LocalToday();
// "2026-12-06".
std::string DayText(BackupDay day);
// "12 KB", "8,1 MB".
std::string SizeText(std::int64_t bytes);

// A copy's row in the list of copies: its day ("2026-12-06", "2026-12-06 (2)" for a further
// copy of the day), its size and its number of books ("?" when it cannot be read, "deteriorata"
// when it is damaged).
std::array<std::string, 3> BackupRowTexts(const BackupCopy& copy);
// The question asked before `copy` replaces the catalogue.
std::string RestoreQuestion(const BackupCopy& copy);

// The folder of the copies of `catalogue` under `root`.
std::string BackupFolderOf(const std::string& root, const std::string& catalogue);

// True when `path` lies inside the folder of copies `root`: such a file is a copy, opened for
// reading only and never itself copied.
bool IsInsideBackupRoot(const std::string& path, const std::string& root);

// The copies in `folder`, newest first, each with its size and its number of books, and marked
// damaged when SQLite's quick check finds fault with its pages.
std::vector<BackupCopy> ListBackups(const std::string& folder);
// True when `folder` holds at least one copy; nothing is opened.
bool HasBackups(const std::string& folder);

// Makes a copy of `catalogue` now and deletes the copies no longer kept; the copy just made is
// always kept, whatever day the clock gives. A file the program refuses to open, and a file in
// the folder of copies, is never copied (Refused, no message: opening it tells why). A copy that
// cannot be written (folder not writable, disk full) reports one message to `sink`, leaves
// nothing behind and changes nothing else (Failed). A copy never replaces a file: when another
// program took the name meanwhile, the copy takes the day's next number.
BackupResult BackUpCatalogue(const std::string& catalogue, const BackupSettings& settings,
                             BackupDay today, const MessageSink& sink);

// The same, on the day's first opening only: NotNeeded when `today` has a copy already.
BackupResult BackUpOnFirstOpen(const std::string& catalogue, const BackupSettings& settings,
                               BackupDay today, const MessageSink& sink);

// The same, as the catalogue open on `open` is closed: NotNeeded when nothing was written to it
// through `open` since it was opened, or when `today` has a copy already. So a catalogue made and
// filled on a day it was never opened on (Save As) has that day's copy too.
BackupResult BackUpOnClose(CBookDatabase& open, const BackupSettings& settings, BackupDay today,
                           const MessageSink& sink);

// Deletes the copies in `folder` that `settings` does not keep, never the copy `kept`.
void RotateBackups(const std::string& folder, BackupDay today, const BackupSettings& settings,
                   const std::string& kept = {});

// Puts the copy `copy` in place of `catalogue`. The copy must pass SQLite's integrity check and
// be a catalogue the program opens; then the catalogue is copied itself, so restoring that copy
// undoes the restore, and the chosen copy is written into it with SQLite's online backup, which
// holds the catalogue's write lock for the whole replacement: a program writing the catalogue
// meanwhile finishes its transaction first or waits, and the catalogue is at every moment the old
// one or the copy. Its file, permission bits and links stay. On failure one message goes to
// `sink`, the catalogue is left as it was and false is returned.
bool RestoreBackup(const std::string& catalogue, const std::string& copy,
                   const BackupSettings& settings, BackupDay today, const MessageSink& sink);

namespace msg {
inline constexpr const char* kBackupFailed = "Nu se poate face copia de siguranta a bazei de date";
inline constexpr const char* kRestoreFailed = "Nu se poate restaura copia de siguranta";
inline constexpr const char* kDamagedCopy = "copia este deteriorata";
inline constexpr const char* kDamagedMark = "deteriorata";
} // namespace msg
