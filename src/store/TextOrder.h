#pragma once

#include <string>

// The file declares no order for its texts; the program asks for its own at query time.

// How a text column is put in the text order.
enum class TextSort {
    // By its sort key, made once per row and compared as bytes (`sort_key(x), x COLLATE BINARY`).
    Keys,
    // By the collation, called on every comparison (`x COLLATE RO_ICU`).
    Comparisons,
};

// Gives every ORDER BY term that is a column, alias or result number the program's text order,
// so texts sort the Romanian way while numbers still sort as numbers; a term with an explicit
// COLLATE keeps it. A first term that is one of the catalogue's text columns (titlu, autor,
// editura, tip, stare) sorts by its keys, unless `sort` asks for comparisons or the statement is
// compound; both give the same order. A grouped SELECT without ORDER BY or LIMIT gets its groups'
// text order. Comparisons, DISTINCT and the grouping itself stay byte-exact. Schema statements
// (CREATE) are left as written.
std::string WithTextOrder(const std::string& sql, TextSort sort = TextSort::Keys);

// Whether a schema statement declares the program's text order (as catalogues written before
// the order left the file do), and the same statement without it.
bool DeclaresTextOrder(const std::string& ddl);
std::string WithoutTextOrder(const std::string& ddl);
