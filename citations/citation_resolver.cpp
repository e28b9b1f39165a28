// Which law a citation is of, and the provisions found without reading
// sentences: notifications, appended tables and whole articles.
#include "citations/citation_resolver.h"

#include "citations/citation_index.h"
#include "catalog/page_catalog.h"
#include "compose/velto_doc.h"
#include "core/identifiers.h"
#include "core/kanji_numerals.h"
#include "core/sjis.h"

#include <algorithm>
#include <vector>

namespace velto {

using namespace citation;

namespace {

constexpr std::string_view kEmptyMessage = "移動先の条文を入力してください（例: 法6条の2、令第百十二条第十八項、別表第2）";
constexpr std::string_view kNoLawMessage =
    "どの法令の条文かが分かりません。法令名を付けて入力してください（例: 法6条、令112条）";
constexpr std::string_view kNoArticleMessage = "条を付けて入力してください（例: 令112条18項）";
constexpr std::size_t kMaxNameSuggestions = 5;

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

// A typed text as a message quotes it: without blanks at its ends, at most
// kQuotedCharacters characters.
constexpr std::size_t kQuotedCharacters = 40;
std::string quoted(std::string_view typed)
{
    std::vector<std::string_view> characters;
    for (std::size_t pos = 0; pos < typed.size();) {
        const std::size_t bytes = utf8_decode_at(typed, pos).bytes;
        characters.push_back(typed.substr(pos, bytes));
        pos += bytes;
    }
    const auto blank = [](std::string_view c) { return normalize_citation(c).empty(); };
    std::size_t first = 0, last = characters.size();
    while (first < last && blank(characters[first]))
        ++first;
    while (last > first && blank(characters[last - 1]))
        --last;
    std::string out;
    for (std::size_t i = first; i < last && i - first < kQuotedCharacters; ++i)
        out += characters[i];
    return "「" + out + (last - first > kQuotedCharacters ? "…」" : "」");
}

// The part of the typed text that normalises to `unread`, the end of its
// normalised form; empty when no end of the typed text does.
std::string typed_part(std::string_view typed, std::string_view unread)
{
    for (std::size_t pos = 0; pos < typed.size();) {
        if (normalize_citation(typed.substr(pos)) == unread)
            return std::string(typed.substr(pos));
        pos += utf8_decode_at(typed, pos).bytes;
    }
    return {};
}

// What cannot be read, in the reader's own words: the whole text typed, and
// the part of it that is not a number of a provision, or that the number is missing.
std::string unreadable(std::string_view typed, std::string_view unread)
{
    if (unread.empty())
        return quoted(typed) + "には条の番号がありません（例: 法6条、令112条18項）";
    const std::string part = typed_part(typed, unread);
    const std::string whole = quoted(typed);
    if (part.empty() || quoted(part) == whole)
        return whole + "を条文の番号として読めませんでした";
    return whole + "の" + quoted(part) + "を条文の番号として読めませんでした";
}

// Where the body of a citation begins in a normalised text whose law name is
// not known: at 第, a digit, a kanji numeral, 別表 or 附則.
std::size_t body_start(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::string_view rest = text.substr(pos);
        const Utf8Char c = utf8_decode_at(text, pos);
        if (c.code == U'第' || (c.code >= U'0' && c.code <= U'9') || is_kanji_numeral(c.code) ||
            rest.substr(0, 6) == "別表" || rest.substr(0, 6) == "附則")
            return pos;
        pos += c.bytes;
    }
    return text.size();
}

CitationResult not_found(std::string message) { return CitationResult{false, {}, std::move(message), {}}; }

std::u32string characters(std::string_view text)
{
    std::u32string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode_at(text, pos);
        out += c.code;
        pos += c.bytes;
    }
    return out;
}

// True when `a` becomes `b` by changing, adding or leaving out one character
// (建築基準法施工令 for 建築基準法施行令): a slip of the hand.
bool one_slip_apart(const std::u32string& a, const std::u32string& b)
{
    const std::u32string& shorter = a.size() <= b.size() ? a : b;
    const std::u32string& longer = a.size() <= b.size() ? b : a;
    if (longer.size() - shorter.size() > 1 || shorter.size() < 2)
        return false;
    std::size_t front = 0;
    while (front < shorter.size() && shorter[front] == longer[front])
        ++front;
    const std::size_t skip = longer.size() - shorter.size(); // 1: one added; 0: one changed
    const std::size_t rest = front + (skip == 0 ? 1 : 0);
    return front == shorter.size() || shorter.compare(rest, std::u32string::npos, longer, front + 1) == 0;
}

} // namespace

CitationResolver::~CitationResolver() = default;

// --- resolving ---

