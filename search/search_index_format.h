// How the full-text search index is stored (the tables T_索引 and T_索引情報
// of data/schema.sql): the names, the keys of characters, and the numbers of
// the postings. Shared by the pass that writes the index
// (search/search_index_writer.h) and the search that reads it
// (search/search_index.h); nothing else needs it.
//
// Numbers are unsigned LEB128: seven bits a byte, low bits first, the high
// bit set on every byte but the last. read_number never reads past its end
// and refuses a number of more than 32 bits, so damaged postings are found,
// never overrun.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velto::search_index {

// The form of the index this program writes and reads; an index of another
// form is not used (the statements search instead).
inline constexpr std::string_view kForm = "1";

// The rows of T_索引情報.
inline constexpr std::string_view kFormKey = "形式";
inline constexpr std::string_view kPagesKey = "頁";
inline constexpr std::string_view kOddTextsKey = "例外";

// The search statements match a sentence or table to its page by the first
// 15 characters of its identifier, and a page to its law by the first 3.
inline constexpr std::size_t kPagePrefix = 15;

// Places in a page are counted in characters over its texts one after
// another, with this much room after each, so that no pair of characters
// and no word reaches from one text into the next.
inline constexpr std::uint32_t kTextGap = 1;

inline void append_number(std::string& out, std::uint32_t value)
{
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

// Reads a number at `pos` and moves past it; false (pos unchanged) when the
// bytes end first or the number is too large.
inline bool read_number(std::string_view bytes, std::size_t& pos, std::uint32_t& value)
{
    std::uint64_t v = 0;
    for (std::size_t at = pos, shift = 0; at < bytes.size() && shift < 35; ++at, shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        v |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80)) {
            if (v > 0xFFFFFFFFu)
                return false;
            value = static_cast<std::uint32_t>(v);
            pos = at + 1;
            return true;
        }
    }
    return false;
}

} // namespace velto::search_index
