#include "view/SameBook.h"

#include "store/CBookDatabase.h"
#include "store/CEngineRecordset.h"
#include "view/QuickFilter.h"

std::string SameBookKey(std::string_view titlu, std::string_view autor) {
    return FoldForFilter(titlu) + '\x1f' + FoldForFilter(autor);
}

std::unordered_set<std::string> StoredBookKeys(CBookDatabase& db) {
    CEngineRecordset set(db.Engine());
    set.Open("SELECT titlu, autor FROM books");
    std::unordered_set<std::string> keys;
    keys.reserve(static_cast<std::size_t>(set.GetRecordCount()));
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        keys.insert(SameBookKey(set.GetText(0), set.GetText(1)));
    }
    return keys;
}

bool CatalogueHoldsBook(CBookDatabase& db, std::string_view titlu, std::string_view autor) {
    const std::string key = SameBookKey(titlu, autor);
    CEngineRecordset set(db.Engine());
    set.Open("SELECT titlu, autor FROM books");
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        if (SameBookKey(set.GetText(0), set.GetText(1)) == key) {
            return true;
        }
    }
    return false;
}