CitationResult CitationResolver::resolve(std::string_view text, std::string_view current_page) const
{
    CitationResult result = resolve_text(text, current_page);
    // Offer only what is there.
    std::vector<std::string> found;
    for (std::string& suggestion : result.suggestions) {
        if (std::find(found.begin(), found.end(), suggestion) == found.end() &&
            resolve_text(suggestion, current_page).found)
            found.push_back(std::move(suggestion));
    }
    result.suggestions = std::move(found);
    if (!result.found && !result.suggestions.empty())
        result.message += "。近いもの: " + joined(result.suggestions);
    return result;
}

CitationResult CitationResolver::resolve_text(std::string_view text, std::string_view current_page) const
{
    const std::string plain = normalize_citation(text);
    if (plain.empty())
        return not_found(std::string(kEmptyMessage));
    try {
        NoticeCitation notice;
        if (contains(plain, "告") && parse_notice_citation(plain, notice))
            return resolve_notice(notice);

        Request request;
        std::string unread;
        bool named = false;
        const auto family = index_->family.find(std::string(current_page.substr(0, 3)));
        for (const auto& [name, known_owners] : index_->names) {
            if (plain.compare(0, name.size(), name) != 0)
                continue;
            // On a page of an order or rule, 法 and 令 are its own act and order.
            std::vector<std::string> parent;
            if (family != index_->family.end())
                if (const auto own = family->second.find(name); own != family->second.end())
                    parent.push_back(own->second);
            const std::vector<std::string>& owners = parent.empty() ? known_owners : parent;
            if (owners.empty())
                continue;
            std::string left;
            if (!parse_citation_body(std::string_view(plain).substr(name.size()), request.body, left)) {
                if (!named)
                    unread = left;
                named = true;
                continue;
            }
            request.law_word = name;
            if (owners.size() > 1)
                return ambiguous_law(name, owners, request.body);
            request.law = &law_of(owners.front());
            return resolve_body(request, current_page);
        }

        // No name the database or the alias file knows: the words before the number.
        const std::size_t start = body_start(plain);
        const std::string word = plain.substr(0, start);
        const std::string_view rest = std::string_view(plain).substr(start);
        std::string left;
        if (!parse_citation_body(rest, request.body, left)) {
            if (!named)
                unread = rest.empty() ? plain : left;
            return not_found(unreadable(text, unread));
        }
        if (!word.empty())
            return unknown_law(word, request.body, current_page);
        // Of the law shown, when a law is shown.
        IdKind kind;
        const auto law = index_->laws.find(std::string(current_page.substr(0, 3)));
        if (law == index_->laws.end() || !IdentifierRules::_id_kind(current_page, kind) || kind == IdKind::Special ||
            kind == IdKind::Notice)
            return not_found(std::string(kNoLawMessage));
        request.law = &law_of(law->first);
        return resolve_body(request, current_page);
    } catch (const ComponentError& error) {
        return not_found("法令データベースを読めませんでした（" + std::string(error.what()) + "）");
    } catch (const std::exception&) {
        return not_found("法令データベースを読めませんでした");
    }
}

CitationResult CitationResolver::ambiguous_law(const std::string& word, const std::vector<std::string>& owners,
                                               const CitationBody& body) const
{
    std::vector<std::string> laws;
    for (const std::string& id : owners)
        laws.push_back(index_->laws.at(id).name);
    CitationResult result = not_found("「" + word + "」に当たる法令が複数あります（" + joined(laws) + "）");
    for (const std::string& law : laws)
        result.suggestions.push_back(law + citation_text(body));
    return result;
}

// A name that is no law's name: a law it begins the name of, unless it begins several.
CitationResult CitationResolver::unknown_law(const std::string& word, const CitationBody& body,
                                             std::string_view current_page) const
{
    if (const auto absent = index_->absent_aliases.find(word); absent != index_->absent_aliases.end())
        return not_found("「" + word + "」の指す" + absent->second + "はこのデータベースにありません");
    std::vector<std::string> starting, near;
    const std::u32string typed = characters(word);
    for (const auto& [name, owners] : index_->names) {
        const bool starts = name.compare(0, word.size(), word) == 0;
        const bool close = starts || contains(name, word) || (word.size() > 3 && contains(word, name) && name.size() > 3) ||
                           one_slip_apart(typed, characters(name));
        for (const std::string& id : owners) {
            auto& list = starts ? starting : near;
            if (close && std::find(list.begin(), list.end(), id) == list.end())
                list.push_back(id);
        }
    }
    if (starting.size() == 1) {
        Request request;
        request.law = &law_of(starting.front());
        request.law_word = word;
        request.body = body;
        return resolve_body(request, current_page);
    }
    if (starting.size() > 1) {
        std::sort(starting.begin(), starting.end()); // in the order of the law list
        return ambiguous_law(word, starting, body);
    }
    CitationResult result = not_found("「" + word + "」という法令はありません");
    for (const std::string& id : near) {
        if (result.suggestions.size() < kMaxNameSuggestions)
            result.suggestions.push_back(index_->laws.at(id).name + citation_text(body));
    }
    return result;
}

