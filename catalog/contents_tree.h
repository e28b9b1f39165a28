// The contents of the "目次" tree: every shown law, its 章, 節, 款 and 目, and
// its pages as leaves, built in one pass over the database. The tree control
// shows these nodes; the command line prints them. Names and titles are the
// words a reader sees in the page (core/html_text.h): "A &amp; B" shows as
// "A & B", markup shows as its words only.
#pragma once

#include "core/database.h"
#include "core/identifiers.h"
#include "core/report.h"

#include <map>
#include <string>
#include <vector>

namespace velto {

struct TreeNode {
    int parent = -1;    // index of the parent node; -1 at the root
    int depth = 0;      // 0 at the root
    std::string text;
    std::string id;     // the identifier entered in the maps; empty for a split article's node
    int image = 0;      // state image 1-13
    bool folder = false;
    std::string whole;  // the text with the title uncut, when `text` had to cut it; else empty
};

// State images of the tree.
namespace tree_image {
constexpr int Collapsed = 1;
constexpr int Expanded = 2;
constexpr int SplitPage = 3;
constexpr int Table = 4;
constexpr int Page = 5;
} // namespace tree_image

class ContentsTree {
public:
    // Builds the nodes. False, after a report, when the law table is empty or
    // the database fails; after a failure the nodes read so far stay.
    bool build(Database& db, const IdentifierRules& ids, Reporter& reporter);

    const std::vector<TreeNode>& nodes() const { return nodes_; }
    // The node of an identifier (law, heading or page); -1 when absent.
    int node_of(const std::string& id) const;

    // One line a node: two spaces a level, the text, a tab, the identifier,
    // a tab, the state image.
    std::string listing() const;

    // The text of a page's label in the tree and its image (0: none of its own).
    static void page_label(const IdentifierRules& ids, const std::string& id_fn, std::string& label, int& image);
    // A page title as the tree shows it: "なし" empty, longer than 150 bytes cut.
    static std::string page_title(std::string title);

private:
    int insert(int parent, std::string text, bool folder, int image, const std::string& id, std::string whole = {});
    void build_levels(Database& db, const IdentifierRules& ids, const std::vector<std::string>& laws);
    void build_pages(Database& db, const IdentifierRules& ids);

    std::vector<TreeNode> nodes_;
    std::map<std::string, int> index_;
};

} // namespace velto
