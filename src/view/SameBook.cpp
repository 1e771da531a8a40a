#include "view/SameBook.h"

#include "store/CBookDatabase.h"
#include "store/CEngineRecordset.h"
#include "view/QuickFilter.h"

std::string SameBookKey(std::string_view titlu, std::string_view autor) {
    return FoldForFilter(titlu) + '\x1f' + FoldForFilter(autor);
}

namespace {
// Calls `take` with the key of every stored book until it returns true.
template <class Take> void ScanStoredKeys(CBookDatabase& db, Take&& take) {
    CEngineRecordset set(db.Engine());
    set.Open("SELECT titlu, autor FROM books");
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        if (take(SameBookKey(set.GetText(0), set.GetText(1)))) {
            return;
        }
    }
}
} // namespace

std::unordered_set<std::string> StoredBookKeys(CBookDatabase& db) {
    std::unordered_set<std::string> keys;
    ScanStoredKeys(db, [&keys](std::string key) {
        keys.insert(std::move(key));
        return false;
    });
    return keys;
}

bool CatalogueHoldsBook(CBookDatabase& db, std::string_view titlu, std::string_view autor) {
    const std::string wanted = SameBookKey(titlu, autor);
    bool found = false;
    ScanStoredKeys(db, [&](const std::string& key) { return found = key == wanted; });
    return found;
}
