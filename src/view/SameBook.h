#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

class CBookDatabase;

// Two books are the same book when their titles and their authors match as the quick filter
// matches texts: letter case and accents do not count.

// Title and author as such a comparison sees them.
std::string SameBookKey(std::string_view titlu, std::string_view autor);

// The keys of every book of the catalogue. Throws CEngineException when it cannot be read.
std::unordered_set<std::string> StoredBookKeys(CBookDatabase& db);

// Whether the catalogue holds a book with this title and author. Throws CEngineException when it
// cannot be read.
bool CatalogueHoldsBook(CBookDatabase& db, std::string_view titlu, std::string_view autor);
