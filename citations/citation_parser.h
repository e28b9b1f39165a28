// Reading a typed citation ("令第百十二条第十八項", "法6条の2第1項2号",
// "別表第2", "附則第3項", "平12建告1400") into the numbers it names. Nothing
// is looked up here: which law a name means and whether the provision exists
// is the resolver's business (citations/citation_resolver.h).
//
// Numbers may be written in kanji (百十二, 二〇), Arabic or full-width digits;
// 第, 条, 項 and 号 may be left out where the order tells them apart
// (令129の2の4, 1項2号). Words that only qualify a provision (ただし書, 各号,
// 本文, 前段, 後段, 柱書, の規定) are read and ignored. Any text may be
// passed; what cannot be read is named, never guessed.
#pragma once

#include <string>
#include <string_view>

namespace velto {

// The part of a citation after the law's name.
struct CitationBody {
    enum class Kind { Article, Table, Supplement };
    Kind kind = Kind::Article;

    // Article (0: not given, the article of the page shown), its branches.
    int article = 0;
    int branch1 = 0;
    int branch2 = 0;
    // Paragraph 項 (0: not given).
    int paragraph = 0;
    // Item 号 and its branch (号の二: 2); 0 when not given.
    int item = 0;
    int item_branch = 0;
    // Sub-item イ, ロ ... by its place in the iroha order (1 for イ); 0 when not given.
    int sub_item = 0;
    // Sub-sub-item (1), (2) ...; 0 when not given.
    int sub_sub_item = 0;

    // Kind Table: 別表第N の B; number 0 is "別表" alone.
    int table = 0;
    int table_branch = 0;

    // Kind Supplement: the original supplementary provisions, or one of its
    // articles (附則第N条: `article`) or paragraphs (附則第N項: `paragraph`),
    // with items as above.
};

// A notification by its era, year and number.
struct NoticeCitation {
    int era_code = 0; // 1 明治 ... 5 令和 (as in page identifiers); 0 when not given
    int era_year = 0; // 0 when not given
    int number = 0;
};

// The citation with its characters made plain: full-width digits, letters and
// brackets as ASCII, ノ as の, every run of blanks as one " ", trimmed.
std::string normalize_citation(std::string_view text);

// Reads the part after the law's name from a normalised citation. False when
// some of it cannot be read; `unread` then holds the part from where reading
// stopped.
bool parse_citation_body(std::string_view body, CitationBody& out, std::string& unread);

// The length in bytes of the paragraph, item and sub-items a normalised text
// begins with: 6 characters for "第一項第二号又は…", nothing for "の規定により".
// Used for the words that follow a link to an article.
std::size_t leading_parts_length(std::string_view normalized);

// Reads a normalised citation of a notification: "平12建告1400",
// "平成12年建設省告示第1400号", "H12国交告1400", "告示1400", "告示第千四百号".
// False when the text is not one.
bool parse_notice_citation(std::string_view text, NoticeCitation& out);

} // namespace velto
