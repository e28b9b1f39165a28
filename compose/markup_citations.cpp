// Citation links: the spans of T_引用 wrapped in links around the stored words.
#include "compose/citation_spans.h"

#include "core/database.h"
#include "core/identifiers.h"
#include "core/text_format.h"
#include "core/text_replace.h"

#include <algorithm>

namespace velto {

namespace {

constexpr std::size_t kArticleWidth = 12;
constexpr std::size_t kSentenceWidth = 35;

bool is_identifier(std::string_view id)
{
    return std::all_of(id.begin(), id.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
    });
}

// Words a link may hold: no tag, no marker of the stored markup.
bool plain_words(std::string_view words)
{
    return words.find_first_of("<>[]&") == std::string_view::npos;
}

} // namespace

std::string provision_scope(std::string_view sentence)
{
    if (sentence.size() != kSentenceWidth)
        return {};
    if (sentence.substr(21, 4) == "0000")
        return std::string(sentence.substr(0, kParagraphScope));
    if (sentence.substr(26, 2) == "00")
        return std::string(sentence.substr(0, kItemScope));
    if (sentence[28] == '0')
        return std::string(sentence.substr(0, kSubItemScope));
    return std::string(sentence.substr(0, kSubSubItemScope));
}

std::string citation_link_target(const CitationSpan& span)
{
    if (span.anchor.size() == kSentenceWidth && span.anchor.compare(0, kPageScope, span.page) == 0)
        return span.anchor;
    return span.page.substr(0, kArticleWidth);
}

std::string mark_citation_spans(std::string_view owner, std::string_view stored, const std::vector<CitationSpan>& spans)
{
    if (spans.empty())
        return std::string(stored);
    std::string out;
    out.reserve(stored.size() + spans.size() * 140);
    std::vector<std::pair<std::string_view, int>> seen; // article linked to -> links so far
    std::size_t copied = 0;
    for (const CitationSpan& span : spans) {
        const std::size_t end = span.start + span.length;
        if (span.start < copied || span.length == 0 || end > stored.size() || span.page.size() != kPageScope ||
            !is_identifier(span.page) || !is_identifier(span.anchor) || !is_char_boundary(stored, span.start) ||
            !is_char_boundary(stored, end))
            continue;
        const std::string_view words = stored.substr(span.start, span.length);
        if (!plain_words(words))
            continue;
        const std::string_view article = std::string_view(span.page).substr(0, kArticleWidth);
        auto it = std::find_if(seen.begin(), seen.end(), [&](const auto& s) { return s.first == article; });
        if (it == seen.end())
            it = seen.insert(seen.end(), {article, 0});
        const std::string number = padded_number(++it->second, 2);
        out.append(stored.substr(copied, span.start - copied));
        out.append("<a id=\"").append(owner).append("-to-").append(article).append("-p").append(number);
        out.append("\" href='http://").append(citation_link_target(span)).append("_VELTO'>");
        out.append(words).append("</a>");
        copied = end;
    }
    out.append(stored.substr(copied));
    return out;
}

const std::vector<CitationSpan>& CitationSpanCache::spans_of(Database& db, std::string_view id_bn)
{
    const std::string_view page = id_bn.substr(0, std::min(id_bn.size(), kPageScope));
    if (!loaded_ || page != page_) {
        loaded_ = true;
        page_ = std::string(page);
        rows_.clear();
        if (has_table_ < 0)
            has_table_ = db.has_table("T_引用") ? 1 : 0;
        if (page.size() == kPageScope && is_identifier(page) && has_table_ == 1) {
            auto rs = db.execute("SELECT ID_BN, 開始, 長さ, 引用先, アンカー FROM T_引用 WHERE ID_BN >= '" + page_ +
                                 "' AND ID_BN < '" + page_ + "~' AND 引用先 <> '' ORDER BY ID_BN, 開始");
            for (; !rs->eof(); rs->move_next()) {
                std::string sentence = rs->text("ID_BN");
                if (rows_.empty() || rows_.back().first != sentence)
                    rows_.emplace_back(std::move(sentence), std::vector<CitationSpan>{});
                const int start = rs->number("開始"), length = rs->number("長さ");
                if (start < 0 || length <= 0)
                    continue;
                rows_.back().second.push_back({static_cast<std::size_t>(start), static_cast<std::size_t>(length),
                                               rs->text("引用先"), rs->text("アンカー")});
            }
        }
    }
    const auto it = std::lower_bound(rows_.begin(), rows_.end(), id_bn,
                                     [](const auto& row, std::string_view id) { return row.first < id; });
    return it != rows_.end() && it->first == id_bn ? it->second : none_;
}

void CitationSpanCache::clear()
{
    loaded_ = false;
    rows_.clear();
}

} // namespace velto
