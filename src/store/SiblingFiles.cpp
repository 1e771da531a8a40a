#include "store/SiblingFiles.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::filesystem::path FolderOf(const std::filesystem::path& file) {
    return file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
}

// Room left in a file name for the temporary's process id and counter.
constexpr std::size_t kNameMax = 255;
constexpr std::size_t kSuffixRoom = 32;

std::string TemporaryPrefix(const std::filesystem::path& target) {
    const std::string prefix = "." + target.filename().string() + ".part-";
    return prefix.size() + kSuffixRoom <= kNameMax
               ? prefix
               : prefix.substr(0, kNameMax - kSuffixRoom - 6) + ".part-";
}

// Makes a rename durable: the folder entry is on disk once this returns.
void SyncFolderOf(const std::filesystem::path& file) {
    const int fd = ::open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

} // namespace

std::string TemporarySibling(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return (FolderOf(target) / (TemporaryPrefix(target) + std::to_string(::getpid()) + "-" +
                                std::to_string(counter++)))
        .string();
}

void RemoveAbandonedTemporaries(const std::string& target) {
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

std::string RealTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    const auto resolved = std::filesystem::weakly_canonical(path, error);
    return error ? path : resolved.string();
}

std::string RenameIntoPlace(const std::string& temporary, const std::string& target) {
    // A replaced file keeps who may read and write it.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        ::chmod(temporary.c_str(), st.st_mode & 07777);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return std::strerror(errno);
    }
    SyncFolderOf(target);
    return {};
}

std::string RenameIntoNewPlace(const std::string& temporary, const std::string& target) {
    int rc = ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE);
    if (rc != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without the no-replace rename: a hard link fails just the same when the
        // name is taken.
        rc = ::link(temporary.c_str(), target.c_str());
        if (rc == 0) {
            ::unlink(temporary.c_str());
        }
    }
    if (rc != 0) {
        return std::strerror(errno);
    }
    SyncFolderOf(target);
    return {};
}

std::string ReplaceFileWith(const std::string& path, std::string_view bytes) {
    const std::string target = RealTarget(path);
    RemoveAbandonedTemporaries(target);
    const std::string temporary = TemporarySibling(target);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return std::strerror(errno);
    }
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        RemoveQuietly(temporary);
        return std::strerror(written ? errno : writeError);
    }
    std::string failure = RenameIntoPlace(temporary, target);
    if (!failure.empty()) {
        RemoveQuietly(temporary);
    }
    return failure;
}
