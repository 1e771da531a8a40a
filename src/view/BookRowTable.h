#pragma once

#include "store/MessageSink.h"
#include "view/BookRowTexts.h"
#include "view/TextBlocks.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CEngineRecordset;

// The list's rows, compactly. A listed row keeps its three texts and the numbers it was read
// with; the texts derived from them (the padded identifier, the numbers, the type, read, rating
// and state names) are made when asked for, as the list draws a row, so a listing copies each
// row once, straight from the engine. A row given as texts keeps its texts.
class BookRowTable {
public:
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    std::string Text(int row, int column) const;
    RowTexts Row(int row) const;
    // The book's identifier; 0 for a row that has none.
    std::int32_t Id(int row) const;

    void AppendRow(const RowTexts& texts);
    // Rewrites columns 1 to 12 of a row; column 0 stays.
    void SetRowTexts(int row, const RowTexts& texts);
    // Gives the memory back, not only the rows.
    void Clear() { BookRowTable().Swap(*this); }
    void Swap(BookRowTable& other) noexcept;

    // Puts the rows in the order given by their present positions.
    void Reorder(const std::vector<std::uint32_t>& order);

    // Reads every record of the set from its current one on, in the set's order, calling
    // `eachRow` on each; the type and state names are later drawn from `types` and `states` as
    // they are now. A forward set is read as it moves. An engine failure throws
    // CEngineException.
    static BookRowTable FromRecordset(CEngineRecordset& set, const LookupList& types,
                                      const LookupList& states,
                                      const std::function<void()>& eachRow = {});

private:
    // A row's texts lie in one block of the text store, one after another: `ends` tells where
    // each column ends (a column held as a number has an empty text there). The numbers of
    // columns 0 and 4 to 12 are in `numbers`, by NumberSlot.
    // Made empty with `PackedRow{}`; left unmade in a new chunk, whose memory is then touched
    // only as rows are written.
    struct PackedRow {
        std::uint64_t texts; // the place of its texts in the text blocks
        std::array<std::uint16_t, kBookColumnCount> ends;
        std::uint16_t heldAsText; // one bit per column
        std::array<std::int32_t, kBookColumnCount - 3> numbers;
    };
    class RowReader;

    // The rows in chunks of one size: they grow without moving what they hold, each chunk is
    // one allocation, and a chunk is read straight through.
    class PackedRows {
    public:
        std::size_t size() const { return m_size; }
        PackedRow& operator[](std::size_t i) { return m_chunks[i / kChunk][i % kChunk]; }
        const PackedRow& operator[](std::size_t i) const {
            return m_chunks[i / kChunk][i % kChunk];
        }
        PackedRow& emplace_back() {
            if (m_size % kChunk == 0) {
                m_chunks.push_back(std::unique_ptr<PackedRow[]>(new PackedRow[kChunk]));
            }
            PackedRow& row = (*this)[m_size++];
            row = PackedRow{};
            return row;
        }
        void swap(PackedRows& other) noexcept {
            m_chunks.swap(other.m_chunks);
            std::swap(m_size, other.m_size);
        }

    private:
        static constexpr std::size_t kChunk = 4096;
        std::vector<std::unique_ptr<PackedRow[]>> m_chunks;
        std::size_t m_size = 0;
    };

    std::string_view StoredText(const PackedRow& r, int column) const;
    std::string DerivedText(const PackedRow& r, int column) const;
    PackedRow RowOfTexts(const RowTexts& texts);

    PackedRows m_rows;
    TextBlocks m_texts;
    LookupList m_types;
    LookupList m_states;
};

// The rows of a listing, or nothing when the set is not one of books (a column missing, a value
// of the wrong kind) or the engine fails while reading it: then "Nu se pot selecta
// inregistrarile!" has gone to `sink`.
std::optional<BookRowTable> ReadBookRows(CEngineRecordset& set, const LookupList& types,
                                         const LookupList& states, const MessageSink& sink,
                                         const std::function<void()>& eachRow = {});
