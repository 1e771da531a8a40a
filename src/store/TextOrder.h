#pragma once

#include <optional>
#include <string>
#include <vector>

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
// text order. Comparisons, DISTINCT and the grouping itself stay byte-exact. With keys, a grouped
// SELECT with a WHERE groups its filtered rows by sorting them (`GROUP BY +autor`), not by walking
// an index of the column. Schema statements (CREATE) are left as written.
std::string WithTextOrder(const std::string& sql, TextSort sort = TextSort::Keys);

// Whether a schema statement declares the program's text order (as catalogues written before
// the order left the file do), and the same statement without it.
bool DeclaresTextOrder(const std::string& ddl);
std::string WithoutTextOrder(const std::string& ddl);

// A listing of the books table, `SELECT * FROM books` with perhaps a WHERE, that ends in an ORDER
// BY of the table's own columns only: the same statement without its order, and the terms.
struct TrailingOrder {
    struct Term {
        std::string column; // as written, letter case aside
        bool descending = false;
    };
    std::string unordered;
    std::vector<Term> terms;
};
// Nothing for any other statement: a compound or grouped one, a LIMIT, a term that is an
// expression, a number, a qualified name or one with COLLATE or NULLS.
std::optional<TrailingOrder> SplitTrailingOrder(const std::string& sql,
                                                const std::vector<std::string>& columns);
