#include "stats/NameStatistics.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"

#include <map>
#include <utility>

namespace {

struct Statements {
    const char* column;
    const char* readCounts;
    const char* allCounts;
    const char* readSums;
};

constexpr Statements kAuthors{
    "autor",
    "SELECT DISTINCT autor, \t\t\tcount(id) as idn \t\t\tFROM books WHERE citita = -1 \t\t\tGROUP "
    "by autor",
    "SELECT DISTINCT autor, count(id) as idn \t\t\tFROM books GROUP by autor",
    "SELECT autor, \t\t\tsum(pagini) as spag, \t\t\tsum(volume) as svol, \t\t\tsum(capitole) as "
    "scap "
    "\t\t\tFROM books WHERE citita = -1 GROUP BY autor"};
constexpr Statements kPublishers{
    "editura",
    "SELECT DISTINCT editura, \t\t\tcount(id) as idn \t\t\tFROM books WHERE citita = -1 "
    "\t\t\tGROUP by "
    "editura",
    "SELECT DISTINCT editura, count(id) as idn \t\t\tFROM books GROUP by editura",
    "SELECT editura, \t\t\tsum(pagini) as spag, \t\t\tsum(volume) as svol, \t\t\tsum(capitole) as "
    "scap "
    "\t\t\tFROM books WHERE citita = -1 GROUP BY editura"};

// A grouped name: a missing value is its own group, apart from the empty text.
using NameKey = std::pair<bool, std::string>;

NameKey KeyOf(const CEngineRecordset& set, int field) {
    return {set.IsNull(field), set.GetText(field)};
}

struct ReadSums {
    std::string volumes;
    std::string pages;
    std::string chapters;
};

} // namespace

std::vector<NameStatisticsRow> ComputeNameStatistics(CBookDatabase& db, NameStatisticsMode mode) {
    const Statements& st = mode == NameStatisticsMode::Authors ? kAuthors : kPublishers;
    auto readCounts = db.OpenQuery(st.readCounts);
    auto allCounts = db.OpenQuery(st.allCounts);
    auto readSums = db.OpenQuery(st.readSums);
    std::vector<NameStatisticsRow> rows;
    if (!readCounts || !allCounts || !readSums || allCounts->GetRecordCount() <= 0) {
        return rows;
    }
    try {
        std::map<NameKey, std::string> readNumbers;
        const int readName = readCounts->FieldIndex(st.column);
        const int readIdn = readCounts->FieldIndex("idn");
        for (readCounts->MoveFirst(); !readCounts->IsEOF(); readCounts->MoveNext()) {
            readNumbers[KeyOf(*readCounts, readName)] =
                std::to_string(readCounts->GetInteger(readIdn));
        }
        std::map<NameKey, ReadSums> sums;
        const int sumName = readSums->FieldIndex(st.column);
        const int spag = readSums->FieldIndex("spag");
        const int svol = readSums->FieldIndex("svol");
        const int scap = readSums->FieldIndex("scap");
        for (readSums->MoveFirst(); !readSums->IsEOF(); readSums->MoveNext()) {
            // Sums as whole numbers: a real is truncated toward zero, an empty sum is 0.
            sums[KeyOf(*readSums, sumName)] = {std::to_string(readSums->GetInteger(svol)),
                                               std::to_string(readSums->GetInteger(spag)),
                                               std::to_string(readSums->GetInteger(scap))};
        }
        const int name = allCounts->FieldIndex(st.column);
        const int idn = allCounts->FieldIndex("idn");
        rows.reserve(static_cast<std::size_t>(allCounts->GetRecordCount()));
        int i = 0;
        for (allCounts->MoveFirst(); !allCounts->IsEOF(); allCounts->MoveNext()) {
            const NameKey key = KeyOf(*allCounts, name);
            const auto read = readNumbers.find(key);
            const auto sum = sums.find(key);
            const ReadSums zero{"0", "0", "0"};
            const ReadSums& s = sum == sums.end() ? zero : sum->second;
            rows.push_back(
                {std::to_string(++i), key.second, std::to_string(allCounts->GetInteger(idn)),
                 read == readNumbers.end() ? "0" : read->second, s.volumes, s.pages, s.chapters});
        }
    } catch (const CEngineException&) {
        rows.clear();
    }
    return rows;
}
