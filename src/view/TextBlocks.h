#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Texts kept one after another in blocks that are never grown past their capacity, so what they
// hold does not move and a text is named by a 64-bit place. The first blocks are small, so a
// short listing takes little; later ones are of 1 MiB.
class TextBlocks {
public:
    // Keeps a copy of `text`; its place: the block above, the offset within it below.
    std::uint64_t Append(std::string_view text) {
        if (m_blocks.empty() || m_blocks.back().size() + text.size() > m_blocks.back().capacity()) {
            const std::size_t bytes = std::size_t{4096}
                                      << std::min<std::size_t>(m_blocks.size(), 8);
            m_blocks.emplace_back().reserve(std::max(bytes, text.size()));
        }
        std::string& block = m_blocks.back();
        const std::uint64_t at =
            (static_cast<std::uint64_t>(m_blocks.size() - 1) << 32) | block.size();
        block.append(text);
        return at;
    }
    std::string_view At(std::uint64_t place, std::size_t length) const {
        return std::string_view(m_blocks[static_cast<std::size_t>(place >> 32)])
            .substr(place & 0xFFFFFFFFU, length);
    }
    void Swap(TextBlocks& other) noexcept { m_blocks.swap(other.m_blocks); }

private:
    std::vector<std::string> m_blocks;
};
