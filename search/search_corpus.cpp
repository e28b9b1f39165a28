#include "search/search_corpus.h"

#include "core/sjis.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace velto {

namespace {

// The pages the search statements may list, with the titles they look at.
// The same join and the same conditions as theirs decide what is displayable.
constexpr std::string_view kPageStatement =
    "SELECT T_条.[ID_FN], T_条.[条名], typeof(T_条.[ID_FN]) AS [型] FROM T_条, T_法 "
    "WHERE LEFT(T_条.[ID_FN],3) = T_法.[ID_HN] AND T_条.[表示] = YES AND T_法.[表示] = YES";
constexpr std::string_view kSentenceStatement = "SELECT [ID_BN], [検索用データ] FROM T_文";
constexpr std::string_view kTableStatement = "SELECT [ID_BN], [検索用データ] FROM T_表";

// The statements match a sentence or table to its page by the first 15
// characters of its identifier.
constexpr std::size_t kPagePrefix = 15;

// How often a long read looks whether it is to stop.
constexpr unsigned kCancelStride = 1024;

// What LIKE compares: the text up to its first NUL.
std::string_view up_to_nul(const std::string& text)
{
    return std::string_view(text.data(), std::strlen(text.c_str()));
}

void fold_ascii(std::string& text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
}

// Strict UTF-8: shortest forms only, no surrogates, nothing past U+10FFFF.
// Over such text a byte match of a plain UTF-8 word is a match of its
// characters; anything else SQLite decodes in ways of its own.
bool plain_utf8(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        std::size_t need = 0;
        char32_t code = 0;
        char32_t min = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            need = 1; code = c & 0x1F; min = 0x80;
        } else if (c >= 0xE0 && c <= 0xEF) {
            need = 2; code = c & 0x0F; min = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            need = 3; code = c & 0x07; min = 0x10000;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - p) <= need)
            return false;
        for (std::size_t i = 1; i <= need; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (p[i] & 0x3F);
        }
        if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        p += need + 1;
    }
    return true;
}

bool cancelled(const std::atomic<bool>* cancel, unsigned row)
{
    return cancel && row % kCancelStride == 0 && cancel->load(std::memory_order_relaxed);
}

} // namespace

bool SearchCorpus::serves(std::string_view word)
{
    if (word.empty() || word.find_first_of(std::string_view("%_\0", 3)) != std::string_view::npos)
        return false;
    // SQLite reads U+FFFE and U+FFFF as U+FFFD, so these three match more than their bytes.
    for (std::string_view odd : {"\xEF\xBF\xBD", "\xEF\xBF\xBE", "\xEF\xBF\xBF"}) {
        if (word.find(odd) != std::string_view::npos)
            return false;
    }
    return plain_utf8(word);
}

std::size_t SearchCorpus::add_page(std::string id, bool takes_texts)
{
    ids_.push_back(std::move(id));
    texts_.emplace_back();
    const std::size_t page = ids_.size() - 1;
    if (takes_texts)
        page_of_id_.try_emplace(ids_.back(), page);
    return page;
}

void SearchCorpus::add_text(std::size_t page, std::string_view text)
{
    if (text.empty())
        return;
    if (!plain_utf8(text)) {
        odd_texts_.push_back(OddText{page, std::string(text)});
        return;
    }
    std::string& out = texts_[page];
    const std::size_t from = out.size();
    out.append(text);
    out += '\0';
    for (std::size_t i = from; i < out.size(); ++i) {
        if (out[i] >= 'A' && out[i] <= 'Z')
            out[i] = static_cast<char>(out[i] - 'A' + 'a');
    }
}

bool SearchCorpus::load(Database& db, const std::atomic<bool>* cancel)
{
    *this = SearchCorpus();
    // The titles, sentences and tables are read from one state of the file.
    ReadTransaction reading(db);

    struct PageRow {
        std::string id;
        std::string title;
        bool text_id; // an identifier of another type never equals a sentence's prefix
    };
    std::vector<PageRow> rows;
    unsigned count = 0;
    {
        auto rs = db.execute(kPageStatement);
        for (; !rs->eof(); rs->move_next()) {
            if (cancelled(cancel, count++))
                return clear();
            std::string id = rs->text("ID_FN");
            if (!id.empty())
                rows.push_back(PageRow{std::move(id), rs->text("条名"), rs->text("型") == "text"});
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [](const PageRow& a, const PageRow& b) { return a.id < b.id; });
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t end = i;
        bool text_id = false;
        while (end < rows.size() && rows[end].id == rows[i].id)
            text_id = text_id || rows[end++].text_id;
        const std::size_t page = add_page(rows[i].id, text_id);
        for (; i < end; ++i)
            add_text(page, up_to_nul(rows[i].title));
    }
    rows.clear();

    for (std::string_view statement : {kSentenceStatement, kTableStatement}) {
        auto rs = db.execute(statement);
        for (; !rs->eof(); rs->move_next()) {
            if (cancelled(cancel, count++))
                return clear();
            const std::string key(utf8_substr(rs->text("ID_BN"), 0, kPagePrefix));
            const auto page = page_of_id_.find(key);
            if (page != page_of_id_.end())
                add_text(page->second, up_to_nul(rs->text("検索用データ")));
        }
    }
    page_of_id_.clear();
    if (cancel && cancel->load())
        return clear();
    for (std::string& text : texts_)
        text.shrink_to_fit();
    return true;
}

bool SearchCorpus::clear()
{
    *this = SearchCorpus();
    return false;
}

std::vector<std::string> SearchCorpus::find(std::string_view word) const
{
    std::string needle(word);
    fold_ascii(needle);
    std::vector<char> found(ids_.size(), 0);
    if (!needle.empty()) {
        for (std::size_t page = 0; page < texts_.size(); ++page) {
            const std::string& text = texts_[page];
            found[page] = memmem(text.data(), text.size(), needle.data(), needle.size()) != nullptr;
        }
        const std::string pattern = "%" + std::string(word) + "%";
        for (const OddText& odd : odd_texts_) {
            if (!found[odd.page] && sqlite3_strlike(pattern.c_str(), odd.text.c_str(), 0) == 0)
                found[odd.page] = 1;
        }
    }
    std::vector<std::string> pages;
    for (std::size_t page = 0; page < ids_.size(); ++page) {
        if (found[page])
            pages.push_back(ids_[page]);
    }
    return pages;
}

std::size_t SearchCorpus::text_bytes() const
{
    std::size_t bytes = 0;
    for (const std::string& text : texts_)
        bytes += text.size();
    for (const OddText& odd : odd_texts_)
        bytes += odd.text.size();
    return bytes;
}

} // namespace velto