CitationResult CitationResolver::resolve_body(Request& request, std::string_view current_page) const
{
    CitationBody& body = request.body;
    if (body.kind == CitationBody::Kind::Table)
        return resolve_table(request);
    if (body.kind == CitationBody::Kind::Supplement)
        return resolve_supplement(request);
    if (request.law->articles.empty()) {
        std::string message = request.law->name + "には条がありません";
        if (request.law->has_notices)
            message += "。告示は番号で入力してください（例: 平12建告1400）";
        return not_found(std::move(message));
    }
    if (body.article == 0) {
        // 第2項: of the article shown.
        IdKind kind;
        int branch1 = 0, branch2 = 0;
        if (current_page.substr(0, 3) != request.law->id || !IdentifierRules::_id_kind(current_page, kind) ||
            kind != IdKind::Article ||
            !IdentifierRules::_parse_article_id(current_page, body.article, branch1, branch2))
            return not_found(std::string(kNoArticleMessage));
        body.branch1 = branch1;
        body.branch2 = branch2;
    }
    return resolve_article(request);
}

CitationResult CitationResolver::resolve_notice(const NoticeCitation& notice) const
{
    std::vector<const NoticeEntry*> matches;
    std::map<int, const NoticeEntry*> same_year; // by number
    for (const NoticeEntry& entry : notices()) {
        const bool era = notice.era_code == 0 || (entry.era_code == notice.era_code && entry.era_year == notice.era_year);
        if (era && entry.number == notice.number)
            matches.push_back(&entry);
        if (era && notice.era_code > 0)
            same_year.emplace(entry.number, &entry);
    }
    const auto text_of = [](const NoticeEntry& e) { return notice_text(e.era_code, e.era_year, e.number); };
    if (matches.size() == 1) {
        const NoticeEntry& entry = *matches.front();
        return CitationResult{true, {entry.page, {}, {}, index_->laws.at(entry.law).name + " " + text_of(entry)}, {}, {}};
    }
    if (matches.size() > 1) {
        CitationResult result = not_found(notice_text(0, 0, notice.number) + "に当たる告示が複数あります");
        for (const NoticeEntry* entry : matches)
            result.suggestions.push_back(text_of(*entry));
        return result;
    }
    CitationResult result = not_found(notice_text(notice.era_code, notice.era_year, notice.number) + "はありません");
    for (int number : neighbours(same_year, notice.number))
        result.suggestions.push_back(text_of(*same_year.at(number)));
    return result;
}

CitationResult CitationResolver::resolve_table(const Request& request) const
{
    const CitationBody& body = request.body;
    const LawIndex& law = *request.law;
    const TableKey key{body.table, body.table_branch};
    const auto found = law.tables.find(key);
    if (found != law.tables.end())
        return CitationResult{true, {found->second, {}, {}, law.name + " " + citation_text(body)}, {}, {}};
    std::string words = "別表";
    if (body.table > 0)
        words += "第" + kanji_numeral_text(body.table);
    if (body.table_branch > 0)
        words += "の" + kanji_numeral_text(body.table_branch);
    CitationResult result = not_found(law.name + "に" + words + "はありません");
    for (const TableKey& near : neighbours(law.tables, key)) {
        CitationBody other = body;
        std::tie(other.table, other.table_branch) = near;
        result.suggestions.push_back(request.law_prefix() + citation_text(other));
    }
    return result;
}

std::unique_ptr<CitationResolver> open_citation_resolver(CVeltoDoc& doc)
{
    std::vector<std::string> problems;
    std::vector<CitationAlias> aliases = read_alias_file(doc.program_dir() + std::string(kAliasFileName), problems);
    // An installation's user keeps lines of their own in the user folder; they come later and win.
    if (doc.user_dir() != doc.program_dir())
        for (CitationAlias& alias : read_alias_file(doc.user_dir() + std::string(kAliasFileName), problems))
            aliases.push_back(std::move(alias));
    if (!problems.empty()) {
        std::string text = "別名ファイル「" + std::string(kAliasFileName) +
                           "」に読めないところがありました。そこは使わずに続けます。\n\n";
        constexpr std::size_t kShown = 10;
        for (std::size_t i = 0; i < problems.size() && i < kShown; ++i)
            text += problems[i] + "\n";
        if (problems.size() > kShown)
            text += "ほか" + std::to_string(problems.size() - kShown) + "件\n";
        doc.reporter().show("別名ファイルの読み込み", text, MessageButtons::Ok, MessageIcon::Exclamation);
    }
    return std::make_unique<CitationResolver>(doc.database(), doc.laws(), aliases);
}

} // namespace velto
