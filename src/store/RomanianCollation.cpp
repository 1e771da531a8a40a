#include "store/RomanianCollation.h"

#include <algorithm>
#include <cstring>
#include <sqlite3.h>
#include <unicode/ucol.h>
#include <unicode/uiter.h>

namespace {

int CompareBytes(int lenA, const void* a, int lenB, const void* b) {
    const int common = std::min(lenA, lenB);
    if (common > 0) {
        const int c = std::memcmp(a, b, static_cast<std::size_t>(common));
        if (c != 0) {
            return c < 0 ? -1 : 1;
        }
    }
    return lenA == lenB ? 0 : (lenA < lenB ? -1 : 1);
}

int CompareRomanian(void* context, int lenA, const void* a, int lenB, const void* b) {
    auto* collator = static_cast<UCollator*>(context);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(collator, static_cast<const char*>(a), lenA,
                                                static_cast<const char*>(b), lenB, &status);
    if (U_SUCCESS(status) && r != UCOL_EQUAL) {
        return r == UCOL_LESS ? -1 : 1;
    }
    return CompareBytes(lenA, a, lenB, b);
}

void DestroyCollator(void* context) {
    ucol_close(static_cast<UCollator*>(context));
}

} // namespace

int RegisterRomanianCollation(sqlite3* db) {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("ro", &status);
    if (U_FAILURE(status)) {
        return SQLITE_ERROR;
    }
    return sqlite3_create_collation_v2(db, kTextCollationName, SQLITE_UTF8, collator,
                                       CompareRomanian, DestroyCollator);
}
