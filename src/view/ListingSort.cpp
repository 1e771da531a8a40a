#include "view/ListingSort.h"

#include "store/CEngineRecordset.h"
#include "store/RomanianCollation.h"
#include "view/TextBlocks.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <string_view>

namespace {

// Each distinct text once, copied out of the engine's row, with its position.
class DistinctTexts {
public:
    std::uint32_t IndexOf(std::string_view text) {
        if ((m_texts.size() + 1) * 2 > m_slots.size()) {
            Grow();
        }
        const std::size_t hash = std::hash<std::string_view>()(text);
        for (std::size_t slot = hash & (m_slots.size() - 1);;
             slot = (slot + 1) & (m_slots.size() - 1)) {
            const std::uint32_t held = m_slots[slot];
            if (held == 0) {
                m_slots[slot] = static_cast<std::uint32_t>(m_texts.size() + 1);
                m_texts.push_back(Store(text));
                m_hashes.push_back(hash);
                return static_cast<std::uint32_t>(m_texts.size() - 1);
            }
            if (m_hashes[held - 1] == hash && m_texts[held - 1] == text) {
                return held - 1;
            }
        }
    }
    std::size_t Count() const { return m_texts.size(); }
    std::string_view Text(std::size_t i) const { return m_texts[i]; }

private:
    void Grow() {
        std::vector<std::uint32_t> slots(std::max<std::size_t>(1024, m_slots.size() * 2), 0);
        for (std::size_t i = 0; i < m_texts.size(); ++i) {
            std::size_t slot = m_hashes[i] & (slots.size() - 1);
            while (slots[slot] != 0) {
                slot = (slot + 1) & (slots.size() - 1);
            }
            slots[slot] = static_cast<std::uint32_t>(i + 1);
        }
        m_slots.swap(slots);
    }
    std::string_view Store(std::string_view text) {
        return m_blocks.At(m_blocks.Append(text), text.size());
    }

    std::vector<std::string_view> m_texts;
    std::vector<std::size_t> m_hashes;
    std::vector<std::uint32_t> m_slots;
    TextBlocks m_blocks;
};

// The first bytes of a key as one number, so most comparisons of keys are one comparison.
std::uint64_t KeyPrefix(std::string_view key) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        prefix = (prefix << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0U);
    }
    return prefix;
}

// The rank of every distinct text in the text order, ties of the keys broken by the bytes, as
// the collation breaks them; nothing when a key cannot be made.
std::optional<std::vector<std::uint32_t>> TextRanks(const DistinctTexts& texts) {
    // Opening the collator costs more than keying a short listing's texts: one per thread.
    thread_local TextSortKeys keyer;
    std::string keys;
    std::vector<std::pair<std::size_t, std::size_t>> spans(texts.Count());
    struct Entry {
        std::uint64_t prefix;
        std::uint32_t text;
    };
    std::vector<Entry> entries(texts.Count());
    for (std::size_t i = 0; i < texts.Count(); ++i) {
        const auto key = keyer.Key(texts.Text(i));
        if (!key) {
            return std::nullopt;
        }
        spans[i] = {keys.size(), key->size()};
        keys.append(*key);
        entries[i] = {KeyPrefix(*key), static_cast<std::uint32_t>(i)};
    }
    auto keyOf = [&](std::uint32_t i) {
        return std::string_view(keys).substr(spans[i].first, spans[i].second);
    };
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix) {
            return a.prefix < b.prefix;
        }
        const int byKey = keyOf(a.text).compare(keyOf(b.text));
        if (byKey != 0) {
            return byKey < 0;
        }
        return texts.Text(a.text) < texts.Text(b.text);
    });
    std::vector<std::uint32_t> ranks(texts.Count());
    for (std::size_t r = 0; r < entries.size(); ++r) {
        ranks[entries[r].text] = static_cast<std::uint32_t>(r);
    }
    return ranks;
}

} // namespace

// One term's values, row by row, made into numbers that order as the values do.
class ListingSort::TermValues {
public:
    TermValues(int field, bool descending) : m_field(field), m_descending(descending) {}

