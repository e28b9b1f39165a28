// The mapping of one law, shared by the files that map each kind of element
// (headings, articles and their sentences, supplementary provisions, appended
// tables). Only law_mapper.cpp and those files include it; everyone else calls
// map_law().
#pragma once

#include "core/identifiers.h"
#include "tools/import/law_mapper.h"
#include "tools/import/law_text.h"
#include "tools/import/references.h"

#include <array>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace velto::import::mapping {

// "1"-"9", "A"-"Z" for 1 to 35; "0" for none.
char code_char(int value);
std::string two_digits(int value);

// The parts of a Num attribute: "6_2" -> {6, 2}; a range "17:18" gives its first member.
struct Num {
    std::vector<int> parts;
    bool range = false;
};

// The children of LawBody that go to the page of the law's 別記: forms,
// figures and notes (AppdxStyle, AppdxFormat, AppdxFig, AppdxNote, Appdx).
bool is_appendix_form(std::string_view tag);

// Without a Num attribute the element takes `ordinal`, unless the attribute is `required`.
Num parse_num(const Node& node, const Trail* trail, int ordinal, bool required);

struct PageBuild {
    PageRow page;
    std::vector<SentenceRow> rows; // text and search hold HTML and plain text until the page is done
    std::vector<TableRow> tables;
    std::unordered_set<std::string> ids;
    bool references = false; // article references of the text become links
    int paragraph_rows = 0;  // paragraph-level rows of a 附則 page
};

// Maps one law into `out`; run() throws MapError naming the place of a fault.
// Each group of members below lives in the file of its elements.
class Mapper {
public:
    Mapper(const MapOptions& options, LawRows& out) : options_(options), out_(out) {}

    void run(const Node& law);

private:
    // main provision: map_headings.cpp, map_articles.cpp
    void walk_main(const Node& container, const Trail* trail, const std::array<std::string, 4>& slots,
                   int* shared_last, bool emit);
    std::string heading_group(const Node& heading, const Trail* trail);
    void map_article(const Node& article, const Trail* trail, const std::string& id_sn);
    std::string article_page_id(const Node& article, const Trail* trail, ArticleKey& key);

    // sentences: map_articles.cpp
    void map_paragraph(PageBuild& pb, const Node& paragraph, const Trail* trail, const std::string& group,
                       const Rich* number);
    void map_item(PageBuild& pb, const Node& item, const Trail* trail, int level, std::string id, int ordinal);
    void map_rest(PageBuild& pb, const Node& node, const Trail* trail, int level, std::string_view id);
    std::size_t add_row(PageBuild& pb, const Trail* trail, const std::string& id, const Rich& text,
                        const std::string& style = {});
    void add_lines(PageBuild& pb, const Node& node, const Trail* trail);
    void attach_table(PageBuild& pb, const Node& table, const Trail* trail);
    void finish_page(PageBuild& pb);

    // 附則 and 別表: map_supplements.cpp, map_appendix_tables.cpp
    void map_supplement(const Node& provision, const Trail* trail, int index, int group_size);
    void map_supplement_part(PageBuild& pb, const Node& node, const Trail* trail);
    std::string supplement_group(PageBuild& pb, const Trail* trail);
    void map_appendix_table(const Node& table, const Trail* trail, std::set<std::string>& seen);
    // 別記: map_appendix_forms.cpp
    void map_appendix_forms(const std::vector<const Node*>& parts, const Trail* body_trail);

    std::string numbering_style(const std::string& id, int level, const std::string& title, bool& show_title) const;

    const MapOptions& options_;
    LawRows& out_;
    IdentifierRules rules_;
    bool labelled_ = false; // the law is divided into 編
    std::string law_number_;
    std::set<ArticleKey> articles_;
    std::map<std::string, std::string> article_places_; // page id -> where it came from
    std::set<std::string> heading_ids_;
    ReferenceScope scope_;
};

} // namespace velto::import::mapping
