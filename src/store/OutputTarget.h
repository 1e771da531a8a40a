#pragma once

#include <string>

// The one check every file the program writes passes before anything is stored or written: the
// export, the rejects of an import, the printed PDF, a backup. A file written there must neither
// be the open catalogue nor one of the files SQLite keeps beside it (its "-journal", "-wal" and
// "-shm"), which the next opening would delete or replay; the folder must take a new file.

enum class OutputRefusal {
    None,
    NotRegularFile,    // something other than a file is there
    CatalogueFile,     // the catalogue or one of its journal files
    FolderNotWritable, // the folder is missing or does not take new files
};

struct OutputCheck {
    OutputRefusal refusal = OutputRefusal::None;
    std::string reason; // the system's reason, for a folder that cannot be written
    explicit operator bool() const { return refusal == OutputRefusal::None; }
};

// Checks `target` against the catalogue at `catalogue` (none when empty). The same file is found
// by its device and inode where it exists, by its full name where it does not yet.
OutputCheck CheckOutputTarget(const std::string& target, const std::string& catalogue);

// The refusal in the command line's words ("is the catalogue itself or one of its journal files").
std::string OutputRefusalText(const OutputCheck& check);
