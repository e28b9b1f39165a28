// The text typed into the full-text search entry: how it is cleaned up before
// a search, which characters it may not contain, and the messages that say so.
//
// Texts are UTF-8. Every character refused by the search is a single byte
// below 0x80, and no byte of a multi-byte UTF-8 character is in that range,
// so the checks look at bytes and never match inside a Japanese character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velto {

// The characters a search text may not contain, in the order the message lists them:
// [ ] < > " ' ! ? | : ; \ # $ & ^ ~
inline constexpr std::string_view kSearchForbiddenChars = "[]<>\"'!?|:;\\#$&^~";
static_assert(kSearchForbiddenChars.size() == 17);

// Searching for this text shows the hidden page instead.
inline constexpr std::string_view kHiddenPageSearchText = "7318450962";

inline constexpr std::string_view kSearchResultCaption = "検索結果";
inline constexpr std::string_view kSearchEmptyMessage = "検索する語句を入力して下さい。";

// Full-width digits ０-９ become "0"-"9", full-width letters Ａ-Ｚ and ａ-ｚ
// become "A"-"Z", single-byte a-z become upper case; everything else, the
// full-width space included, stays as it is.
void NormaliseSearchText(std::string& text);

// The text without single-byte white space (space, tab, CR, LF, VT, FF) at
// either end. A full-width space is not white space here.
std::string trim_search_text(std::string_view text);

// True when the text holds any of kSearchForbiddenChars.
bool has_forbidden_search_char(std::string_view text);

// The message for a refused text: it lists all the forbidden characters,
// each followed by two spaces, not only those found.
std::string forbidden_search_message();

// What to do with the text of the search entry.
enum class SearchEntryAction {
    Empty,      // nothing left after trimming: ask for a word
    Forbidden,  // holds a forbidden character: list them
    HiddenPage, // the hidden page's number: show that page, no search
    Search,     // search for SearchEntryCheck::text
};

struct SearchEntryCheck {
    SearchEntryAction action = SearchEntryAction::Empty;
    std::string text; // trimmed and normalised
};

// Trims and normalises the entry's text, then decides what it asks for.
SearchEntryCheck check_search_entry(std::string_view entry);

// The longest text that is split into words (Shift-JIS bytes, after trimming).
inline constexpr std::size_t kSplitWordsLimit = 2048;

// The words of a search text, in order: any run of spaces (single-byte or
// full-width) separates two words; other white space (a tab, a line break)
// belongs to the word it stands in, after white space at both ends has been
// trimmed. False, with `words` empty, when nothing but blanks is left or the
// trimmed text is longer than kSplitWordsLimit. The full-text
// search and the word marks of the page view split their texts alike.
bool _split_words(std::string_view text, std::vector<std::string>& words);

} // namespace velto
