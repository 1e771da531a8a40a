#include "SearchStatements.h"

std::string ListingStatement(const std::string& base) {
    return base + " ORDER BY titlu";
}
