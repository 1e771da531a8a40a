#include "view/BookRowTexts.h"

#include "store/CEngineRecordset.h"
#include "store/FixedNames.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <limits>

namespace {

constexpr std::array<const char*, kBookColumnCount> kFieldNames = {
    "id",     "titlu",     "autor",           "editura", "tip",         "pagini", "capitole",
    "volume", "publicare", "publicare_volum", "citita",  "calificativ", "stare"};

void AppendDecimal(std::int64_t value, std::string& out) {
    char buf[24];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, result.ptr);
}

// At most kListTextLimit characters of a UTF-8 text, cut between characters.
void AppendCapped(std::string_view text, std::string& out) {
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && ++characters > kListTextLimit) {
            out.append(text.substr(0, i));
            return;
        }
    }
    out.append(text);
}

template <std::size_t N>
const std::string& NameAt(const std::array<std::string, N>& names, std::int64_t position) {
    static const std::string empty;
    return position >= 0 && position < static_cast<std::int64_t>(N)
               ? names[static_cast<std::size_t>(position)]
               : empty;
}

bool FitsId(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

} // namespace

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
    t[10] = NameAt(g_readNames, rec.citita);
    t[11] = NameAt(g_ratingNames, rec.calificativ);
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

BookRowFormatter::BookRowFormatter(const CEngineRecordset& set, const LookupList& types,
                                   const LookupList& states)
    : m_set(set), m_types(types), m_states(states) {
    for (int c = 0; c < kBookColumnCount; ++c) {
        m_fields[static_cast<std::size_t>(c)] =
            set.FieldIndex(kFieldNames[static_cast<std::size_t>(c)]);
    }
}

void BookRowFormatter::AppendNumber(int field, std::string& out) const {
    if (!m_set.IsNull(field) && (m_set.HoldsInteger(field) || m_set.GetTextView(field).empty())) {
        AppendDecimal(m_set.GetInteger(field), out);
    }
}

void BookRowFormatter::AppendLookup(int field, const LookupList& list, const std::string& fallback,
                                    std::string& out) const {
    if (m_set.IsNull(field)) {
        return;
    }
    // The catalogue stores the identifier minus one.
    const std::int64_t id = LookupIdOfStored(m_set.GetInteger(field));
    AppendCapped(FitsId(id) ? list.NameOfId(static_cast<std::int32_t>(id), fallback) : fallback,
                 out);
}

void BookRowFormatter::AppendCurrent(std::string& out,
                                     std::array<std::uint32_t, kBookColumnCount>& ends) const {
    const auto& f = m_fields;
    auto mark = [&](int column) {
        ends[static_cast<std::size_t>(column)] = static_cast<std::uint32_t>(out.size());
    };
    if (!m_set.IsNull(f[0])) {
        out += FormatBookId(m_set.GetInteger(f[0]));
    }
    mark(0);
    for (int c = 1; c <= 3; ++c) {
        const int field = f[static_cast<std::size_t>(c)];
        const std::string_view text = m_set.GetTextView(field);
        AppendCapped(text.empty() && !m_set.IsNull(field) ? m_set.GetText(field) : text, out);
        mark(c);
    }
    AppendLookup(f[4], m_types, kUndefinedType, out);
    mark(4);
    for (int c = 5; c <= 9; ++c) {
        AppendNumber(f[static_cast<std::size_t>(c)], out);
        mark(c);
    }
    if (!m_set.IsNull(f[10])) {
        // The lowest bit of the stored flag: -1 is read, 0 unread.
        out += g_readNames[static_cast<std::size_t>(m_set.GetInteger(f[10]) & 1)];
    }
    mark(10);
    if (!m_set.IsNull(f[11])) {
        out += NameAt(g_ratingNames, m_set.GetInteger(f[11]));
    }
    mark(11);
    AppendLookup(f[12], m_states, kUndefinedState, out);
    mark(12);
}
