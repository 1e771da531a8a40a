#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The look-up's answers and covers kept on disk, one file per ISBN, so that an ISBN is not asked
// twice. The folder is the user's, but what lies in it may have been put there by anyone: a file
// is named only after 13 checked digits, a link is never followed, only a regular file of bounded
// size is read (never a FIFO or a device), and a file is written whole or not at all. A file that
// cannot be used is removed, so that the ISBN is asked again.
class LookupCache {
public:
    // A book's answer, its work's first year of publication, its cover.
    enum class Kind { Answer, FirstYear, Cover };

    // Bigger files are neither read nor kept.
    static constexpr std::size_t kAnswerLimit = 2 * 1024 * 1024;
    static constexpr std::size_t kCoverLimit = 5 * 1024 * 1024;

    struct Kept {
        std::string bytes;
        std::int64_t ageSeconds = 0; // since it was written
    };

    explicit LookupCache(std::string folder) : m_folder(std::move(folder)) {}

    // Whether `isbn13` may name a file: 13 digits, 978 or 979 first, the check digit right.
    static bool MayName(std::string_view isbn13);
    static std::size_t Limit(Kind kind) { return kind == Kind::Cover ? kCoverLimit : kAnswerLimit; }

    // The file kept for this ISBN, when there is one that may be read.
    std::optional<Kept> Read(Kind kind, const std::string& isbn13) const;
    // Keeps `bytes` for this ISBN; false, with nothing left behind, when it cannot (a name that
    // is no ISBN, too many bytes, a full disk).
    bool Write(Kind kind, const std::string& isbn13, std::string_view bytes) const;
    // Removes what is kept for this ISBN (a link itself, never what it points to).
    void Forget(Kind kind, const std::string& isbn13) const;

    // The folder of a kind, and the file of an ISBN in it, for one who fills the cache in bulk
    // (the benchmark's covers) without a flush per file.
    std::string Folder(Kind kind) const;
    std::string Path(Kind kind, const std::string& isbn13) const;

private:
    std::string m_folder;
};
