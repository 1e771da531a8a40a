#include "view/BookRowTable.h"

#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"
#include "store/FixedNames.h"

#include <charconv>
#include <limits>

namespace {

constexpr std::array<const char*, kBookColumnCount> kFieldNames = {
    "id",     "titlu",     "autor",           "editura", "tip",         "pagini", "capitole",
    "volume", "publicare", "publicare_volum", "citita",  "calificativ", "stare"};

// Columns 1 to 3 are always texts; the others may be held as numbers.
std::size_t NumberSlot(int column) {
    return static_cast<std::size_t>(column == 0 ? 0 : column - 3);
}

bool FitsInt32(std::int64_t v) {
    return v >= std::numeric_limits<std::int32_t>::min() &&
           v <= std::numeric_limits<std::int32_t>::max();
}

std::string Decimal(std::int64_t value) {
    char buf[24];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, result.ptr);
}

} // namespace

// Reads the current record of a set over `books` into a packed row: the field positions are
// found once; stored values that name nothing (NULL, a rating outside the list) give an empty
// text.
class BookRowTable::RowReader {
public:
    RowReader(const CEngineRecordset& set) : m_set(set) {
        for (int c = 0; c < kBookColumnCount; ++c) {
            m_fields[static_cast<std::size_t>(c)] =
                set.FieldIndex(kFieldNames[static_cast<std::size_t>(c)]);
        }
    }

    // The row's texts go to `texts`, its numbers and the columns' ends to `row`.
    void Read(PackedRow& row, std::string& texts) const {
        m_row = &row;
        m_texts = &texts;
        for (std::size_t c = 0; c < m_values.size(); ++c) {
            m_values[c] = m_set.Field(m_fields[c]);
        }
        const std::int64_t id = Number(0);
        if (!IsNull(0) && FitsInt32(id)) {
            Keep(0, id);
        } else {
            Write(0, IsNull(0) ? std::string() : FormatBookId(id));
        }
        for (int c = 1; c <= 3; ++c) {
            const std::string_view text = Value(c).text;
            // A number stored in a text column shows as its decimal form.
            Write(c, text.empty() && !IsNull(c)
                         ? m_set.GetText(m_fields[static_cast<std::size_t>(c)])
                         : text);
        }
        ReadLookup(4, kUndefinedType);
        for (int c = 5; c <= 9; ++c) {
            ReadNumber(c);
        }
        if (IsNull(10)) {
            Write(10, {});
        } else {
            // The lowest bit of the stored flag: -1 is read, 0 unread.
            Keep(10, Number(10) & 1);
        }
        const std::int64_t rating = Number(11);
        if (IsNull(11) || RatingName(rating).empty()) {
            Write(11, {});
        } else {
            Keep(11, rating);
        }
        ReadLookup(12, kUndefinedState);
    }

private:
    using Kind = CEngineRecordset::Kind;

    const CEngineRecordset::Value& Value(int column) const {
        return m_values[static_cast<std::size_t>(column)];
    }
    bool IsNull(int column) const { return Value(column).kind == Kind::Null; }
    std::int64_t Number(int column) const { return CEngineRecordset::IntegerOf(Value(column)); }

    void Keep(int column, std::int64_t value) const {
        m_row->numbers[NumberSlot(column)] = static_cast<std::int32_t>(value);
        m_row->ends[static_cast<std::size_t>(column)] = static_cast<std::uint16_t>(m_texts->size());
    }
    void Write(int column, std::string_view text) const {
        m_texts->append(CappedText(text));
        m_row->heldAsText = static_cast<std::uint16_t>(m_row->heldAsText | (1U << column));
        m_row->ends[static_cast<std::size_t>(column)] = static_cast<std::uint16_t>(m_texts->size());
    }

    void ReadNumber(int column) const {
        const CEngineRecordset::Value& v = Value(column);
        if (v.kind == Kind::Null || !(v.kind == Kind::Integer || v.text.empty())) {
            Write(column, {});
        } else if (const std::int64_t value = Number(column); FitsInt32(value)) {
            Keep(column, value);
        } else {
            Write(column, Decimal(value));
        }
    }

    void ReadLookup(int column, const std::string& fallback) const {
        if (IsNull(column)) {
            Write(column, {});
            return;
        }
        // The catalogue stores the identifier minus one.
        const std::int64_t id = LookupIdOfStored(Number(column));
        if (FitsInt32(id)) {
            Keep(column, id);
        } else {
            Write(column, fallback);
        }
    }

    const CEngineRecordset& m_set;
    std::array<int, kBookColumnCount> m_fields{};
    mutable std::array<CEngineRecordset::Value, kBookColumnCount> m_values{};
    mutable PackedRow* m_row = nullptr;
    mutable std::string* m_texts = nullptr;
};

