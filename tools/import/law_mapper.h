// Turns the tree of one law into the rows of the law database.
//
// Identifiers (law HHH):
//   headings  HHH-CCcc-SSss-KKkk-MMmm  章/節/款/目: two-digit number and two branch
//             codes ("1"-"9", "A"-"Z") from the Num attribute ("4_2" -> "0420").
//             A law divided into 編 (Part) shifts every level down by one, with
//             款 and 目 sharing the last group; its headings are numbered in
//             order and keep their own labels (T_章.告示 set), since the
//             reader's generated labels know no 編.
//   articles  HHH-NNNNBBCC-00           Num "6_2" -> HHH-00060200-00
//   sentences page-PPp0-IIi0-AAbc-0000  paragraph PP (branch p), item II
//             (branch code i), sub-items AA (イ ロ ...), b ((1) (2) ...),
//             c ((ⅰ) (ⅱ) ...): the reader's numbering of the official levels.
//   附則       HHH-FGGG0000-PP           the supplementary provisions in order
//             (the original first), a hundred pages per split group GGG.
//   別表       HHH-TNNNBBCC-00           appended table N (branches BB, CC); the
//             table is a T_表 row keyed HHH-TNNNBBCC-00-0000-0000-0000-0000.
//   別記       HHH-T9990000-00           the law's forms, figures and notes, a
//             line each (T_表 as a table page).
#pragma once

#include "tools/import/law_tree.h"

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace velto::import {

struct MapOptions {
    std::string law_id;                    // ID_HN, 3 characters
    std::optional<std::string> name_short; // 法名略式; the title's Abbrev when absent
    int large = 60;                        // more sentences than this mark a page 大型
    // Words naming other laws in this law's text, with their ID_HN ("法" -> "01A").
    std::vector<std::pair<std::string, std::string>> aliases;
    // The articles of those laws where known; references link only to these.
    std::map<std::string, std::set<std::tuple<int, int, int>>> alias_articles{};
};

// Every text of the rows below is HTML that shows the official text as text
// (html_text()): the reader writes names, headings and captions into its pages
// as they are stored. Only RevisionRow holds plain text.
struct LawRow {
    std::string id, name, name_short, name_full;
};

// Which text of the law this is, for the reader to say so (T_版); plain text,
// each field empty when the input does not tell.
struct RevisionRow {
    std::string title;       // 題名: LawTitle
    std::string law_number;  // 法令番号: LawNum
    std::string law_id;      // 法令ID: "325AC0000000201"
    std::string revision_id; // 版ID: "325AC0000000201_20251201_507AC0000000035"
    std::string enforced;    // 施行日 of the revision: "2025-12-01"
    std::string amendment;   // 改正法令番号: the law number of the last amendment
    std::string source;      // 出典: the name of the imported file
};

struct HeadingRow {
    std::string id_sn;
    std::array<std::string, 4> names; // 章名, 節名, 款名, 目名: the one of its level is set
    bool labelled = false;            // the name carries its own label (告示)
};

struct PageRow {
    std::string id_fn, id_sn, caption, supplement; // 条名, 補足
    int split = 0;                                 // 分割
    bool large = false;                            // 大型
    bool shown = true;                             // 表示
    int sentences = 0;
};

struct SentenceRow {
    std::string id_bn;
    std::string text;   // 法文: HTML-safe text with the reader's reference markup
    std::string style;  // 書式コード
    std::string search; // 検索用データ
    bool table = false; // 表式: T_表 rows follow the sentence
};

struct TableRow {
    std::string id_bn;
    int order = 1;
    std::string html;   // a complete HTML document
    std::string search; // 検索用データ
};

struct LawRows {
    LawRow law;
    RevisionRow revision;
    std::vector<HeadingRow> headings;
    std::vector<PageRow> pages;
    std::vector<SentenceRow> sentences;
    std::vector<TableRow> tables;
    int articles = 0;          // article pages of the main provision
    int supplement_pages = 0;  // 附則 pages
    int table_pages = 0;       // 別表 pages
    std::vector<std::string> notes; // parts of the document that have no place in the database
};

// Maps a parsed law. On failure returns false with a message that names the
// place in the document ("Law/LawBody/MainProvision/Chapter[2]/Article[6_2] (line 88): ...").
bool map_law(const Node& law, const MapOptions& options, LawRows& rows, std::string& error);

} // namespace velto::import
