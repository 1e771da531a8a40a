#pragma once

#include "lookup/LookupRecord.h"
#include "store/BookHistory.h"

#include <cstdint>
#include <string>
#include <vector>

// What the libraries may fill in a book the catalogue already holds: the fields a list of books
// usually lacks.
enum class CompletedField {
    Titlu,
    Autor,
    Editura,
    Pagini,
    Publicare,
    PublicareVolum,
    Serie,
    NumarSerie
};

// The field's name as the review table shows it ("Pagini", "Serie").
const char* CompletedFieldName(CompletedField field);

// One change a source proposes to one field of one book.
struct CompletionProposal {
    std::int32_t book = 0;
    std::string title; // the book's title now, to name it
    CompletedField field = CompletedField::Titlu;
    std::string now;      // the value now, as the list shows it; empty when unknown
    std::string proposed; // as the list would show it
    std::string source;
    // Checked when the field is empty now; never when it holds a value of the user's, nor when
    // the book was found by its title and author only.
    bool checked = false;
};

// The changes a looked-up record proposes to a book as stored: one per field the record knows
// and the book holds otherwise. A number 0 counts as unknown, as an import leaves it; a value the
// catalogue cannot hold proposes nothing, and neither does a field the record does not know.
std::vector<CompletionProposal> ProposeCompletion(const StoredBook& book, const LookupRecord& found,
                                                  const std::string& source, bool byTitleAndAuthor);

// The book with the chosen proposals made: the row to store in its place. A book without details
// gets a row of them for a series.
StoredBook CompletedBook(const StoredBook& book, const std::vector<CompletionProposal>& chosen);

// Whether a book found by its title and author is the book: both match as the quick filter
// matches texts (letter case and accents do not count), and both are given.
bool SameTitleAndAuthor(const std::string& titlu, const std::string& autor,
                        const LookupRecord& found);
