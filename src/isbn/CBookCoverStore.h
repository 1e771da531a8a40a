#pragma once

#include "store/MessageSink.h"
#include "store/OwnTable.h"

#include <cstdint>
#include <optional>
#include <string>

class CBookDatabase;

namespace msg {
inline constexpr const char* kCoversUnusable =
    "Copertile nu pot fi folosite: tabela book_covers este deteriorata sau are alta forma!";
inline constexpr const char* kCoverNotJpeg = "Coperta nu este o imagine JPEG.";
inline constexpr const char* kCoverTooBig = "Coperta este prea mare: cel mult 4 MB.";
} // namespace msg

// The covers the user chose for the books of one open catalogue, kept in the program's own table
// as JPEG bytes, which the first cover chosen makes. A catalogue without the table has no covers
// and reads as such, quietly; a table of that name the program did not make refuses every
// operation with one message and stays as it is. Each operation reports its own failure once
// through the sink and returns its failure value.
class CBookCoverStore : private OwnTableKeeper {
public:
    CBookCoverStore(CBookDatabase& db, MessageSink sink);

    // Whether covers can be kept: false, told, when the table is not the program's own.
    bool IsUsable();
    // The book's cover as stored, empty when it has none; nothing when it cannot be read.
    std::optional<std::string> Read(std::int32_t id);
    // Replaces the book's cover with `jpeg`; empty bytes remove it. Refused, with its message,
    // for bytes that are no JPEG or more than a cover may take.
    bool Write(std::int32_t id, const std::string& jpeg);
};
