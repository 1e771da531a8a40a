#include "view/CoverThumbnails.h"

#include <array>
#include <cstdio>

namespace {

// FNV-1a over the bytes: stable across runs and machines, which a thumbnail's name must be.
std::uint64_t Fingerprint(std::string_view bytes) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

} // namespace

std::string ChosenCoverThumbnail(std::string_view cover, int height) {
    char name[64];
    std::snprintf(name, sizeof name, "c%016llx-%zx-%d.jpg",
                  static_cast<unsigned long long>(Fingerprint(cover)), cover.size(), height);
    return name;
}

std::string LookedUpCoverThumbnail(std::string_view isbn13, int height) {
    if (isbn13.size() != 13 || isbn13.find_first_not_of("0123456789") != std::string_view::npos) {
        return {};
    }
    return "isbn-" + std::string(isbn13) + "-" + std::to_string(height) + ".jpg";
}

CardColour TypeCardColour(std::int32_t type) {
    static constexpr std::array<CardColour, 8> kColours = {{{70, 110, 160},
                                                            {150, 80, 70},
                                                            {80, 130, 90},
                                                            {140, 110, 60},
                                                            {110, 80, 140},
                                                            {60, 130, 130},
                                                            {150, 90, 120},
                                                            {100, 100, 100}}};
    const auto at = static_cast<std::uint32_t>(type) % kColours.size();
    return kColours[at];
}
