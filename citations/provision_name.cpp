#include "citations/provision_name.h"

#include "core/identifiers.h"
#include "core/kanji_numerals.h"

namespace velto {

std::string provision_name(std::string_view id_bn, bool single_paragraph)
{
    constexpr LevelBits kAll = level::Article | level::Paragraph | level::Item | level::SubItem;
    IdKind kind;
    SentenceFields f;
    if (id_bn.size() != 35 || !IdentifierRules::_id_kind(id_bn.substr(0, 15), kind) || kind != IdKind::Article ||
        !IdentifierRules::_parse_sentence_id(id_bn, kAll, f) || f.article <= 0)
        return {};
    const auto kanji = [](int n) { return kanji_numeral_text(n); };
    std::string name = "第" + kanji(f.article) + "条";
    if (f.branch1 > 0)
        name += "の" + kanji(f.branch1);
    if (f.branch2 > 0)
        name += "の" + kanji(f.branch2);
    if (f.paragraph > 0 && !(single_paragraph && f.paragraph == 1 && f.paragraph_branch == 0)) {
        name += "第" + kanji(f.paragraph) + "項";
        if (f.paragraph_branch > 0)
            name += "の" + kanji(f.paragraph_branch);
    }
    if (f.item > 0) {
        name += "第" + kanji(f.item) + "号";
        if (f.item_branch > 0)
            name += "の" + kanji(f.item_branch);
    }
    if (f.sub_item > 0)
        name += IdentifierRules::_iroha_katakana(f.sub_item);
    return name;
}

} // namespace velto