std::string_view BookRowTable::StoredText(const PackedRow& r, int column) const {
    const auto c = static_cast<std::size_t>(column);
    const std::uint16_t begin = c == 0 ? 0 : r.ends[c - 1];
    return m_texts.At(r.texts + begin, r.ends[c] - begin);
}

std::string BookRowTable::DerivedText(const PackedRow& r, int column) const {
    const std::int32_t value = r.numbers[NumberSlot(column)];
    switch (column) {
    case 0:
        return FormatBookId(value);
    case 4:
        return std::string(CappedText(m_types.NameOfId(value, kUndefinedType)));
    case 10:
        return g_readNames[static_cast<std::size_t>(value & 1)];
    case 11:
        return RatingName(value);
    case 12:
        return std::string(CappedText(m_states.NameOfId(value, kUndefinedState)));
    default:
        return Decimal(value);
    }
}

std::string BookRowTable::Text(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kBookColumnCount) {
        return {};
    }
    const PackedRow& r = m_rows[static_cast<std::size_t>(row)];
    if ((r.heldAsText & (1U << column)) != 0) {
        return std::string(StoredText(r, column));
    }
    return DerivedText(r, column);
}

std::int32_t BookRowTable::Id(int row) const {
    if (row < 0 || row >= RowCount()) {
        return 0;
    }
    const PackedRow& r = m_rows[static_cast<std::size_t>(row)];
    if ((r.heldAsText & 1U) == 0) {
        return r.numbers[NumberSlot(0)];
    }
    const std::string_view text = StoredText(r, 0);
    std::int32_t id = 0;
    std::from_chars(text.data(), text.data() + text.size(), id);
    return id;
}

RowTexts BookRowTable::Row(int row) const {
    RowTexts texts;
    for (int c = 0; c < kBookColumnCount; ++c) {
        texts[static_cast<std::size_t>(c)] = Text(row, c);
    }
    return texts;
}

BookRowTable::PackedRow BookRowTable::RowOfTexts(const RowTexts& texts) {
    PackedRow r{};
    std::string joined;
    for (std::size_t c = 0; c < texts.size(); ++c) {
        joined.append(CappedText(texts[c]));
        r.ends[c] = static_cast<std::uint16_t>(joined.size());
    }
    r.heldAsText = (1U << kBookColumnCount) - 1;
    r.texts = m_texts.Append(joined);
    return r;
}

void BookRowTable::AppendRow(const RowTexts& texts) {
    m_rows.emplace_back() = RowOfTexts(texts);
}

void BookRowTable::SetRowTexts(int row, const RowTexts& texts) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    RowTexts merged = texts;
    merged[0] = Text(row, 0);
    m_rows[static_cast<std::size_t>(row)] = RowOfTexts(merged);
}

void BookRowTable::Swap(BookRowTable& other) noexcept {
    m_rows.swap(other.m_rows);
    m_texts.Swap(other.m_texts);
    std::swap(m_types, other.m_types);
    std::swap(m_states, other.m_states);
}

void BookRowTable::Reorder(const std::vector<std::uint32_t>& order) {
    // Cycle by cycle, in place: a second array of rows would double the peak of a long list.
    std::vector<bool> placed(m_rows.size(), false);
    for (std::size_t start = 0; start < m_rows.size(); ++start) {
        if (placed[start]) {
            continue;
        }
        const PackedRow first = m_rows[start];
        std::size_t at = start;
        for (;;) {
            placed[at] = true;
            const std::size_t from = order[at];
            if (from == start) {
                m_rows[at] = first;
                break;
            }
            m_rows[at] = m_rows[from];
            at = from;
        }
    }
}

BookRowTable BookRowTable::FromRecordset(CEngineRecordset& set, const LookupList& types,
                                         const LookupList& states,
                                         const std::function<void()>& eachRow) {
    BookRowTable table;
    if (set.IsEOF()) {
        return table;
    }
    table.m_types = types;
    table.m_states = states;
    const RowReader reader(set);
    std::string scratch;
    for (; !set.IsEOF(); set.MoveNext()) {
        PackedRow& r = table.m_rows.emplace_back();
        scratch.clear();
        reader.Read(r, scratch);
        r.texts = table.m_texts.Append(scratch);
        if (eachRow) {
            eachRow();
        }
    }
    return table;
}

std::optional<BookRowTable> ReadBookRows(CEngineRecordset& set, const LookupList& types,
                                         const LookupList& states, const MessageSink& sink,
                                         const std::function<void()>& eachRow) {
    try {
        return BookRowTable::FromRecordset(set, types, states, eachRow);
    } catch (const CEngineException&) {
        if (sink) {
            sink(msg::kCannotSelect);
        }
        return std::nullopt;
    }
}
