#include "store/TextOrder.h"

#include "store/RomanianCollation.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <strings.h>
#include <vector>

namespace {

enum class Kind { Word, Quoted, Number, String, Symbol };

struct Token {
    Kind kind;
    std::size_t begin;
    std::size_t end;
};

bool IsWordByte(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

std::size_t SkipSpaceAndComments(const std::string& s, std::size_t i) {
    while (i < s.size()) {
        if (std::isspace(static_cast<unsigned char>(s[i]))) {
            ++i;
        } else if (s.compare(i, 2, "--") == 0) {
            const std::size_t eol = s.find('\n', i);
            i = eol == std::string::npos ? s.size() : eol + 1;
        } else if (s.compare(i, 2, "/*") == 0) {
            const std::size_t close = s.find("*/", i + 2);
            i = close == std::string::npos ? s.size() : close + 2;
        } else {
            break;
        }
    }
    return i;
}

// Splits a statement the way SQLite reads it, far enough to tell names, literals and symbols
// apart; quoted texts and names keep their doubled quotes inside.
std::vector<Token> Tokenize(const std::string& s) {
    std::vector<Token> tokens;
    for (std::size_t i = SkipSpaceAndComments(s, 0); i < s.size(); i = SkipSpaceAndComments(s, i)) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t begin = i;
        Kind kind = Kind::Symbol;
        if (c == '\'' || c == '"' || c == '`' || c == '[') {
            const char close = c == '[' ? ']' : static_cast<char>(c);
            for (++i; i < s.size(); ++i) {
                if (s[i] == close) {
                    if (close != ']' && i + 1 < s.size() && s[i + 1] == close) {
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            i = std::min(i + 1, s.size());
            kind = c == '\'' ? Kind::String : Kind::Quoted;
        } else if (IsWordByte(c)) {
            kind = std::isdigit(c) ? Kind::Number : Kind::Word;
            while (i < s.size() && IsWordByte(static_cast<unsigned char>(s[i]))) {
                ++i;
            }
        } else {
            ++i;
        }
        tokens.push_back({kind, begin, i});
    }
    return tokens;
}

bool IsWord(const std::string& s, const Token& t, const char* word) {
    const std::size_t n = t.end - t.begin;
    return t.kind == Kind::Word && n == std::char_traits<char>::length(word) &&
           strncasecmp(s.c_str() + t.begin, word, n) == 0;
}

bool IsSymbol(const std::string& s, const Token& t, char symbol) {
    return t.kind == Kind::Symbol && s[t.begin] == symbol;
}

bool IsName(const Token& t) {
    return t.kind == Kind::Word || t.kind == Kind::Quoted;
}

// Where a term that is only a name (schema.table.column at most) or a result number ends, or 0
// for any other term. `first` and `last` bound the term's tokens.
std::size_t PlainTermEnd(const std::string& s, const std::vector<Token>& t, std::size_t first,
                         std::size_t last) {
    std::size_t i = first;
    if (i < last && t[i].kind == Kind::Number) {
        ++i;
    } else {
        for (int parts = 0; parts < 3 && i < last && IsName(t[i]); ++parts) {
            ++i;
            if (i + 1 < last && IsSymbol(s, t[i], '.') && parts < 2) {
                ++i;
            } else {
                break;
            }
        }
    }
    if (i == first || !(t[i - 1].kind == Kind::Number || IsName(t[i - 1]))) {
        return 0;
    }
    const std::size_t end = t[i - 1].end;
    if (i < last && (IsWord(s, t[i], "ASC") || IsWord(s, t[i], "DESC"))) {
        ++i;
    }
    if (i + 1 < last && IsWord(s, t[i], "NULLS") &&
        (IsWord(s, t[i + 1], "FIRST") || IsWord(s, t[i + 1], "LAST"))) {
        i += 2;
    }
    return i == last ? end : 0;
}

// The catalogue's text columns, which a listing sorts by their keys.
bool IsTextColumn(const std::string& s, const Token& t) {
    for (const char* name : {"titlu", "autor", "editura", "tip", "stare"}) {
        if (IsWord(s, t, name)) {
            return true;
        }
    }
    return false;
}

// The token of a term that ends at text position `end`.
std::size_t NameTokenEndingAt(const std::vector<Token>& t, std::size_t first, std::size_t end) {
    std::size_t i = first;
    while (t[i].end != end) {
        ++i;
    }
    return i;
}

struct PlainTerm {
    std::size_t begin;
    // Where the name or number ends, and where the term with its direction ends.
    std::size_t nameEnd;
    std::size_t end;
    // Whether the term is one of the catalogue's text columns (a name, not a number).
    bool textColumn;
    // Whether it is a name, not a result number.
    bool name;
};

struct TermList {
    // Each term that is plain, and whether every term is.
    std::vector<PlainTerm> plain;
    bool allPlain = true;
    // The token that ended the list (a comma-free stop), or the token count.
    std::size_t stop = 0;
};

// Reads the terms of the ORDER BY or GROUP BY list that starts at token `i`.
TermList ReadTerms(const std::string& s, const std::vector<Token>& t, std::size_t i) {
    TermList list;
    std::size_t first = i;
    int depth = 0;
    for (;; ++i) {
        const bool atEnd = i == t.size();
        const bool closes =
            !atEnd && depth == 0 &&
            (IsSymbol(s, t[i], ',') || IsSymbol(s, t[i], ')') || IsSymbol(s, t[i], ';') ||
             IsWord(s, t[i], "LIMIT") || IsWord(s, t[i], "HAVING") || IsWord(s, t[i], "WINDOW"));
        if (atEnd || closes) {
            if (const std::size_t end = PlainTermEnd(s, t, first, i); end != 0) {
                const std::size_t last = NameTokenEndingAt(t, first, end);
                list.plain.push_back({t[first].begin, end, t[i - 1].end,
                                      t[last].kind == Kind::Word && IsTextColumn(s, t[last]),
                                      t[last].kind != Kind::Number});
            } else {
                list.allPlain = false;
            }
            if (atEnd || !IsSymbol(s, t[i], ',')) {
                list.stop = i;
                return list;
            }
            first = i + 1;
        } else if (IsSymbol(s, t[i], '(')) {
            ++depth;
        } else if (IsSymbol(s, t[i], ')')) {
            --depth;
        }
    }
}

bool IsTextOrderName(const std::string& s, const Token& t) {
    std::string name = s.substr(t.begin, t.end - t.begin);
    if (t.kind == Kind::Quoted && name.size() >= 2) {
        name = name.substr(1, name.size() - 2);
    } else if (t.kind != Kind::Word) {
        return false;
    }
    return strcasecmp(name.c_str(), kTextCollationName) == 0;
}

// The [begin, end) spans of every "COLLATE RO_ICU" in a statement, with the space before them.
std::vector<std::pair<std::size_t, std::size_t>> TextOrderClauses(const std::string& s) {
    const std::vector<Token> t = Tokenize(s);
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        if (IsWord(s, t[i], "COLLATE") && IsTextOrderName(s, t[i + 1])) {
            spans.emplace_back(i == 0 ? t[i].begin : t[i - 1].end, t[i + 1].end);
        }
    }
    return spans;
}

} // namespace

std::string WithTextOrder(const std::string& sql, TextSort sort) {
    const std::vector<Token> t = Tokenize(sql);
    // A schema statement is stored in the file as written, and the file declares no order.
    if (!t.empty() && IsWord(sql, t.front(), "CREATE")) {
        return sql;
    }
    const std::string clause = std::string(" COLLATE ") + kTextCollationName;
    std::vector<TermList> orders;
    bool orderedAtTop = false;
    bool compound = false;
    std::optional<TermList> groups;
    bool filtered = false;
    int depth = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        depth += IsSymbol(sql, t[i], '(') ? 1 : IsSymbol(sql, t[i], ')') ? -1 : 0;
        const bool by = i + 1 < t.size() && IsWord(sql, t[i + 1], "BY");
        if (by && IsWord(sql, t[i], "ORDER")) {
            orderedAtTop = orderedAtTop || depth == 0;
            orders.push_back(ReadTerms(sql, t, i + 2));
        } else if (by && depth == 0 && IsWord(sql, t[i], "GROUP")) {
            groups = ReadTerms(sql, t, i + 2);
        }
        orderedAtTop = orderedAtTop || (depth == 0 && IsWord(sql, t[i], "LIMIT"));
        filtered = filtered || (depth == 0 && IsWord(sql, t[i], "WHERE"));
        compound = compound ||
                   (depth == 0 && (IsWord(sql, t[i], "UNION") || IsWord(sql, t[i], "INTERSECT") ||
                                   IsWord(sql, t[i], "EXCEPT")));
    }
    // A compound statement orders by its result columns only, so it cannot order by keys.
    const bool keys = sort == TextSort::Keys && !compound;
    // Each insertion: where, and what.
    std::vector<std::pair<std::size_t, std::string>> inserts;
    // Only the first term sorts by keys: a later one breaks ties, and is compared within them
    // alone, which costs less than a key for every row.
    auto orderTerm = [&](const PlainTerm& term, bool first) {
        if (keys && first && term.textColumn) {
            const std::string name = sql.substr(term.begin, term.nameEnd - term.begin);
            const std::string direction = sql.substr(term.nameEnd, term.end - term.nameEnd);
            inserts.emplace_back(term.begin, std::string(kSortKeyFunctionName) + "(");
            inserts.emplace_back(term.nameEnd, ")" + direction + ", " + name + " COLLATE BINARY");
        } else {
            inserts.emplace_back(term.nameEnd, clause);
        }
    };
    for (const TermList& order : orders) {
        for (const PlainTerm& term : order.plain) {
            orderTerm(term, &term == &order.plain.front());
        }
    }
    // Filtered rows are grouped by sorting them: walking an index of the grouped column would
    // look up every row of the table to test the condition, a random read per book (`+name`
    // keeps the engine off the index; the groups are the same).
    if (groups && filtered && keys) {
        for (const PlainTerm& term : groups->plain) {
            if (term.name) {
                inserts.emplace_back(term.begin, "+");
            }
        }
    }
    // Grouped rows come out in the text order of their groups, as a list of names is read.
    if (groups && groups->allPlain && !orderedAtTop && !compound) {
        const bool semicolon = !t.empty() && IsSymbol(sql, t.back(), ';');
        const std::size_t at = semicolon ? t.back().begin : sql.size();
        std::string order = " ORDER BY ";
        for (const PlainTerm& term : groups->plain) {
            const std::string name = sql.substr(term.begin, term.nameEnd - term.begin);
            order += order.size() > 10 ? ", " : "";
            order += keys && term.textColumn ? std::string(kSortKeyFunctionName) + "(" + name +
                                                   "), " + name + " COLLATE BINARY"
                                             : name + clause;
        }
        inserts.emplace_back(at, order);
    }
    if (inserts.empty()) {
        return sql;
    }
    std::stable_sort(inserts.begin(), inserts.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::string out;
    std::size_t from = 0;
    for (const auto& [at, text] : inserts) {
        out.append(sql, from, at - from);
        out += text;
        from = at;
    }
    out.append(sql, from, std::string::npos);
    return out;
}

bool DeclaresTextOrder(const std::string& ddl) {
    return !TextOrderClauses(ddl).empty();
}

std::string WithoutTextOrder(const std::string& ddl) {
    std::string out;
    std::size_t from = 0;
    for (const auto& [begin, end] : TextOrderClauses(ddl)) {
        out.append(ddl, from, begin - from);
        from = end;
    }
    out.append(ddl, from, std::string::npos);
    return out;
}

std::optional<TrailingOrder> SplitTrailingOrder(const std::string& sql,
                                                const std::vector<std::string>& columns) {
    std::vector<Token> t = Tokenize(sql);
    if (!t.empty() && IsSymbol(sql, t.back(), ';')) {
        t.pop_back();
    }
    if (t.size() < 4 || !IsWord(sql, t[0], "SELECT") || !IsSymbol(sql, t[1], '*') ||
        !IsWord(sql, t[2], "FROM") || !IsWord(sql, t[3], "books")) {
        return std::nullopt;
    }
    std::optional<std::size_t> orderAt;
    int depth = 0;
    for (std::size_t i = 4; i < t.size(); ++i) {
        depth += IsSymbol(sql, t[i], '(') ? 1 : IsSymbol(sql, t[i], ')') ? -1 : 0;
        if (depth != 0) {
            continue;
        }
        if (i == 4 && !IsWord(sql, t[i], "WHERE") && !IsWord(sql, t[i], "ORDER")) {
            return std::nullopt; // a join, an alias, another clause
        }
        for (const char* word : {"GROUP", "UNION", "INTERSECT", "EXCEPT", "WINDOW"}) {
            if (IsWord(sql, t[i], word)) {
                return std::nullopt;
            }
        }
        if (IsWord(sql, t[i], "ORDER") && i + 1 < t.size() && IsWord(sql, t[i + 1], "BY")) {
            if (orderAt) {
                return std::nullopt;
            }
            orderAt = i;
        }
    }
    if (!orderAt) {
        return std::nullopt;
    }
    TrailingOrder order;
    order.unordered = sql.substr(0, t[*orderAt - 1].end); // ORDER comes after FROM books
    for (std::size_t i = *orderAt + 2; i < t.size(); i += 2) {
        if (t[i].kind != Kind::Word) {
            return std::nullopt;
        }
        TrailingOrder::Term term{sql.substr(t[i].begin, t[i].end - t[i].begin), false};
        if (std::none_of(columns.begin(), columns.end(),
                         [&](const std::string& c) { return IsWord(sql, t[i], c.c_str()); })) {
            return std::nullopt;
        }
        if (i + 1 < t.size() && (IsWord(sql, t[i + 1], "ASC") || IsWord(sql, t[i + 1], "DESC"))) {
            term.descending = IsWord(sql, t[i + 1], "DESC");
            ++i;
        }
        order.terms.push_back(std::move(term));
        if (i + 1 < t.size() && !IsSymbol(sql, t[i + 1], ',')) {
            return std::nullopt;
        }
        if (i + 1 == t.size() - 1) {
            return std::nullopt; // a comma with nothing after it
        }
    }
    if (order.terms.empty()) {
        return std::nullopt;
    }
    return order;
}
