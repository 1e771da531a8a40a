#include "isbn/LookupCache.h"

#include "isbn/IsbnCode.h"
#include "store/SiblingFiles.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

bool LookupCache::MayName(std::string_view isbn13) {
    return isbn13.size() == 13 &&
           std::all_of(isbn13.begin(), isbn13.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           CheckIsbn(isbn13).isbn13 == isbn13;
}

std::string LookupCache::Folder(Kind kind) const {
    switch (kind) {
    case Kind::Answer:
        return m_folder + "/answers";
    case Kind::FirstYear:
        return m_folder + "/years";
    case Kind::Cover:
        break;
    }
    return m_folder + "/covers";
}

std::string LookupCache::Path(Kind kind, const std::string& isbn13) const {
    return Folder(kind) + "/" + isbn13 + (kind == Kind::Cover ? ".img" : ".json");
}

std::optional<LookupCache::Kept> LookupCache::Read(Kind kind, const std::string& isbn13) const {
    if (!MayName(isbn13)) {
        return std::nullopt;
    }
    // Not blocking: a FIFO put there opens at once and is then refused as no regular file.
    const int fd =
        ::open(Path(kind, isbn13).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        if (errno != ENOENT) {
            Forget(kind, isbn13);
        }
        return std::nullopt;
    }
    struct stat st {};
    Kept kept;
    bool whole = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
                 static_cast<std::size_t>(st.st_size) <= Limit(kind);
    if (whole) {
        kept.bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (done < kept.bytes.size()) {
            const ssize_t n = ::read(fd, kept.bytes.data() + done, kept.bytes.size() - done);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            done += static_cast<std::size_t>(n);
        }
        whole = done == kept.bytes.size();
        kept.ageSeconds = std::max<std::int64_t>(0, std::time(nullptr) - st.st_mtime);
    }
    ::close(fd);
    if (!whole) {
        Forget(kind, isbn13);
        return std::nullopt;
    }
    return kept;
}

bool LookupCache::Write(Kind kind, const std::string& isbn13, std::string_view bytes) const {
    if (!MayName(isbn13) || bytes.empty() || bytes.size() > Limit(kind)) {
        return false;
    }
    std::error_code ignored;
    std::filesystem::create_directories(Folder(kind), ignored);
    // Whatever has the name now (a link, a FIFO, an older file) is replaced, never written through.
    Forget(kind, isbn13);
    return ReplaceFileWith(Path(kind, isbn13), bytes).empty();
}

void LookupCache::Forget(Kind kind, const std::string& isbn13) const {
    if (MayName(isbn13)) {
        ::unlink(Path(kind, isbn13).c_str());
    }
}
