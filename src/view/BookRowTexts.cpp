#include "view/BookRowTexts.h"

#include "store/FixedNames.h"

#include <cctype>
#include <charconv>
#include <cstdio>

std::string_view CappedText(std::string_view text) {
    if (text.size() <= kListTextLimit) {
        return text; // no more characters than bytes
    }
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > kListTextLimit) {
            return text.substr(0, i);
        }
    }
    return text;
}

const std::string& RatingName(std::int64_t position) {
    static const std::string none;
    return position >= 0 && position < static_cast<std::int64_t>(g_ratingNames.size())
               ? g_ratingNames[static_cast<std::size_t>(position)]
               : none;
}

const std::array<BookListColumn, kBookColumnCount>& BookListColumns() {
    static const std::array<BookListColumn, kBookColumnCount> columns = {{
        {"ID", 50},
        {"Titlu", 150},
        {"Autor", 130},
        {"Editura", 100},
        {"Tip", 80},
        {"Pagini", 50},
        {"Capitole", 55},
        {"Volume", 50},
        {"An aparitie", 80},
        {"An publicare volum", 80},
        {"Citita", 80},
        {"Calificativ", 100},
        {"Stare", 80},
    }};
    return columns;
}

std::string SortStatement(const std::string& base, int column, bool descending) {
    // Two headers are not column names; the others are, up to letter case.
    const char* name = column == 8   ? "publicare"
                       : column == 9 ? "publicare_volum"
                                     : BookListColumns()[static_cast<std::size_t>(column)].header;
    // A writer's books, or a year's, stand by title whichever way the column goes.
    return base + " ORDER BY " + name + (descending ? " DESC" : "") +
           (column == 1 ? "" : ", titlu");
}

std::string TabSeparatedRows(const std::vector<RowTexts>& rows) {
    std::string out;
    auto appendLine = [&out](auto cellAt) {
        for (int c = 0; c < kBookColumnCount; ++c) {
            if (c > 0) {
                out += '\t';
            }
            for (char ch : std::string_view(cellAt(static_cast<std::size_t>(c)))) {
                out += ch == '\t' || ch == '\n' || ch == '\r' ? ' ' : ch;
            }
        }
        out += '\n';
    };
    appendLine([](std::size_t c) { return BookListColumns()[c].header; });
    for (const RowTexts& row : rows) {
        appendLine([&row](std::size_t c) { return std::string_view(row[c]); });
    }
    return out;
}

std::string FormatBookId(std::int64_t id) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4lld", static_cast<long long>(id));
    return buf;
}

std::string NumberText(std::int32_t number) {
    return IsUnknown(number) ? std::string() : std::to_string(number);
}

RowTexts RowTextsFromRecord(const BookRecord& rec, const LookupList& types,
                            const LookupList& states) {
    RowTexts t;
    t[1] = rec.titlu;
    t[2] = rec.autor;
    t[3] = rec.editura;
    t[4] = types.NameOfId(rec.tip, kUndefinedType);
    t[5] = NumberText(rec.pagini);
    t[6] = NumberText(rec.capitole);
    t[7] = NumberText(rec.volume);
    t[8] = NumberText(rec.publicare);
    t[9] = NumberText(rec.publicare_volum);
    t[10] = rec.citita == 0 || rec.citita == 1 ? g_readNames[static_cast<std::size_t>(rec.citita)]
                                               : std::string();
    t[11] = RatingName(rec.calificativ);
    t[12] = states.NameOfId(rec.stare, kUndefinedState);
    return t;
}

std::int64_t LeadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    if (i < text.size() && text[i] == '+') {
        ++i;
    }
    std::int64_t value = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
    return result.ec == std::errc() ? value : 0;
}

BookRecord RecordFromRowTexts(const RowTexts& t, const LookupList& types,
                              const LookupList& states) {
    auto narrow = [](std::string_view s) { return static_cast<std::int32_t>(LeadingInteger(s)); };
    // An empty cell is a number nobody gave.
    auto number = [&](std::string_view s) { return s.empty() ? kUnknownNumber : narrow(s); };
    BookRecord r;
    r.id = narrow(t[0]);
    r.titlu = t[1];
    r.autor = t[2];
    r.editura = t[3];
    r.tip = types.FindIdByName(t[4]);
    r.pagini = number(t[5]);
    r.capitole = number(t[6]);
    r.volume = number(t[7]);
    r.publicare = number(t[8]);
    r.publicare_volum = number(t[9]);
    r.citita = FindReadIndex(t[10]);
    r.calificativ = FindRatingIndex(t[11]);
    r.stare = states.FindIdByName(t[12]);
    return r;
}
