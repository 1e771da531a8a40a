#pragma once

#include "isbn/BookDetails.h"

#include <cstdint>
#include <string>
#include <unordered_map>

// The two details the list can show beside a book's columns, hidden until the user asks for
// them, and which the quick filter searches too.
inline constexpr int kIsbnColumn = 13;
inline constexpr int kLocationColumn = 14;
inline constexpr int kListedColumnCount = 15;

class CBookDatabase;

struct ListedDetail {
    std::string isbn; // 13 digits, or empty
    std::string locatie;
};

// The ISBN and location of the listed books that have any, by identifier.
class ListedDetails {
public:
    ListedDetails() = default;

    // Nothing, or the book's details.
    const ListedDetail& Of(std::int32_t id) const;
    void Set(std::int32_t id, const BookDetails& details);

private:
    friend ListedDetails ReadListedDetails(CBookDatabase& db);
    std::unordered_map<std::int32_t, ListedDetail> m_byId;
};

// The details of the catalogue's books for the list, read quietly: none when the catalogue has
// none, or a details table the program cannot use (the commands that use details say why).
ListedDetails ReadListedDetails(CBookDatabase& db);

// The header of column kIsbnColumn or kLocationColumn.
const char* ListedDetailHeader(int column);
// The text of column kIsbnColumn or kLocationColumn.
const std::string& ListedDetailText(const ListedDetail& detail, int column);