    void Add(const CEngineRecordset& set) {
        if (!m_exact) {
            return;
        }
        const CEngineRecordset::Value field = set.Field(m_field);
        Kind kind = Kind::Null;
        std::uint64_t value = 0;
        switch (field.kind) {
        case CEngineRecordset::Kind::Null:
            break;
        case CEngineRecordset::Kind::Integer:
            kind = Kind::Integer;
            m_lowest = m_integers == 0 ? field.i : std::min(m_lowest, field.i);
            m_highest = m_integers == 0 ? field.i : std::max(m_highest, field.i);
            ++m_integers;
            value = static_cast<std::uint64_t>(field.i);
            break;
        case CEngineRecordset::Kind::Text:
            kind = Kind::Text;
            value = m_texts.IndexOf(field.text);
            break;
        case CEngineRecordset::Kind::Real:
        case CEngineRecordset::Kind::Blob:
            m_exact = false;
            return;
        }
        m_kinds.push_back(kind);
        m_values.push_back(value);
    }

    // Replaces each value by its ordinal, an unsigned number that orders as the value does in
    // the term's direction: NULL, then whole numbers from the lowest, then texts by rank.
    bool MakeOrdinals() {
        if (!m_exact) {
            return false;
        }
        const std::uint64_t span = m_integers == 0 ? 0
                                                   : static_cast<std::uint64_t>(m_highest) -
                                                         static_cast<std::uint64_t>(m_lowest) + 1;
        if (span == 0 && m_integers != 0) {
            return false; // every whole number there is: no room for NULL and texts
        }
        std::vector<std::uint32_t> ranks;
        if (m_texts.Count() != 0) {
            auto made = TextRanks(m_texts);
            if (!made || span > std::numeric_limits<std::uint64_t>::max() - m_texts.Count() - 1) {
                return false;
            }
            ranks = std::move(*made);
        }
        for (std::size_t row = 0; row < m_values.size(); ++row) {
            std::uint64_t& v = m_values[row];
            switch (m_kinds[row]) {
            case Kind::Null:
                v = 0;
                break;
            case Kind::Integer:
                v = v - static_cast<std::uint64_t>(m_lowest) + 1;
                break;
            case Kind::Text:
                v = span + 1 + ranks[v];
                break;
            }
            if (m_descending) {
                v = std::numeric_limits<std::uint64_t>::max() - v;
            }
        }
        return true;
    }

    std::uint64_t Ordinal(std::uint32_t row) const { return m_values[row]; }

private:
    enum class Kind : std::uint8_t { Null, Integer, Text };

    int m_field;
    bool m_descending;
    bool m_exact = true;
    std::vector<Kind> m_kinds;
    std::vector<std::uint64_t> m_values;
    std::int64_t m_lowest = 0;
    std::int64_t m_highest = 0;
    std::size_t m_integers = 0;
    DistinctTexts m_texts;
};

ListingSort::ListingSort(const CEngineRecordset& set, const std::vector<TrailingOrder::Term>& terms)
    : m_set(set) {
    m_terms.reserve(terms.size());
    for (const auto& term : terms) {
        m_terms.emplace_back(set.FieldIndex(term.column), term.descending);
    }
}

ListingSort::~ListingSort() = default;

void ListingSort::Add() {
    for (TermValues& term : m_terms) {
        term.Add(m_set);
    }
    ++m_rows;
}

std::optional<std::vector<std::uint32_t>> ListingSort::Order() {
    for (TermValues& term : m_terms) {
        if (!term.MakeOrdinals()) {
            return std::nullopt;
        }
    }
    // The first two terms are compared in place; any further only where those tie.
    struct Entry {
        std::uint64_t first;
        std::uint64_t second;
        std::uint32_t row;
    };
    std::vector<Entry> entries(m_rows);
    for (std::uint32_t row = 0; row < m_rows; ++row) {
        entries[row] = {m_terms.empty() ? 0 : m_terms[0].Ordinal(row),
                        m_terms.size() < 2 ? 0 : m_terms[1].Ordinal(row), row};
    }
    std::sort(entries.begin(), entries.end(), [this](const Entry& a, const Entry& b) {
        if (a.first != b.first) {
            return a.first < b.first;
        }
        if (a.second != b.second) {
            return a.second < b.second;
        }
        for (std::size_t t = 2; t < m_terms.size(); ++t) {
            const std::uint64_t x = m_terms[t].Ordinal(a.row);
            const std::uint64_t y = m_terms[t].Ordinal(b.row);
            if (x != y) {
                return x < y;
            }
        }
        return a.row < b.row;
    });
    std::vector<std::uint32_t> order(m_rows);
    for (std::uint32_t i = 0; i < m_rows; ++i) {
        order[i] = entries[i].row;
    }
    return order;
}
