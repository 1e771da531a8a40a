#pragma once

#include <string>

// The single-field searches: the statement that becomes the list's current statement (without
// ORDER BY) and the message when nothing matches.
struct FieldSearch {
    const char* baseStatement;
    const char* nothingFound;
};

inline constexpr FieldSearch kSearchTitle{"SELECT * FROM books WHERE titlu = '%s'",
                                          "Nu exista nici o inregistrare cu acest titlu!"};
inline constexpr FieldSearch kSearchAuthor{"SELECT * FROM books WHERE autor = '%s'",
                                           "Nu exista nici o inregistrare cu acest autor!"};
inline constexpr FieldSearch kSearchPublisher{"SELECT * FROM books WHERE editura = '%s'",
                                              "Nu exista nici o inregistrare cu aceasta editura!"};
inline constexpr FieldSearch kSearchType{"SELECT * FROM books WHERE tip = %d",
                                         "Nu exista nici o inregistrare cu acest tip!"};
inline constexpr FieldSearch kSearchRating{"SELECT * FROM books WHERE calificativ = %d",
                                           "Nu exista nici o inregistrare cu acest calificativ!"};
inline constexpr FieldSearch kSearchState{"SELECT * FROM books WHERE stare = %d",
                                          "Nu exista nici o inregistrare cu aceasta stare!"};

// Every listing of a search runs its base statement ordered by title.
std::string ListingStatement(const std::string& base);
