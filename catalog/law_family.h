// Families of laws: an act with the orders and rules that carry it out.
//
// Inside an enforcement order or rule, "法" and "令" mean its own parent act
// and order (in 消防法施行令 法 is 消防法; in 建築士法施行規則 法 is 建築士法
// and 令 is 建築士法施行令). Which laws those are is read from the law's own
// title (…施行令, …施行規則, "…法に基づく…"), never from a list, and found
// among the titles the laws of a database or of a collection being imported
// have or had: an order keeps the title of its act as it was when the order
// was made (宅地造成等規制法施行令 under 宅地造成及び特定盛土等規制法), so
// the titles of earlier editions count as well.
//
// The importer marks references after 法 and 令 with these laws; the reader's
// citation resolver reads a citation typed on a page of the law the same way.
// Any title may be passed; a title that names no parent, or a parent no law
// has, gives no alias.
#pragma once

#include "core/database.h"

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velto {

// A short name a law's text uses for another law, and that law's title.
struct ParentTitle {
    std::string name;  // "法" or "令"
    std::string title; // "消防法", "建築士法施行令"
};

// The parents a title names: "消防法施行令" -> 法 = 消防法; "建築士法施行規則"
// -> 法 = 建築士法, 令 = 建築士法施行令; "建築基準法に基づく…省令" -> 法 =
// 建築基準法, 令 = 建築基準法施行令. An act and a title of another form name none.
std::vector<ParentTitle> parent_titles(std::string_view title);

class LawFamilies {
public:
    // A title law `law` (ID_HN) has (`current`) or had. Where two laws have
    // had one title, the one that has it now wins, else the first added.
    void add_title(const std::string& law, const std::string& title, bool current);

    // The law whose title (now or earlier) is `title`; empty when none.
    std::string law_of_title(std::string_view title) const;
    // The aliases of the text of `law`: ("法", "03A"), ("令", "03B"); only
    // those whose parent is another law of the family found.
    std::vector<std::pair<std::string, std::string>> aliases(const std::string& law) const;
    // The laws `law` carries out (its 法 and 令), for their editions' dates.
    std::vector<std::string> parents(const std::string& law) const;

private:
    std::map<std::string, std::string> current_;             // law -> its title now
    std::map<std::string, std::pair<std::string, bool>> by_title_; // title -> law, and whether current
};

// Every title of the laws in `db`: 法名一般 of the laws the reader shows, and
// the 題名 of their current (T_版) and earlier (T_旧版) editions where the
// database has those tables. Throws ComponentError.
LawFamilies read_law_families(Database& db);

} // namespace velto
