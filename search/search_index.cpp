#include "search/search_index.h"

#include "core/sjis.h"
#include "search/like_text.h"
#include "search/search_index_format.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace velto {

using namespace search_index;

namespace {

[[noreturn]] void damaged() { throw SearchIndexFault("the full-text search index of the database is damaged"); }

std::uint32_t number_at(std::string_view bytes, std::size_t& pos)
{
    std::uint32_t value = 0;
    if (!read_number(bytes, pos, value))
        damaged();
    return value;
}

// The postings of a character or a pair; empty when no page holds it.
std::string postings(Database& db, std::u32string_view characters)
{
    std::string key;
    for (char32_t c : characters)
        utf8_append(key, c);
    auto rs = db.execute("SELECT 出現 FROM T_索引 WHERE 文字 = '" + sql_escape(key) + "'");
    return rs->eof() ? std::string() : rs->text("出現");
}

// Reads the page numbers of postings, each followed (for a pair) by the
// bytes of its places; `entry(page, places)` hears each.
template <typename Entry>
void read_pages(std::string_view bytes, std::size_t page_count, bool with_places, Entry entry)
{
    std::uint32_t page = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const bool first = pos == 0;
        const std::uint32_t step = number_at(bytes, pos);
        if ((!first && step == 0) || std::uint64_t{page} + step >= page_count)
            damaged();
        page += step;
        std::string_view places;
        if (with_places) {
            const std::uint32_t size = number_at(bytes, pos);
            if (size == 0 || size > bytes.size() - pos)
                damaged();
            places = bytes.substr(pos, size);
            pos += size;
        }
        entry(page, places);
    }
}

// A page in the postings of a pair, with the bytes of its places.
struct PairPage {
    std::uint32_t page;
    std::string_view places;
};

// The places of a pair in a page, read one at a time, in increasing order.
class Places {
public:
    explicit Places(std::string_view bytes) : bytes_(bytes) { advance(); }

    // Moves to the first place at or after `target`; false when there is none.
    bool seek(std::uint64_t target)
    {
        while (more_ && place_ < target)
            advance();
        return more_;
    }
    std::uint64_t place() const { return place_; }

private:
    void advance()
    {
        more_ = pos_ < bytes_.size();
        if (more_)
            place_ += number_at(bytes_, pos_);
    }

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::uint64_t place_ = 0;
    bool more_ = false;
};

// The pairs that cover a word of three or more characters: one at every
// second character and the last; where each stands, the rest must follow.
std::vector<std::size_t> covering_pairs(std::size_t length)
{
    std::vector<std::size_t> offsets;
    for (std::size_t k = 0; k + 2 < length; k += 2)
        offsets.push_back(k);
    offsets.push_back(length - 2);
    return offsets;
}

} // namespace

std::unique_ptr<SearchIndex> SearchIndex::open(Database& db)
{
    try {
        return read(db);
    } catch (const ComponentError&) {
        return nullptr;
    } catch (const SearchIndexFault&) {
        return nullptr;
    }
}

std::unique_ptr<SearchIndex> SearchIndex::read(Database& db)
{
    if (db.execute("SELECT count(*) AS n FROM sqlite_master WHERE type = 'table' AND name IN ('T_索引', 'T_索引情報')")
            ->number("n") != 2)
        return nullptr;
    std::map<std::string, std::string> info;
    for (auto rs = db.execute("SELECT 項目, 内容 FROM T_索引情報"); !rs->eof(); rs->move_next())
        info[rs->text("項目")] = rs->text("内容");
    if (info[std::string(kFormKey)] != kForm)
        return nullptr;

    auto index = std::unique_ptr<SearchIndex>(new SearchIndex);
    {
        const std::string& ids = info[std::string(kPagesKey)];
        index->ids_.reserve(ids.size());
        std::string_view last;
        for (std::size_t pos = 0; pos < ids.size();) {
            const std::uint32_t size = number_at(ids, pos);
            if (size > ids.size() - pos)
                damaged();
            const std::string_view id = std::string_view(ids).substr(pos, size);
            // The results' order is that of the pages.
            if (index->offsets_.size() > 1 && !(last < id))
                damaged();
            index->ids_ += id;
            index->offsets_.push_back(static_cast<std::uint32_t>(index->ids_.size()));
            last = id;
            pos += size;
        }
        const std::string& odd = info[std::string(kOddTextsKey)];
        for (std::size_t pos = 0; pos < odd.size();) {
            const std::uint32_t page = number_at(odd, pos);
            const std::uint32_t size = number_at(odd, pos);
            if (page >= index->page_count() || size > odd.size() - pos)
                damaged();
            index->odd_texts_.push_back(OddText{page, odd.substr(pos, size)});
            pos += size;
        }
    }
    return index;
}

