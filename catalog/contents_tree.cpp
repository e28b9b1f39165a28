#include "catalog/contents_tree.h"

#include "core/html_text.h"
#include "core/sjis.h"
#include "core/text_format.h"

namespace velto {

namespace {

constexpr ReportOrigin kTreeOrigin{"ツリーの生成", "VTreeCtrl::_show()"};
constexpr std::string_view kSeparator = "　";

struct Level {
    const char* statement;
    const char* name_field;
    LevelBits bit;
    std::size_t parent_prefix; // characters of ID_SN naming the parent level
    const char* parent_suffix;
};

constexpr Level kLevels[] = {
    {"SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN], 5, 4) <> '0000' AND RIGHT([ID_SN], 14) = "
     "'0000-0000-0000' ORDER BY [ID_SN]",
     "章名", section_level::Chapter, 3, ""},
    {"SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND MID([ID_SN], 10, 4) <> "
     "'0000' AND RIGHT([ID_SN], 9) = '0000-0000' ORDER BY [ID_SN]",
     "節名", section_level::Section, 8, "-0000-0000-0000"},
    {"SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND MID([ID_SN], 10, 4) <> "
     "'0000' AND MID([ID_SN], 15, 4) <> '0000' AND RIGHT([ID_SN], 4) = '0000' ORDER BY [ID_SN]",
     "款名", section_level::Subsection, 13, "-0000-0000"},
    {"SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND MID([ID_SN], 10, 4) <> "
     "'0000' AND MID([ID_SN], 15, 4) <> '0000' AND MID([ID_SN], 20, 4) <> '0000' ORDER BY [ID_SN]",
     "目名", section_level::Division, 18, "-0000"},
};

// Images of notices by era letter and year.
int notice_image(const std::string& id)
{
    const char era = id.size() > 5 ? id[5] : '\0';
    if (era == 'C')
        return 6;
    if (era != 'D')
        return 0;
    switch (decimal_value(std::string_view(id).substr(6, 2))) {
    case 19: return 8;
    case 20: return 9;
    case 21: return 10;
    case 23: return 11;
    case 25: return 12;
    case 26: return 13;
    default: return 7;
    }
}

} // namespace

int ContentsTree::insert(int parent, std::string text, bool folder, int image, const std::string& id, std::string whole)
{
    TreeNode node;
    node.whole = std::move(whole);
    node.parent = parent;
    node.depth = parent < 0 ? 0 : nodes_[static_cast<std::size_t>(parent)].depth + 1;
    node.text = std::move(text);
    node.folder = folder;
    node.image = image != 0 ? image : (folder ? tree_image::Collapsed : tree_image::Page);
    node.id = id;
    nodes_.push_back(std::move(node));
    const int index = static_cast<int>(nodes_.size()) - 1;
    if (!id.empty())
        index_.insert_or_assign(id, index);
    return index;
}

int ContentsTree::node_of(const std::string& id) const
{
    const auto it = index_.find(id);
    return it == index_.end() ? -1 : it->second;
}

bool ContentsTree::build(Database& db, const IdentifierRules& ids, Reporter& reporter)
{
    nodes_.clear();
    index_.clear();
    try {
        std::vector<std::string> laws;
        auto rs = db.execute("SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]");
        if (rs->eof()) {
            report(reporter, kTreeOrigin, ReportVariant::Plain,
                   "テーブル(T_法)にレコードセットを見つけることが\nできませんでした。\n\n");
            return false;
        }
        for (; !rs->eof(); rs->move_next()) {
            laws.push_back(rs->text("ID_HN"));
            insert(-1, shown_text(rs->text("法名一般")), true, 0, laws.back());
        }
        rs->close();
        build_levels(db, ids, laws);
        build_pages(db, ids);
    } catch (const ComponentError& error) {
        report(reporter, kTreeOrigin, ReportVariant::Plain, error);
        return false;
    } catch (const std::exception&) {
        report_unexpected(reporter, kTreeOrigin, ReportVariant::Plain);
        return false;
    }
    return true;
}

void ContentsTree::build_levels(Database& db, const IdentifierRules& ids, const std::vector<std::string>& laws)
{
    for (const Level& level : kLevels) {
        for (const std::string& law : laws) {
            auto rs = db.execute(format(level.statement, sql_escape(law).c_str()));
            for (; !rs->eof(); rs->move_next()) {
                const std::string sn = rs->text("ID_SN");
                const std::string name = shown_text(rs->text(level.name_field));
                std::string label;
                const bool notice = rs->number("告示") != 0;
                std::string text = !notice && ids._section_label(sn, label, level.bit) ? label + std::string(kSeparator) + name
                                                                                       : name;
                const std::string parent_id = sn.substr(0, level.parent_prefix) + level.parent_suffix;
                insert(node_of(parent_id), std::move(text), true, 0, sn);
            }
        }
    }
}

void ContentsTree::page_label(const IdentifierRules& ids, const std::string& id, std::string& label, int& image)
{
    label = "不明";
    image = 0;
    IdKind kind;
    if (!ids._id_kind(id, kind))
        return;
    std::string text;
    switch (kind) {
    case IdKind::Article:
        if (ids._article_label(id, text))
            label = text.rfind("第", 0) == 0 ? text.substr(std::string("第").size()) : text;
        break;
    case IdKind::Supplement: label = "附則"; break;
    case IdKind::Notice:
        if (ids._notice_number_label(id, text, true))
            label = text;
        image = notice_image(id);
        break;
    case IdKind::Table:
        if (ids._table_label(id, text))
            label = text;
        image = tree_image::Table;
        break;
    case IdKind::Special: break;
    }
}

std::string ContentsTree::page_title(std::string title)
{
    return title == "なし" ? std::string() : sjis_shortened(title, 150);
}

void ContentsTree::build_pages(Database& db, const IdentifierRules& ids)
{
    // The node of the split article being filled and the 12 characters naming
    // that article. Pages hang under their own article's node: a page whose
    // first page is not shown gets a node of its own rather than landing under
    // the previous article or at the top level.
    int article_node = -1;
    std::string article;
    auto rs = db.execute("SELECT * FROM T_条 WHERE [表示] = YES ORDER BY [ID_FN]");
    for (; !rs->eof(); rs->move_next()) {
        const std::string sn = rs->text("ID_SN");
        int parent = node_of(sn);
        if (parent < 0)
            parent = node_of(sn.substr(0, 3));
        if (parent < 0)
            continue;
        const std::string fn = rs->text("ID_FN");
        const int parts = rs->number("分割");
        std::string label;
        int image = 0;
        page_label(ids, fn, label, image);
        std::string title;
        std::string whole; // the item's text with the title uncut, when it had to be cut
        IdKind kind;
        const bool supplement = ids._id_kind(fn, kind) && kind == IdKind::Supplement;
        if (label != "不明" && !supplement) {
            std::string stored = shown_text(rs->text("条名"));
            title = page_title(stored);
            if (title != stored && stored != "なし")
                whole = label + std::string(kSeparator) + stored;
        } else if (label == "不明") {
            title = shown_text(rs->text("条名"));
        }
        if (parts < 1) {
            insert(parent, label + std::string(kSeparator) + title, false, image, fn, std::move(whole));
            continue;
        }
        const int page = page_suffix_value(fn);
        if (page == 0 || article_node < 0 || fn.compare(0, 12, article) != 0) {
            article_node = insert(parent, label + std::string(kSeparator) + title, false, image, "", std::move(whole));
            article = fn.substr(0, 12);
        }
        insert(article_node, label + format(" (%02d)", page + 1) + std::string(kSeparator) + shown_text(rs->text("補足")), false,
               tree_image::SplitPage, fn);
    }
}

std::string ContentsTree::listing() const
{
    // Children in insertion order, printed depth first as the tree shows them.
    std::vector<std::vector<int>> children(nodes_.size() + 1);
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const int parent = nodes_[i].parent;
        children[parent < 0 ? nodes_.size() : static_cast<std::size_t>(parent)].push_back(static_cast<int>(i));
    }
    std::string out;
    std::vector<int> stack(children[nodes_.size()].rbegin(), children[nodes_.size()].rend());
    while (!stack.empty()) {
        const TreeNode& node = nodes_[static_cast<std::size_t>(stack.back())];
        const auto& below = children[static_cast<std::size_t>(stack.back())];
        stack.pop_back();
        stack.insert(stack.end(), below.rbegin(), below.rend());
        out.append(static_cast<std::size_t>(node.depth) * 2, ' ');
        out += node.text;
        out += '\t';
        out += node.id;
        out += '\t';
        out += std::to_string(node.image);
        out += '\n';
    }
    return out;
}

} // namespace velto
