// The words the citation resolver writes: parts of provisions as the law
// writes them (messages), and citations the parser reads back (labels and
// offers).
#include "citations/citation_index.h"
#include "core/identifiers.h"
#include "core/kanji_numerals.h"

namespace velto::citation {

std::string article_words(const ArticleKey& key)
{
    const auto [number, branch1, branch2] = key;
    std::string text = "第" + kanji_numeral_text(number) + "条";
    if (branch1 > 0)
        text += "の" + kanji_numeral_text(branch1);
    if (branch1 > 0 && branch2 > 0)
        text += "の" + kanji_numeral_text(branch2);
    return text;
}

std::string paragraph_words(int paragraph) { return "第" + kanji_numeral_text(paragraph) + "項"; }

std::string item_words(int item, int branch)
{
    std::string text = "第" + kanji_numeral_text(item) + "号";
    if (branch > 0)
        text += "の" + kanji_numeral_text(branch);
    return text;
}

std::string sub_item_words(int sub_item, int sub_sub_item)
{
    std::string text = sub_item > 0 ? IdentifierRules::_iroha_katakana(sub_item) : "";
    if (sub_sub_item > 0)
        text += "(" + std::to_string(sub_sub_item) + ")";
    return text;
}

std::string citation_text(const CitationBody& body)
{
    std::string text;
    switch (body.kind) {
    case CitationBody::Kind::Table:
        text = "別表";
        if (body.table > 0)
            text += "第" + std::to_string(body.table);
        if (body.table_branch > 0)
            text += "の" + std::to_string(body.table_branch);
        return text;
    case CitationBody::Kind::Supplement: text = "附則"; break;
    case CitationBody::Kind::Article: break;
    }
    if (body.article > 0) {
        text += "第" + std::to_string(body.article) + "条";
        if (body.branch1 > 0)
            text += "の" + std::to_string(body.branch1);
        if (body.branch1 > 0 && body.branch2 > 0)
            text += "の" + std::to_string(body.branch2);
    }
    if (body.paragraph > 0)
        text += "第" + std::to_string(body.paragraph) + "項";
    if (body.item > 0)
        text += item_words(body.item, body.item_branch);
    return text + sub_item_words(body.sub_item, body.sub_sub_item);
}

std::string notice_text(int era_code, int era_year, int number)
{
    std::string text;
    if (era_code > 0)
        text += std::string(era_name_of_code(era_code)) + std::to_string(era_year) + "年";
    return text + "告示第" + std::to_string(number) + "号";
}

std::string joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : "、") + item;
    return text;
}

} // namespace velto::citation
