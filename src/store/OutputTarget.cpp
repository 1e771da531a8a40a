#include "store/OutputTarget.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kSiblingSuffixes[] = {"", "-journal", "-wal", "-shm"};

// The name a file has once every link in its folders is followed; the file itself may be missing.
fs::path FullName(const std::string& path) {
    std::error_code error;
    const fs::path full = fs::weakly_canonical(fs::absolute(path, error), error);
    return error ? fs::absolute(path, error) : full;
}

bool SameInode(const struct stat& a, const std::string& path) {
    struct stat b {};
    return ::stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool IsCatalogueFile(const std::string& target, const std::string& catalogue) {
    struct stat st {};
    const bool exists = ::stat(target.c_str(), &st) == 0;
    const fs::path targetName = FullName(target);
    // SQLite names the journal files after the file a link points to.
    const std::string catalogueName = FullName(catalogue).string();
    for (const char* suffix : kSiblingSuffixes) {
        if ((exists &&
             (SameInode(st, catalogue + suffix) || SameInode(st, catalogueName + suffix))) ||
            targetName == fs::path(catalogueName + suffix)) {
            return true;
        }
    }
    return false;
}

} // namespace

OutputCheck CheckOutputTarget(const std::string& target, const std::string& catalogue) {
    OutputCheck check;
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        check.refusal = OutputRefusal::NotRegularFile;
        return check;
    }
    if (!catalogue.empty() && IsCatalogueFile(target, catalogue)) {
        check.refusal = OutputRefusal::CatalogueFile;
        return check;
    }
    // A file is replaced by renaming a new one over it, so its folder must take new files.
    const fs::path folder = FullName(target).parent_path();
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        check.refusal = OutputRefusal::FolderNotWritable;
        check.reason = std::strerror(errno);
    }
    return check;
}

std::string OutputRefusalText(const OutputCheck& check) {
    switch (check.refusal) {
    case OutputRefusal::None:
        return {};
    case OutputRefusal::NotRegularFile:
        return "not a regular file";
    case OutputRefusal::CatalogueFile:
        return "is the catalogue itself or one of its journal files";
    case OutputRefusal::FolderNotWritable:
        return "its folder cannot be written: " + check.reason;
    }
    return {};
}
