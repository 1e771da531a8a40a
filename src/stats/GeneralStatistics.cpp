#include "stats/GeneralStatistics.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"

#include <cstdio>

namespace {

constexpr const char* kTotals =
    "SELECT count(id) AS  idn, \t\t\tsum(pagini) AS pag,\t\t\tsum(capitole) "
    "AS cap,\t\t\tsum(volume) AS vol FROM books";
constexpr const char* kReadTotals = "SELECT count(id) AS  idn, \t\t\tsum(pagini) AS pag,\t\t\tsum("
                                    "capitole) AS cap,\t\t\tsum(volume) AS vol FROM books WHERE "
                                    "citita = -1";
// How many books know each number: an average is taken over those, so that a book whose pages
// nobody gave does not pull the pages per book down.
constexpr const char* kKnown =
    "SELECT count(pagini) AS pag, count(capitole) AS cap, count(volume) AS vol FROM books";
constexpr const char* kReadKnown = "SELECT count(pagini) AS pag, count(capitole) AS cap, "
                                   "count(volume) AS vol FROM books WHERE citita = -1";
constexpr std::array<const char*, 4> kCenturies = {
    "SELECT count(id) AS  idn FROM books WHERE publicare <= 1800",
    "SELECT count(id) AS  idn FROM books WHERE publicare > 1800 AND publicare <= 1900",
    "SELECT count(id) AS  idn FROM books WHERE publicare > 1900 AND publicare <= 2000",
    "SELECT count(id) AS  idn FROM books WHERE publicare > 2000"};
constexpr std::array<const char*, 4> kReadCenturies = {
    "SELECT count(id) AS  idn FROM books WHERE publicare <= 1800 AND citita = -1",
    "SELECT count(id) AS  idn FROM books WHERE publicare > 1800 AND publicare <= 1900 AND citita = "
    "-1",
    "SELECT count(id) AS  idn FROM books WHERE publicare > 1900 AND publicare <= 2000 AND citita = "
    "-1",
    "SELECT count(id) AS  idn FROM books WHERE publicare > 2000 AND citita = -1"};

// A sum as a whole number (a real truncated toward zero); an empty sum counts as 0.
std::int64_t Sum(const CEngineRecordset& set, const char* field) {
    return set.GetInteger(set.FieldIndex(field));
}

bool ReadTotals(CBookDatabase& db, const char* statement, std::int32_t& count, std::int64_t& pages,
                std::int64_t& chapters, std::int64_t& volumes) {
    auto set = db.OpenQuery(statement);
    if (!set || set->GetRecordCount() <= 0) {
        return false;
    }
    set->MoveFirst();
    count = set->GetLong("idn");
    pages = Sum(*set, "pag");
    chapters = Sum(*set, "cap");
    volumes = Sum(*set, "vol");
    return true;
}

bool ReadKnown(CBookDatabase& db, const char* statement, GeneralStatistics::Known& known) {
    auto set = db.OpenQuery(statement);
    if (!set || set->GetRecordCount() <= 0) {
        return false;
    }
    set->MoveFirst();
    known = {Sum(*set, "pag"), Sum(*set, "cap"), Sum(*set, "vol")};
    return true;
}

bool ReadCount(CBookDatabase& db, const char* statement, std::int32_t& count) {
    auto set = db.OpenQuery(statement);
    if (!set || set->GetRecordCount() <= 0) {
        return false;
    }
    set->MoveFirst();
    count = set->GetLong("idn");
    return true;
}

std::string Integer(std::int64_t v) {
    return std::to_string(v);
}

std::string Average(std::int64_t sum, std::int64_t count) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f",
                  static_cast<double>(sum) / static_cast<double>(count == 0 ? 1 : count));
    return buf;
}

} // namespace

std::optional<GeneralStatistics> ComputeGeneralStatistics(CBookDatabase& db) {
    GeneralStatistics s;
    try {
        if (!ReadTotals(db, kTotals, s.books, s.pages, s.chapters, s.volumes) ||
            !ReadTotals(db, kReadTotals, s.readBooks, s.readPages, s.readChapters, s.readVolumes) ||
            !ReadKnown(db, kKnown, s.known) || !ReadKnown(db, kReadKnown, s.readKnown)) {
            return std::nullopt;
        }
        auto authors = db.SelectAuthors();
        if (!authors) {
            return std::nullopt;
        }
        s.authors = authors->GetRecordCount();
        auto publishers = db.SelectPublishers();
        if (!publishers) {
            return std::nullopt;
        }
        s.publishers = publishers->GetRecordCount();
        for (std::size_t i = 0; i < kCenturies.size(); ++i) {
            if (!ReadCount(db, kCenturies[i], s.centuries[i])) {
                return std::nullopt;
            }
        }
        for (std::size_t i = 0; i < kReadCenturies.size(); ++i) {
            if (!ReadCount(db, kReadCenturies[i], s.readCenturies[i])) {
                return std::nullopt;
            }
        }
    } catch (const CEngineException&) {
        // A catalogue whose tables lack the columns: no figures.
        return std::nullopt;
    }
    return s;
}

std::vector<StatisticsFigure> GeneralStatisticsFigures(const GeneralStatistics& s) {
    return {
        {1021, "Total carti", Integer(s.books)},
        {1031, "Total edituri", Integer(s.publishers)},
        {1032, "Total pagini/carti", Average(s.pages, s.known.pages)},
        {1033, "Total capitole/carte", Average(s.chapters, s.known.chapters)},
        {1034, "Total volume/carte", Average(s.volumes, s.known.volumes)},
        {1035, "Pagini/carte citite", Average(s.readPages, s.readKnown.pages)},
        {1036, "Capitole/carte citite", Average(s.readChapters, s.readKnown.chapters)},
        {1037, "Volume/carte citite", Average(s.readVolumes, s.readKnown.volumes)},
        {1023, "Carti dinainte secol XIX", Integer(s.centuries[0])},
        {1042, "Carti din secolul XIX", Integer(s.centuries[1])},
        {1043, "Carti din secolul XX", Integer(s.centuries[2])},
        {1022, "Carti citite", Integer(s.readBooks)},
        {1044, "Carti din secolul XXI", Integer(s.centuries[3])},
        {1045, "Carti dinainte secol XIX citite", Integer(s.readCenturies[0])},
        {1046, "Carti din secolul XIX citite", Integer(s.readCenturies[1])},
        {1047, "Carti din secolul XX citite", Integer(s.readCenturies[2])},
        {1048, "Carti din secolul XXI citite", Integer(s.readCenturies[3])},
        {1024, "Total pagini", Integer(s.pages)},
        {1025, "Pagini citite", Integer(s.readPages)},
        {1026, "Total capitole", Integer(s.chapters)},
        {1028, "Total volume", Integer(s.volumes)},
        {1029, "Volume citite", Integer(s.readVolumes)},
        {1030, "Total autori", Integer(s.authors)},
        {1027, "Capitole citite", Integer(s.readChapters)},
    };
}
