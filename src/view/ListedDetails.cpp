#include "view/ListedDetails.h"

#include "isbn/CBookDetailsStore.h"
#include "store/CBookDatabase.h"
#include "store/CEngineDatabase.h"
#include "store/DetailsSchema.h"

const ListedDetail& ListedDetails::Of(std::int32_t id) const {
    static const ListedDetail none;
    const auto found = m_byId.find(id);
    return found == m_byId.end() ? none : found->second;
}

void ListedDetails::Set(std::int32_t id, const BookDetails& details) {
    if (details.isbn.empty() && details.locatie.empty()) {
        m_byId.erase(id);
    } else {
        m_byId[id] = {details.isbn, details.locatie};
    }
}

const char* ListedDetailHeader(int column) {
    return column == kIsbnColumn ? "ISBN" : "Locatie";
}

const std::string& ListedDetailText(const ListedDetail& detail, int column) {
    return column == kIsbnColumn ? detail.isbn : detail.locatie;
}

ListedDetails ReadListedDetails(CBookDatabase& db) {
    // Most catalogues have no details: then a look in the schema is all a listing costs.
    ListedDetails listed;
    if (!db.Engine().HasTable(kDetailsTable)) {
        return listed;
    }
    const bool read = CBookDetailsStore(db, {}).ReadIsbnsAndLocations(
        [&listed](std::int32_t id, std::string_view isbn, std::string_view locatie) {
            if (!isbn.empty() || !locatie.empty()) {
                listed.m_byId[id] = {std::string(isbn), std::string(locatie)};
            }
        });
    return read ? listed : ListedDetails();
}
