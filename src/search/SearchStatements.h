#pragma once

#include <optional>
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

// The numeric searches: one column, a single value or an inclusive range.
struct NumericSearch {
    const char* singleStatement;
    const char* rangeStatement;
    const char* nothingFound;
};

inline constexpr NumericSearch kSearchPages{
    "SELECT * FROM books WHERE pagini = %d",
    "SELECT * FROM books WHERE pagini >= %d AND pagini <= %d",
    "Nu exista nici o inregistrare cu acest numar de pagini!"};
inline constexpr NumericSearch kSearchChapters{
    "SELECT * FROM books WHERE capitole = %d",
    "SELECT * FROM books WHERE capitole >= %d AND capitole <= %d",
    "Nu exista nici o inregistrare cu acest numar de capitole!"};
inline constexpr NumericSearch kSearchVolumes{
    "SELECT * FROM books WHERE volume = %d",
    "SELECT * FROM books WHERE volume >= %d AND volume <= %d",
    "Nu exista nici o inregistrare cu acest numar de volume!"};
inline constexpr NumericSearch kSearchFirstPublished{
    "SELECT * FROM books WHERE publicare = %d",
    "SELECT * FROM books WHERE publicare >= %d AND publicare <= %d",
    "Nu exista nici o inregistrare cu acest an al primei publicari!"};
inline constexpr NumericSearch kSearchVolumePublished{
    "SELECT * FROM books WHERE publicare_volum = %d",
    "SELECT * FROM books WHERE publicare_volum >= %d AND publicare_volum <= %d",
    "Nu exista nici o inregistrare cu acest an al publicarii!"};

// The two kinds of numeric search: one value, or a range from `min` to `max`.
inline constexpr int kSingleValue = 0;
inline constexpr int kValueRange = 1;

// kSingleValue searches for `value`; any other kind for `min` to `max`.
std::string NumericSearchStatement(const NumericSearch& search, int kind, int value, int min,
                                   int max);

// The composite search: every field that is set takes part, joined with AND in this order.
struct CompositeCriteria {
    std::optional<std::string> title;
    std::optional<std::string> author;
    std::optional<std::string> publisher;
    std::optional<int> type; // stored value: the type's identifier minus one
    std::optional<int> pages;
    std::optional<int> chapters;
    std::optional<int> volumes;
    std::optional<int> firstPublished;
    std::optional<int> volumePublished;
    std::optional<int> read; // position in the read names
    std::optional<int> rating;
    std::optional<int> state; // stored value: the state's identifier minus one
};

inline constexpr const char* kCompositeNothingFound =
    "Nu exista nici o potrivire pentru criteriul specificat!";

// The statement without ORDER BY, or "" when no field is set.
std::string CompositeStatement(const CompositeCriteria& c);
