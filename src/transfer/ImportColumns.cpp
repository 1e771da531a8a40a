#include "transfer/ImportColumns.h"

#include "view/QuickFilter.h"

#include <algorithm>
#include <utility>

namespace {

// Headers as GuessImportField compares them: folded as the quick filter folds, with every run of
// spaces, underscores and hyphens made one space.
std::string HeaderKey(std::string_view header) {
    std::string key;
    for (const char c : FoldForFilter(header)) {
        const bool blank = c == ' ' || c == '_' || c == '-' || c == '\t';
        if (!blank) {
            key += c;
        } else if (!key.empty() && key.back() != ' ') {
            key += ' ';
        }
    }
    while (!key.empty() && key.back() == ' ') {
        key.pop_back();
    }
    return key;
}

// The names each field goes by, as HeaderKey writes them.
const std::vector<std::pair<ImportField, std::vector<const char*>>>& Aliases() {
    using F = ImportField;
    static const std::vector<std::pair<ImportField, std::vector<const char*>>> aliases{
        {F::Titlu, {"titlu", "title", "titlul", "book title", "titlu carte"}},
        {F::Autor, {"autor", "author", "authors", "autori", "autorul", "writer"}},
        {F::Editura, {"editura", "publisher", "edituri", "publishing house"}},
        {F::Tip, {"tip", "type", "gen", "genre", "categorie", "category"}},
        {F::Pagini,
         {"pagini", "pages", "number of pages", "num pages", "page count", "numar pagini",
          "numar de pagini", "nr pagini", "nr. pagini"}},
        {F::Capitole, {"capitole", "chapters", "numar capitole", "nr capitole"}},
        {F::Volume, {"volume", "volumes", "numar volume", "nr volume"}},
        // "An aparitie" is the book dialog's name for the year of first publication; a bare year
        // or an edition names the copy in hand, so it is the volume's year.
        {F::Publicare,
         {"an aparitie", "anul aparitiei", "original publication year", "first published",
          "year first published", "first publication year"}},
        {F::PublicareVolum,
         {"an publicare volum", "year published", "publication year", "publication date",
          "an publicare", "anul publicarii", "data publicarii", "an", "anul", "year", "editie",
          "anul editiei", "edition year"}},
        {F::Citita, {"citita", "citit", "read"}},
        {F::Calificativ, {"calificativ"}},
        {F::Stare, {"stare", "state"}},
        {F::Shelf, {"exclusive shelf"}},
        {F::Stars, {"my rating"}},
        {F::Isbn, {"isbn", "isbn10", "isbn 10"}},
        {F::Isbn13, {"isbn13", "isbn 13"}},
        {F::Locatie, {"locatie", "location", "loc", "locatia", "raft", "raftul", "shelf"}},
        {F::Serie, {"serie", "series", "seria", "colectie", "colectia", "collection"}},
        {F::NumarSerie, {"numar in serie", "numar serie", "series number", "nr serie"}},
        {F::Note, {"note", "notes", "private notes", "notite"}},
        {F::Adaugata, {"adaugata", "adaugat", "data adaugarii", "date added", "added on"}},
    };
    return aliases;
}

} // namespace

const std::vector<ImportField>& ImportFieldChoices() {
    using F = ImportField;
    static const std::vector<ImportField> choices{
        F::Titlu,      F::Autor,     F::Editura,        F::Tip,    F::Pagini,      F::Capitole,
        F::Volume,     F::Publicare, F::PublicareVolum, F::Citita, F::Calificativ, F::Stare,
        F::Shelf,      F::Stars,     F::Isbn,           F::Isbn13, F::Locatie,     F::Serie,
        F::NumarSerie, F::Note,      F::Adaugata,       F::None};
    return choices;
}

std::string ImportFieldName(ImportField field) {
    switch (field) {
    case ImportField::Titlu:
        return "Titlu";
    case ImportField::Autor:
        return "Autor";
    case ImportField::Editura:
        return "Editura";
    case ImportField::Tip:
        return "Tip";
    case ImportField::Pagini:
        return "Pagini";
    case ImportField::Capitole:
        return "Capitole";
    case ImportField::Volume:
        return "Volume";
    case ImportField::Publicare:
        return "An aparitie";
    case ImportField::PublicareVolum:
        return "An publicare volum";
    case ImportField::Citita:
        return "Citita";
    case ImportField::Calificativ:
        return "Calificativ";
    case ImportField::Stare:
        return "Stare";
    case ImportField::Shelf:
        return "Raft (read, to-read)";
    case ImportField::Stars:
        return "Stele (0 la 5)";
    case ImportField::Isbn:
        return "ISBN";
    case ImportField::Isbn13:
        return "ISBN-13";
    case ImportField::Locatie:
        return "Locatie";
    case ImportField::Serie:
        return "Serie";
    case ImportField::NumarSerie:
        return "Numar in serie";
    case ImportField::Note:
        return "Note";
    case ImportField::Adaugata:
        return "Adaugata";
    case ImportField::None:
        break;
    }
    return "(nu se importa)";
}

ImportField GuessImportField(std::string_view header) {
    const std::string key = HeaderKey(header);
    for (const auto& [field, names] : Aliases()) {
        if (std::find(names.begin(), names.end(), key) != names.end()) {
            return field;
        }
    }
    return ImportField::None;
}

std::vector<ImportField> GuessImportColumns(const std::vector<std::string>& header) {
    std::vector<ImportField> columns;
    for (const std::string& h : header) {
        columns.push_back(GuessImportField(h));
    }
    return columns;
}

bool IsLeftOutColumn(std::string_view header) {
    const std::string key = HeaderKey(header);
    return key == "id" || key == "linie" || key == "motiv";
}
