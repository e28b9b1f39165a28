#include "userfiles/pinpoint_rows.h"

#include "core/text_format.h"

namespace velto {

namespace {

constexpr const char* kStatement = "SELECT * FROM T_文 WHERE LEFT([ID_BN], %d) = '%s' ORDER BY [ID_BN]";
constexpr int kArticleLength = 12;
constexpr std::string_view kPageTop = "頁トップ";
constexpr std::string_view kIndent = "　";

struct Sentence {
    std::string id;
    std::string style;
    int fudanuki = 0;
};

// How a row of one numbering depth is labelled: by which level, indented by
// how many units, and whether one more unit comes when the article's
// paragraphs are numbered.
struct DepthRule {
    LevelBits bit = 0; // 0: no row
    int indent = 0;
    bool extra = false;
};

DepthRule law_rule(int depth, bool paragraphs)
{
    switch (depth) {
    case 0: return paragraphs ? DepthRule{level::Paragraph, 0, false} : DepthRule{};
    case 1: return {level::Paragraph, 0, false};
    case 2: return {level::Item, 0, true};
    case 3: return {level::SubItem, 1, true};
    case 4: return {level::SubSubItem, 2, true};
    case 5: return {level::Fifth, 3, true};
    default: return {};
    }
}

DepthRule notice_rule(int depth)
{
    switch (depth) {
    case 1: return {notice_level::First, 0, false};
    case 2: return {notice_level::Second, 0, true};
    case 3: return {notice_level::Third, 1, true};
    case 4: return {notice_level::Fourth, 2, true};
    case 5: return {notice_level::Fifth, 3, true};
    case 6: return {notice_level::Sixth, 4, true};
    case 9: return {notice_level::Supplement, 0, false};
    case 10: return {notice_level::Appendix, 0, false};
    case 11: return {notice_level::PageSupplement, 0, false};
    case 12: return {notice_level::Table, 0, false};
    default: return {};
    }
}

// A label that is only blanks and dashes names nothing.
bool names_something(std::string_view label)
{
    std::size_t i = 0;
    while (i < label.size()) {
        if (label.compare(i, kIndent.size(), kIndent) == 0)
            i += kIndent.size();
        else if (label[i] == ' ' || label[i] == '-')
            ++i;
        else
            return true;
    }
    return false;
}

} // namespace

bool pinpoint_offers_sentences(std::string_view id_fn)
{
    IdKind kind;
    return IdentifierRules::_id_kind(id_fn, kind) && kind != IdKind::Table && kind != IdKind::Special;
}

PinPointRows build_pinpoint_rows(Database& db, const IdentifierRules& ids, std::string_view id_fn,
                                 std::string_view current)
{
    PinPointRows out;
    IdKind kind;
    if (!IdentifierRules::_id_kind(id_fn, kind))
        return out;
    const bool notice = kind == IdKind::Notice;

    std::vector<Sentence> sentences;
    bool paragraphs = false; // some sentence of the article is a numbered paragraph
    const std::string article(id_fn.substr(0, kArticleLength));
    auto rs = db.execute(format(kStatement, kArticleLength, sql_escape(article).c_str()));
    for (; !rs->eof(); rs->move_next()) {
        Sentence s{rs->text("ID_BN"), rs->text("書式コード"), rs->number("札抜")};
        int depth = 0;
        if (!notice && IdentifierRules::_sentence_depth(s.id, depth) && depth == 1)
            paragraphs = true;
        out.last_sentence = s.id;
        sentences.push_back(std::move(s));
    }
    rs->close();

    out.rows.push_back({std::string(kPageTop), std::string(id_fn),
                        current.empty() ? kPinPointCurrentImage : kPinPointOtherImage});
    bool notice_indent = true; // until a suppressed first-level heading
    for (const Sentence& s : sentences) {
        int depth = 0;
        DepthRule rule;
        std::string label;
        if (notice) {
            if (!IdentifierRules::_notice_sentence_depth(s.id, depth))
                continue;
            if (depth == 1 && s.fudanuki != 0) {
                notice_indent = false;
                continue;
            }
            rule = notice_rule(depth);
            if (rule.bit == 0 || !ids._notice_sentence_label(s.id, label, rule.bit, s.style, false))
                continue;
            rule.extra = rule.extra && notice_indent;
        } else {
            if (!IdentifierRules::_sentence_depth(s.id, depth))
                continue;
            rule = law_rule(depth, paragraphs);
            if (rule.bit == 0 || !ids._sentence_label(s.id, label, rule.bit, s.style, false))
                continue;
            rule.extra = rule.extra && paragraphs;
        }
        if (!names_something(label))
            continue;
        std::string text;
        for (int i = 0; i < rule.indent + (rule.extra ? 1 : 0); ++i)
            text += kIndent;
        text += label;
        const bool is_current = s.id == current;
        if (is_current)
            out.selected = static_cast<int>(out.rows.size());
        out.rows.push_back({std::move(text), s.id, is_current ? kPinPointCurrentImage : kPinPointOtherImage});
    }
    return out;
}

} // namespace velto
