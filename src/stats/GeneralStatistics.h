#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CBookDatabase;

// The figures of the general statistics, as the statements return them.
struct GeneralStatistics {
    std::int32_t books = 0;
    std::int32_t readBooks = 0;
    std::int64_t pages = 0;
    std::int64_t readPages = 0;
    std::int64_t chapters = 0;
    std::int64_t readChapters = 0;
    std::int64_t volumes = 0;
    std::int64_t readVolumes = 0;
    long authors = 0;
    long publishers = 0;
    // Before the 19th century, the 19th, the 20th, the 21st: all books, then read books.
    std::array<std::int32_t, 4> centuries{};
    std::array<std::int32_t, 4> readCenturies{};
    // The books whose pages, chapters and volumes are known: all books, then read books.
    struct Known {
        std::int64_t pages = 0;
        std::int64_t chapters = 0;
        std::int64_t volumes = 0;
    };
    Known known;
    Known readKnown;
};

// Runs the statistics statements in their order. When one fails its message has been shown
// and nothing is returned.
std::optional<GeneralStatistics> ComputeGeneralStatistics(CBookDatabase& db);

// One shown figure: the control it goes to, its label and its text.
struct StatisticsFigure {
    int control;
    const char* label;
    std::string text;
};

// The 24 figures in the order the dialog binds them; averages with two decimals.
std::vector<StatisticsFigure> GeneralStatisticsFigures(const GeneralStatistics& s);
