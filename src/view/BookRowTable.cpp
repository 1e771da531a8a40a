#include "view/BookRowTable.h"

#include "store/CEngineException.h"
#include "store/CEngineRecordset.h"
#include "store/CatalogueMessages.h"

std::string_view BookRowTable::Text(int row, int column) const {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kBookColumnCount) {
        return {};
    }
    const PackedRow& r = m_rows[static_cast<std::size_t>(row)];
    const auto c = static_cast<std::size_t>(column);
    const std::uint32_t begin = c == 0 ? 0 : r.ends[c - 1];
    return std::string_view(r.data).substr(begin, r.ends[c] - begin);
}

RowTexts BookRowTable::Row(int row) const {
    RowTexts texts;
    for (int c = 0; c < kBookColumnCount; ++c) {
        texts[static_cast<std::size_t>(c)] = std::string(Text(row, c));
    }
    return texts;
}

BookRowTable::PackedRow BookRowTable::Pack(const RowTexts& texts) {
    PackedRow r;
    std::size_t total = 0;
    for (const auto& t : texts) {
        total += t.size();
    }
    r.data.reserve(total);
    for (std::size_t c = 0; c < texts.size(); ++c) {
        r.data += texts[c];
        r.ends[c] = static_cast<std::uint32_t>(r.data.size());
    }
    return r;
}

void BookRowTable::AppendRow(const RowTexts& texts) {
    m_rows.push_back(Pack(texts));
}

void BookRowTable::SetRowTexts(int row, const RowTexts& texts) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    RowTexts merged = texts;
    merged[0] = std::string(Text(row, 0));
    m_rows[static_cast<std::size_t>(row)] = Pack(merged);
}

BookRowTable BookRowTable::FromRecordset(CEngineRecordset& set, const LookupList& types,
                                         const LookupList& states) {
    BookRowTable table;
    const long count = set.GetRecordCount();
    if (count <= 0) {
        return table;
    }
    const BookRowFormatter formatter(set, types, states);
    table.m_rows.reserve(static_cast<std::size_t>(count));
    std::string scratch;
    for (set.MoveFirst(); !set.IsEOF(); set.MoveNext()) {
        PackedRow& r = table.m_rows.emplace_back();
        scratch.clear();
        formatter.AppendCurrent(scratch, r.ends);
        r.data.assign(scratch); // an exact allocation, not the scratch buffer's capacity
    }
    return table;
}

std::optional<BookRowTable> ReadBookRows(CEngineRecordset& set, const LookupList& types,
                                         const LookupList& states, const MessageSink& sink) {
    try {
        return BookRowTable::FromRecordset(set, types, states);
    } catch (const CEngineException&) {
        if (sink) {
            sink(msg::kCannotSelect);
        }
        return std::nullopt;
    }
}
