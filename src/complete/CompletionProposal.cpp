#include "complete/CompletionProposal.h"

#include "store/BookFieldChecks.h"
#include "store/DetailsSchema.h"
#include "view/SameBook.h"

#include <algorithm>
#include <array>
#include <sstream>

namespace {

struct FieldPlace {
    CompletedField field;
    const char* name;
    const char* column;
    bool details; // in the details table, not in `books`
    bool number;
};

constexpr std::array<FieldPlace, 8> kPlaces{{
    {CompletedField::Titlu, "Titlu", "titlu", false, false},
    {CompletedField::Autor, "Autor", "autor", false, false},
    {CompletedField::Editura, "Editura", "editura", false, false},
    {CompletedField::Pagini, "Pagini", "pagini", false, true},
    {CompletedField::Publicare, "Prima publicare", "publicare", false, true},
    {CompletedField::PublicareVolum, "Publicare volum", "publicare_volum", false, true},
    {CompletedField::Serie, "Serie", "serie", true, false},
    {CompletedField::NumarSerie, "Numar in serie", "numar_serie", true, true},
}};

const FieldPlace& PlaceOf(CompletedField field) {
    return *std::ranges::find(kPlaces, field, &FieldPlace::field);
}

// The value of a column as the list shows it: empty when unknown, a number 0 included.
std::string Shown(const std::vector<std::string>& columns, const std::vector<StoredValue>& values,
                  const FieldPlace& place) {
    const auto at = std::ranges::find(columns, place.column);
    if (at == columns.end()) {
        return {};
    }
    const StoredValue& v = values[static_cast<std::size_t>(at - columns.begin())];
    if (const auto* n = std::get_if<std::int64_t>(&v)) {
        return *n == 0 && place.number ? std::string() : std::to_string(*n);
    }
    if (const auto* text = std::get_if<std::string>(&v)) {
        return *text;
    }
    return {};
}

// What the record knows of the field, as text; empty when it does not know it or the catalogue
// could not hold it.
std::string Known(const LookupRecord& found, CompletedField field) {
    const auto number = [](std::int32_t n, bool bookColumn) {
        if (IsUnknown(n) || n == 0 || (bookColumn && !FitsNumberColumn(n))) {
            return std::string();
        }
        return std::to_string(n);
    };
    const auto text = [](const std::string& t) { return FitsTextColumn(t) ? t : std::string(); };
    switch (field) {
    case CompletedField::Titlu:
        return text(found.titlu);
    case CompletedField::Autor:
        return text(found.autor);
    case CompletedField::Editura:
        return text(found.editura);
    case CompletedField::Pagini:
        return number(found.pagini, true);
    case CompletedField::Publicare:
        return number(found.publicare, true);
    case CompletedField::PublicareVolum:
        return number(found.publicare_volum, true);
    case CompletedField::Serie:
        return text(found.serie);
    case CompletedField::NumarSerie:
        return number(found.numar_serie, false);
    }
    return {};
}

std::vector<std::string> DetailsColumnNames() {
    std::vector<std::string> names;
    std::stringstream all(kDetailsColumns);
    for (std::string name; std::getline(all, name, ',');) {
        names.push_back(name);
    }
    return names;
}

void Set(std::vector<std::string>& columns, std::vector<StoredValue>& values,
         const FieldPlace& place, const std::string& shown) {
    const auto at = std::ranges::find(columns, place.column);
    if (at == columns.end()) {
        return;
    }
    StoredValue& v = values[static_cast<std::size_t>(at - columns.begin())];
    if (place.number) {
        v = std::int64_t{std::stoll(shown)};
    } else {
        v = shown;
    }
}

} // namespace

const char* CompletedFieldName(CompletedField field) {
    return PlaceOf(field).name;
}

std::vector<CompletionProposal> ProposeCompletion(const StoredBook& book, const LookupRecord& found,
                                                  const std::string& source,
                                                  bool byTitleAndAuthor) {
    std::vector<CompletionProposal> proposals;
    const auto idAt = std::ranges::find(book.columns, "id");
    if (idAt == book.columns.end()) {
        return proposals;
    }
    const auto* id = std::get_if<std::int64_t>(
        &book.values[static_cast<std::size_t>(idAt - book.columns.begin())]);
    const std::string title = StoredText(book, "titlu");
    for (const FieldPlace& place : kPlaces) {
        const std::string proposed = Known(found, place.field);
        const std::string now = place.details ? Shown(book.detailColumns, book.detailValues, place)
                                              : Shown(book.columns, book.values, place);
        if (proposed.empty() || proposed == now) {
            continue;
        }
        proposals.push_back({.book = id ? static_cast<std::int32_t>(*id) : 0,
                             .title = title,
                             .field = place.field,
                             .now = now,
                             .proposed = proposed,
                             .source = source,
                             .checked = now.empty() && !byTitleAndAuthor});
    }
    return proposals;
}

StoredBook CompletedBook(const StoredBook& book, const std::vector<CompletionProposal>& chosen) {
    StoredBook after = book;
    for (const CompletionProposal& p : chosen) {
        const FieldPlace& place = PlaceOf(p.field);
        if (!place.details) {
            Set(after.columns, after.values, place, p.proposed);
            continue;
        }
        if (after.detailColumns.empty()) {
            after.detailColumns = DetailsColumnNames();
            after.detailValues.assign(after.detailColumns.size(), std::monostate{});
            after.detailValues[0] = std::int64_t{p.book};
        }
        Set(after.detailColumns, after.detailValues, place, p.proposed);
    }
    return after;
}

bool SameTitleAndAuthor(const std::string& titlu, const std::string& autor,
                        const LookupRecord& found) {
    return !titlu.empty() && !autor.empty() && !found.titlu.empty() && !found.autor.empty() &&
           SameBookKey(titlu, autor) == SameBookKey(found.titlu, found.autor);
}
