#include "store/RomanianCollation.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sqlite3.h>
#include <unicode/ucol.h>
#include <unicode/ustring.h>
#include <vector>

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

// A text's key is a blob, so a text sorts after every number as it does under the collation; a
// first byte keeps the keys of texts before the blobs a column may hold.
constexpr unsigned char kTextKey = 0;
constexpr unsigned char kBlobKey = 1;

void ResultBlobKey(sqlite3_context* context, sqlite3_value* value) {
    const auto* bytes = static_cast<const unsigned char*>(sqlite3_value_blob(value));
    const int length = sqlite3_value_bytes(value);
    std::vector<unsigned char> key(static_cast<std::size_t>(length) + 1, kBlobKey);
    if (length > 0) {
        std::memcpy(key.data() + 1, bytes, static_cast<std::size_t>(length));
    }
    sqlite3_result_blob(context, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

// Writes the collator's key of a UTF-8 text after `key`'s first `at` bytes and returns its length
// without the closing zero byte, or 0 when ICU cannot make it. Ill-formed UTF-8 reads as U+FFFD,
// as the collation reads it.
std::size_t WriteTextKey(const UCollator* collator, std::string_view text, std::size_t at,
                         std::vector<UChar>& utf16, std::vector<std::uint8_t>& key) {
    utf16.resize(text.size() + 1);
    UErrorCode status = U_ZERO_ERROR;
    int32_t units = 0;
    u_strFromUTF8WithSub(utf16.data(), static_cast<int32_t>(utf16.size()), &units, text.data(),
                         static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) {
        return 0;
    }
    key.resize(std::max(key.size(), at + static_cast<std::size_t>(units) * 4 + 16));
    const auto capacity = static_cast<int32_t>(key.size() - at);
    int32_t length = ucol_getSortKey(collator, utf16.data(), units, key.data() + at, capacity);
    if (length > capacity) {
        key.resize(at + static_cast<std::size_t>(length));
        length = ucol_getSortKey(collator, utf16.data(), units, key.data() + at, length);
    }
    // The key's closing zero byte adds nothing to the order.
    return length > 0 ? static_cast<std::size_t>(length - 1) : 0;
}

void SortKey(sqlite3_context* context, int, sqlite3_value** argv) {
    sqlite3_value* value = argv[0];
    const int type = sqlite3_value_type(value);
    if (type == SQLITE_BLOB) {
        ResultBlobKey(context, value);
        return;
    }
    if (type != SQLITE_TEXT) {
        sqlite3_result_value(context, value);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    const auto bytes = static_cast<std::size_t>(sqlite3_value_bytes(value));
    thread_local std::vector<UChar> utf16;
    thread_local std::vector<std::uint8_t> key;
    const auto* collator = static_cast<const UCollator*>(sqlite3_user_data(context));
    const std::size_t length =
        WriteTextKey(collator, std::string_view(text != nullptr ? text : "", bytes), 1, utf16, key);
    if (length == 0) {
        sqlite3_result_error(context, "cannot make a sort key", -1);
        return;
    }
    key[0] = kTextKey;
    sqlite3_result_blob(context, key.data(), static_cast<int>(length + 1), SQLITE_TRANSIENT);
}

UCollator* OpenRomanianCollator() {
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("ro", &status);
    if (U_FAILURE(status)) {
        ucol_close(collator);
        return nullptr;
    }
    return collator;
}

} // namespace

int RegisterRomanianCollation(sqlite3* db) {
    UCollator* collator = OpenRomanianCollator();
    if (collator == nullptr) {
        return SQLITE_ERROR;
    }
    const int rc = sqlite3_create_collation_v2(db, kTextCollationName, SQLITE_UTF8, collator,
                                               CompareRomanian, DestroyCollator);
    if (rc != SQLITE_OK) {
        return rc;
    }
    // The collation's destructor closes the collator, which outlives the function with the
    // connection.
    return sqlite3_create_function_v2(db, kSortKeyFunctionName, 1,
                                      SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY,
                                      collator, SortKey, nullptr, nullptr, nullptr);
}

TextSortKeys::TextSortKeys() : m_collator(OpenRomanianCollator()) {}

TextSortKeys::~TextSortKeys() {
    ucol_close(m_collator);
}

std::optional<std::string_view> TextSortKeys::Key(std::string_view text) {
    if (m_collator == nullptr) {
        return std::nullopt;
    }
    const std::size_t length = WriteTextKey(m_collator, text, 0, m_utf16, m_key);
    if (length == 0) {
        return std::nullopt;
    }
    return std::string_view(reinterpret_cast<const char*>(m_key.data()), length);
}
