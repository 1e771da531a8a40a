#include "search/SearchStatements.h"

#include "store/FixedNames.h"
#include "store/StatementFormat.h"

std::string ListingStatement(const std::string& base) {
    return base + " ORDER BY titlu";
}

std::string NumericSearchStatement(const NumericSearch& search, int kind, int value, int min,
                                   int max) {
    return kind == 0 ? FormatStatement(search.singleStatement, value)
                     : FormatStatement(search.rangeStatement, min, max);
}

std::string CompositeStatement(const CompositeCriteria& c) {
    std::string conditions;
    auto add = [&conditions](const std::string& condition) {
        if (!conditions.empty()) {
            conditions += " AND ";
        }
        conditions += condition;
    };
    auto text = [&](const std::optional<std::string>& v, const char* format) {
        if (v) {
            add(FormatStatement(format, *v));
        }
    };
    auto number = [&](const std::optional<int>& v, const char* format) {
        if (v) {
            add(FormatStatement(format, *v));
        }
    };
    text(c.title, "titlu = '%s'");
    text(c.author, "autor = '%s'");
    text(c.publisher, "editura = '%s'");
    number(c.type, "tip = %d");
    number(c.pages, "pagini = %d");
    number(c.chapters, "capitole = %d");
    number(c.volumes, "volume = %d");
    number(c.firstPublished, "publicare = %d");
    number(c.volumePublished, "publicare_volum = %d");
    if (c.read) {
        // A read book stores -1.
        const bool read = *c.read >= 0 && *c.read < static_cast<int>(g_readNames.size()) &&
                          g_readNames[static_cast<std::size_t>(*c.read)] == "Da";
        add(FormatStatement("citita = %d", read ? -1 : 0));
    }
    number(c.rating, "calificativ = %d");
    number(c.state, "stare = %d");
    return conditions.empty() ? std::string() : "SELECT * FROM books WHERE " + conditions;
}
