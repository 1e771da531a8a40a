#pragma once

#include <string>
#include <string_view>
#include <vector>

// What a column of a book list fills: a field of a book, one of the two columns of a reading
// site's library export that the program translates (its shelf and its stars), or nothing.
enum class ImportField {
    None,
    Titlu,
    Autor,
    Editura,
    Tip,
    Pagini,
    Capitole,
    Volume,
    Publicare,
    PublicareVolum,
    Citita,
    Calificativ,
    Stare,
    Shelf,
    Stars,
    Isbn,
    Isbn13,
    Locatie,
    Serie,
    NumarSerie,
    Note,
    Adaugata,
};

// Every choice in the order a user is offered them, "(nu se importa)" last.
const std::vector<ImportField>& ImportFieldChoices();

// The name of a choice as the user reads it: the list's header for a book field.
std::string ImportFieldName(ImportField field);

// What a header names, in Romanian or English, whatever its letter case, accents, spaces,
// underscores or hyphens ("titlu", "Title", "authors", "num_pages", "Year Published",
// "original_publication_year"); None for a header nobody could read as a field.
ImportField GuessImportField(std::string_view header);

// The guess for each column of a header. Two columns may guess one field ("Title" and "Titlu"):
// the import refuses that rather than choose, and the user says which.
std::vector<ImportField> GuessImportColumns(const std::vector<std::string>& header);

// Columns an import leaves out without naming them: the identifier of the program's own export,
// and the line and reason of a rejects file.
bool IsLeftOutColumn(std::string_view header);
