#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CBookDatabase;
class LookupList;

// The pictures of the collection, each drawn from the books of one listing.
enum class ChartKind {
    Decades,    // by the decade of first publication; unknown years apart
    Types,      // by type
    States,     // by state
    Read,       // read and unread
    Authors,    // the 20 authors with most books
    Publishers, // the 20 publishers with most books
    Added,      // books added per month (the details' date); undated apart
    Loans,      // loans of the books per month they were lent in
    Borrowers,  // the 20 borrowers holding most of the books now
};

// One bar or slice: its label, its figure, and the listing of exactly its books (a statement
// without ORDER BY, ready to be the list's current statement).
struct ChartBar {
    std::string label;
    std::int64_t count = 0;
    std::string books;
    // Shown apart from the others (books whose year or date is unknown).
    bool apart = false;
};

// The names of the types and states, and what the list shows for a value none of them has.
struct ChartLookups {
    const LookupList& types;
    const std::string& undefinedType;
    const LookupList& states;
    const std::string& undefinedState;
};

// The bars of a chart over `listing` (the list's current statement: every book, or a search's
// result; empty for every book), in the order they are drawn. Months run without gaps from the
// first to the last, so a month without books shows as 0. Nothing when a statement failed; the
// database has said why.
std::optional<std::vector<ChartBar>> ComputeChart(CBookDatabase& db, ChartKind kind,
                                                  const std::string& listing,
                                                  const ChartLookups& names);

// How many books the listing holds; nothing when its statement failed.
std::optional<std::int64_t> CountListing(CBookDatabase& db, const std::string& listing);

// The listing as a title names it: "toate cartile", "cartile citite", "rezultatul cautarii".
std::string ListingName(const std::string& listing);

// A chart's tab text.
const char* ChartTitle(ChartKind kind);
