#include "citations/citation_copy.h"

#include "catalog/law_editions.h"
#include "citations/citation_index.h"
#include "citations/readable_text.h"
#include "core/text_format.h"

#include <set>
#include <vector>

namespace velto {

namespace {

constexpr std::size_t kArticleLength = 12;  // the article of a page, whatever its page
constexpr std::size_t kParagraphLength = 20; // a sentence's paragraph: "01B-01120000-00-1800"
constexpr std::string_view kBlank = "　";

struct Sentence {
    std::string id;
    std::string style;
    int fudanuki = 0;
    std::string stored;
    bool tables = false;
};

// The position of the first case-insensitive occurrence of `tag` ("<tr") at
// or after `from` that is followed by a blank, ">" or "/".
std::size_t find_tag(std::string_view html, std::string_view tag, std::size_t from)
{
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t at = from; at + tag.size() < html.size(); ++at) {
        std::size_t i = 0;
        while (i < tag.size() && lower(html[at + i]) == tag[i])
            ++i;
        if (i < tag.size())
            continue;
        const char next = html[at + tag.size()];
        if (next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\r' || next == '\n')
            return at;
    }
    return std::string_view::npos;
}

// The edition of law `law` as the heading names it: "（令和7年12月1日施行）".
std::string edition_note(Database& db, std::string_view law)
{
    std::vector<LawEdition> editions;
    if (!read_law_editions(db, editions))
        return {};
    for (const LawEdition& e : editions)
        if (e.law == law && !e.enforced.empty())
            return "（" + japanese_date(e.enforced) + "施行）";
    return {};
}

// The citation of the page (and paragraph) without the edition.
bool citation_of(const CVeltoDoc& doc, std::string_view page, IdKind kind, int paragraph, int paragraph_branch,
                 std::string& citation)
{
    const std::string law = doc._law_name(page.substr(0, 3), kLawNameGeneral);
    switch (kind) {
    case IdKind::Article: {
        int article = 0, branch1 = 0, branch2 = 0;
        if (!IdentifierRules::_parse_article_id(page, article, branch1, branch2))
            return false;
        citation = law + citation::article_words({article, branch1, branch2});
        if (paragraph > 0) {
            citation += citation::paragraph_words(paragraph);
            if (paragraph_branch > 0)
                citation.insert(citation.size() - std::string_view("項").size(),
                                "の" + IdentifierRules::_kanji_numeral(paragraph_branch));
        }
        return true;
    }
    case IdKind::Supplement: {
        std::string name, supplement;
        doc._page_names(page, name, supplement);
        citation = law + "附則";
        if (!supplement.empty())
            citation += "（" + supplement + "）";
        return true;
    }
    case IdKind::Table: {
        std::string label;
        if (!IdentifierRules::_table_label(page, label))
            return false;
        citation = law + label;
        return true;
    }
    case IdKind::Notice:
        return IdentifierRules::_notice_number_label(page, citation, true);
    default:
        return false;
    }
}

std::vector<Sentence> read_sentences(Database& db, std::string_view scope)
{
    std::vector<Sentence> sentences;
    auto rs = db.execute(format("SELECT * FROM T_文 WHERE LEFT([ID_BN], %d) = '%s' ORDER BY [ID_BN]",
                                static_cast<int>(scope.size()), sql_escape(scope).c_str()));
    for (; !rs->eof(); rs->move_next())
        sentences.push_back(
            {rs->text("ID_BN"), rs->text("書式コード"), rs->number("札抜"), rs->text("法文"), rs->number("表式") != 0});
    return sentences;
}

std::string tables_of(Database& db, const std::string& id_bn)
{
    std::string text;
    auto rs = db.execute(format("SELECT * FROM T_表 WHERE ID_BN = '%s' ORDER BY 順序", sql_escape(id_bn).c_str()));
    for (; !rs->eof(); rs->move_next()) {
        if (rs->is_null("表式データ"))
            continue;
        const std::string rows = table_text(marked_links_html(id_bn, rs->text("表式データ"), true));
        if (!rows.empty())
            text += rows + "\n";
    }
    return text;
}

} // namespace

std::string table_text(std::string_view html)
{
    std::string text;
    for (std::size_t row = find_tag(html, "<tr", 0); row != std::string_view::npos;) {
        const std::size_t next_row = find_tag(html, "<tr", row + 3);
        const std::size_t row_end = std::min(find_tag(html, "</tr", row), next_row);
        const std::string_view body = html.substr(row, row_end == std::string_view::npos ? std::string_view::npos
                                                                                        : row_end - row);
        std::vector<std::string> cells;
        std::size_t cell = std::min(find_tag(body, "<td", 0), find_tag(body, "<th", 0));
        while (cell != std::string_view::npos) {
            const std::size_t next = std::min(find_tag(body, "<td", cell + 3), find_tag(body, "<th", cell + 3));
            const std::size_t end = next == std::string_view::npos ? body.size() : next;
            cells.push_back(readable_text(body.substr(cell, end - cell)).text);
            cell = next;
        }
        if (!cells.empty()) {
            std::string line = cells.front();
            for (std::size_t i = 1; i < cells.size(); ++i)
                line += "\t" + cells[i];
            text += (text.empty() ? "" : "\n") + line;
        }
        row = next_row;
    }
    return text;
}

bool copy_provision(CVeltoDoc& doc, std::string_view page, std::string_view sentence, std::string& text)
{
    text.clear();
    IdKind kind;
    if (!IdentifierRules::_id_kind(page, kind) || kind == IdKind::Special)
        return false;
    const bool articles = kind == IdKind::Article || kind == IdKind::Supplement;
    const std::vector<Sentence> all =
        read_sentences(doc.database(), articles ? page.substr(0, kArticleLength) : page);

    // The paragraph under the mouse; an article of one paragraph is cited as the article.
    std::string scope;
    SentenceFields fields;
    if (articles && sentence.size() > kParagraphLength && sentence.substr(0, page.size()) == page &&
        IdentifierRules::_parse_sentence_id(sentence, level::Paragraph, fields) && fields.paragraph > 0) {
        std::set<std::string> paragraphs;
        for (const Sentence& s : all)
            if (s.id.size() > kParagraphLength && s.id.compare(16, 4, "0000") != 0)
                paragraphs.insert(s.id.substr(0, kParagraphLength));
        scope = std::string(sentence.substr(0, kParagraphLength));
        if (paragraphs.size() < 2)
            fields = {};
    }

    std::string citation;
    if (!citation_of(doc, page, kind, scope.empty() ? 0 : fields.paragraph, fields.paragraph_branch, citation))
        return false;
    const double unit = 1.0;
    std::string body;
    for (const Sentence& s : all) {
        if (!scope.empty() && s.id.compare(0, scope.size(), scope) != 0)
            continue;
        std::string label;
        double margin = 0, indent = 0;
        if (!doc._sentence_layout(s.id, s.style, kind, s.fudanuki, unit, label, margin, indent))
            continue;
        // A hidden tag (the page writes it in the background colour) is no label.
        if (kind == IdKind::Notice && label.find('-') != std::string::npos)
            label.clear();
        const std::string words = readable_text(marked_links_html(s.id, s.stored, false)).text;
        // The label as the page shows it, one full-width space after it.
        std::string tag = readable_text(label).text;
        while (tag.size() >= kBlank.size() && tag.compare(tag.size() - kBlank.size(), kBlank.size(), kBlank) == 0)
            tag.resize(tag.size() - kBlank.size());
        if (!tag.empty() && !words.empty())
            tag += kBlank;
        if (!(tag + words).empty())
            body += tag + words + "\n";
        if (s.tables)
            body += tables_of(doc.database(), s.id);
    }
    if (body.empty())
        return false;
    text = citation + edition_note(doc.database(), page.substr(0, 3)) + "\n" + body;
    return true;
}

} // namespace velto
