#include "store/BookRecord.h"

#include <tuple>

namespace {
auto UserFields(const BookRecord& r) {
    return std::tie(r.titlu, r.autor, r.editura, r.tip, r.pagini, r.capitole, r.volume, r.publicare,
                    r.publicare_volum, r.citita, r.calificativ, r.stare);
}
} // namespace

bool SameUserFields(const BookRecord& a, const BookRecord& b) {
    return UserFields(a) == UserFields(b);
}
