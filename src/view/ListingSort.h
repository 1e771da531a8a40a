#pragma once

#include "store/TextOrder.h"

#include <cstdint>
#include <optional>
#include <vector>

class CEngineRecordset;

// Orders the rows of a listing read where they lie, exactly as the engine orders them for the
// statement's ORDER BY: NULL first, then numbers by value, then texts in the text order with
// identical bytes alone equal; each term ascending or descending; rows equal in every term keep
// the order they were read in. Each distinct text gets its sort key once, and the rows are then
// sorted by numbers, which costs far less than the engine's sort of whole rows by keys.
class ListingSort {
public:
    // The terms name fields of `set`; CEngineException when one is missing.
    ListingSort(const CEngineRecordset& set, const std::vector<TrailingOrder::Term>& terms);
    ~ListingSort();
    ListingSort(const ListingSort&) = delete;
    ListingSort& operator=(const ListingSort&) = delete;

    // Reads the ordering values of the set's current row.
    void Add();
    // The positions of the rows read, in order. Nothing when a value was met that is left to the
    // engine to order (a real or a blob), or a text the collator could not key.
    std::optional<std::vector<std::uint32_t>> Order();

private:
    class TermValues;
    const CEngineRecordset& m_set;
    std::vector<TermValues> m_terms;
    std::uint32_t m_rows = 0;
};
