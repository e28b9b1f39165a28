// Numbering tag, left margin and hanging indent of each sentence of a page.
#include "compose/velto_doc.h"

namespace velto {

namespace {

constexpr std::string_view kBlank = "　";

struct Indent {
    double margin; // in units of u
    double indent;
};

} // namespace

bool CVeltoDoc::_sentence_layout(std::string_view id_bn, std::string_view style, IdKind kind, int fudanuki, double u,
                                 std::string& label, double& margin, double& indent) const
{
    label.clear();
    margin = indent = 0.0;
    const auto apply = [&](Indent i) {
        margin = i.margin * u;
        indent = i.indent * u;
    };

    if (kind == IdKind::Article || kind == IdKind::Supplement) {
        int depth = 0;
        if (!_sentence_depth(id_bn, depth))
            return false;
        static constexpr LevelBits kLevels[] = {level::Article,    level::Paragraph,  level::Item,
                                                level::SubItem,    level::SubSubItem, level::Fifth};
        static constexpr Indent kIndents[] = {{1.5, -1.5}, {1.5, -1.5}, {2.5, -1.5},
                                              {3.5, -1.5}, {4.5, -1.5}, {5.5, -1.5}};
        if (depth < 0 || depth > 5)
            return false;
        if (kind == IdKind::Supplement && depth == 1)
            return true; // paragraphs of supplementary provisions carry no tag
        const bool labelled = _sentence_label(id_bn, label, kLevels[depth], style, false);
        if (kind == IdKind::Supplement && depth == 2) {
            if (label.empty())
                return true;
            apply({1.5, -1.5});
        } else {
            apply(kIndents[depth]);
        }
        if (labelled)
            label += kBlank;
        return true;
    }

    if (kind != IdKind::Notice)
        return false;
    int depth = 0;
    if (!_notice_sentence_depth(id_bn, depth))
        return false;
    switch (depth) {
    case 0:
        return true;
    case 9:
    case 10:
    case 11:
    case 12: {
        static constexpr LevelBits kLevels[] = {notice_level::Supplement, notice_level::Appendix,
                                                notice_level::PageSupplement, notice_level::Table};
        static constexpr Indent kIndents[] = {{0, 0}, {3, -3}, {0, 0}, {3, -3}};
        _notice_sentence_label(id_bn, label, kLevels[depth - 9], style, false);
        apply(kIndents[depth - 9]);
        return true;
    }
    default:
        break;
    }
    if (depth < 1 || depth > 6)
        return false;
    static constexpr LevelBits kLevels[] = {notice_level::First,  notice_level::Second, notice_level::Third,
                                            notice_level::Fourth, notice_level::Fifth,  notice_level::Sixth};
    static constexpr Indent kEmpty[] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}};
    static constexpr Indent kBracketed[] = {{1.5, -1.5}, {2.5, -1.5}, {4.5, -2.5},
                                            {5.5, -2.5}, {6.5, -2.5}, {7.5, -2.5}};
    static constexpr Indent kOther[] = {{1.5, -1.5}, {2.5, -1.5}, {3.5, -1.5}, {4.5, -1.5}, {5.5, -1.5}, {6.5, -1.5}};
    const int i = depth - 1;
    _notice_sentence_label(id_bn, label, kLevels[i], style, false);
    if (label.empty()) {
        apply(kEmpty[i]);
    } else {
        apply(label.rfind("（", 0) == 0 ? kBracketed[i] : kOther[i]);
        label += kBlank;
    }
    if (depth == 1 && fudanuki != 0) {
        label.clear();
        margin = indent = 0.0;
    }
    return true;
}

} // namespace velto