SearchIndex::Pages SearchIndex::pages_of(Database& db, std::string_view word, const Pages* within) const
{
    std::u32string characters;
    for (std::size_t pos = 0; pos < word.size();) {
        const Utf8Char c = utf8_decode_at(word, pos);
        characters += fold_like_case(c.code);
        pos += c.bytes;
    }
    Pages pages = find_pages(db, characters, within);
    Pages odd;
    for (const OddText& text : odd_texts_) {
        if ((!within || std::binary_search(within->begin(), within->end(), text.page)) && like_contains(text.text, word))
            odd.push_back(text.page);
    }
    if (!odd.empty()) {
        std::sort(odd.begin(), odd.end());
        Pages all;
        std::set_union(pages.begin(), pages.end(), odd.begin(), odd.end(), std::back_inserter(all));
        all.erase(std::unique(all.begin(), all.end()), all.end());
        pages = std::move(all);
    }
    return pages;
}

std::vector<std::string> SearchIndex::ids(const Pages& pages) const
{
    std::vector<std::string> out;
    out.reserve(pages.size());
    for (std::uint32_t page : pages)
        out.emplace_back(id(page));
    return out;
}

SearchIndex::Pages SearchIndex::find_pages(Database& db, const std::u32string& word, const Pages* within) const
{
    Pages pages;
    if (word.empty() || word.size() > 2)
        return word.empty() ? pages : find_phrase(db, word, within);
    read_pages(postings(db, word), page_count(), word.size() == 2,
               [&pages](std::uint32_t page, std::string_view) { pages.push_back(page); });
    if (within) {
        Pages both;
        std::set_intersection(pages.begin(), pages.end(), within->begin(), within->end(), std::back_inserter(both));
        pages = std::move(both);
    }
    return pages;
}

namespace {

// Whether the pairs (each with its offset in the word) stand in one page at
// the places that make the word: the place where the word would begin moves
// on to what each pair allows until all agree or one has no place left.
template <typename Pair>
bool stands_together(const std::vector<const Pair*>& pairs, const std::vector<const PairPage*>& in_page)
{
    std::vector<Places> places;
    places.reserve(pairs.size());
    for (const PairPage* entry : in_page)
        places.emplace_back(entry->places);
    std::uint64_t start = 0;
    for (std::size_t agreed = 0, i = 0; agreed < pairs.size(); i = (i + 1) % pairs.size()) {
        const std::uint64_t want = start + pairs[i]->offset;
        if (!places[i].seek(want))
            return false;
        if (places[i].place() == want) {
            ++agreed;
        } else {
            start = places[i].place() - pairs[i]->offset;
            agreed = 1;
        }
    }
    return true;
}

} // namespace

SearchIndex::Pages SearchIndex::find_phrase(Database& db, const std::u32string& word, const Pages* within) const
{
    struct Pair {
        std::size_t offset;
        std::string bytes;
        std::vector<PairPage> pages;
    };
    const std::vector<std::size_t> offsets = covering_pairs(word.size());
    std::vector<Pair> pairs(offsets.size());
    for (std::size_t i = 0; i < offsets.size(); ++i) {
        Pair& pair = pairs[i];
        pair.offset = offsets[i];
        pair.bytes = postings(db, std::u32string_view(word).substr(pair.offset, 2));
        if (pair.bytes.empty())
            return {};
        read_pages(pair.bytes, page_count(), true,
                   [&pair](std::uint32_t page, std::string_view places) { pair.pages.push_back({page, places}); });
    }
    // The rarest pair leads; the others are looked up in its pages only. (The
    // pairs stay where they are: their pages point into their bytes.)
    std::vector<const Pair*> order;
    for (const Pair& pair : pairs)
        order.push_back(&pair);
    std::sort(order.begin(), order.end(), [](const Pair* a, const Pair* b) { return a->pages.size() < b->pages.size(); });

    Pages found;
    std::vector<std::size_t> next(order.size(), 0);
    std::vector<const PairPage*> in_page(order.size());
    const auto by_page = [](const PairPage& entry, std::uint32_t page) { return entry.page < page; };
    auto left = within ? within->begin() : Pages::const_iterator();
    for (const PairPage& lead : order[0]->pages) {
        if (within) {
            left = std::lower_bound(left, within->end(), lead.page);
            if (left == within->end())
                break;
            if (*left != lead.page)
                continue;
        }
        in_page[0] = &lead;
        bool everywhere = true;
        for (std::size_t i = 1; i < order.size() && everywhere; ++i) {
            const std::vector<PairPage>& other = order[i]->pages;
            const auto at = std::lower_bound(other.begin() + static_cast<std::ptrdiff_t>(next[i]), other.end(),
                                             lead.page, by_page);
            next[i] = static_cast<std::size_t>(at - other.begin());
            everywhere = at != other.end() && at->page == lead.page;
            in_page[i] = everywhere ? &*at : nullptr;
        }
        if (everywhere && stands_together(order, in_page))
            found.push_back(lead.page);
    }
    return found;
}

} // namespace velto
