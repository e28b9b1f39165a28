// Text markup: stored sentence text becomes page HTML, and the title blocks
// that open article, supplementary-provisions and notification pages.
//
// Stored sentences carry a small markup of their own:
//   [第20条]  [第6条の2/01B]        references to articles (the part from "/" names another law)
//   [L visible text/01A-00200000L]  an explicit link to a 12-character page identifier
//   [K keyword K]                   a keyword mark (wrapped by the reference block)
//   「term」という。                 a definition
//   （ ... ）                        a nestable parenthetical phrase
//   ㎝2 m3 秒2 ...                   units with exponents
//
// The link forms written here are a contract with the page view (which
// follows every address holding "_VELTO") and with the pinpoint files (which
// are keyed by the anchor ids):
//   <a id="OWNER-to-01A-00200000-p01" href='http://01A-00200000_VELTO'>第20条</a>
//   <a href='http://01A-00200000_VELTO'>visible text</a>
// Repeated anchor ids are renumbered -p02, -p03 ... so every id is unique.
//
// Text is UTF-8, but every length limit of the markup (21 bytes for a
// reference, 80 for an explicit link, a definition or a keyword, 11 for an
// uncoloured bracket pair, 1-4 and 1-2 for the digit fields) is a Shift-JIS
// byte count and is measured with sjis_width. Markers are only ever found on
// character boundaries. Any text, however malformed or long, may be passed:
// nothing reads outside it, and every routine runs in time linear in its text
// (repeated spans are replaced in one pass, never by rescanning).
#pragma once

#include "settings/settings.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

// A unit with its exponent and the exponent alone, e.g. {"㎝2", "2"}.
struct SuperscriptRule {
    std::string_view unit;
    std::string_view exponent;
};

// The units a sentence's exponents are raised for, in the order they are applied.
inline constexpr std::array<SuperscriptRule, 7> kSuperscriptRules = {{
    {"㎝2", "2"},
    {"㎝3", "3"},
    {"㎜2", "2"},
    {"㎜3", "3"},
    {"m3", "3"},
    {"s2", "2"},
    {"秒2", "2"},
}};

class TextMarkup {
public:
    // The settings are held by reference: every call reads their current values.
    explicit TextMarkup(const DisplaySettings& display) : display_(display) {}

    // Article references become anchored links: "-p01" anchors for article
    // pages (table = false), "-t01" for table pages. `owner` is the identifier
    // of the sentence the text belongs to; its first 3 characters are the law
    // of references without a "/law" part.
    std::string _mark_article_links(std::string_view owner, std::string_view text, bool table) const;

    // "[L" visible "/" identifier "L]" markers become links; anchored ("-m01")
    // when the owner is a 35-character sentence identifier, plain otherwise.
    std::string _mark_explicit_links(std::string_view owner, std::string_view text) const;

    // For each anchor: the second and later places of the anchor without its
    // last two characters get their following two characters overwritten with
    // the place's number, "02", "03" ... (three digits from the 100th on).
    static void _number_anchors(std::string& text, const std::vector<std::string>& anchors);

    // Paints parenthetical phrases by nesting level with the bracket colours.
    // False, and the text unchanged, when a "）" closes nothing.
    bool _color_brackets(std::string& text) const;
    // The same for a sentence already marked up: the pairs, their levels and
    // which of them are long enough are decided on `stored` (the sentence as
    // stored, markers included); the spans go around the same brackets of
    // `html`. Brackets inside tags are not brackets, and a pair whose two
    // brackets stand in different elements stays plain, so links and keyword
    // marks come out the same with colouring on and off. False, and `html`
    // unchanged, when a "）" closes nothing or the two texts do not hold the
    // same brackets.
    bool _color_brackets(std::string& html, std::string_view stored) const;

    // Writes the exponent of every `unit` as a superscript.
    static void _mark_superscripts(std::string_view unit, std::string_view exponent, std::string& text);
    // Applies every rule of kSuperscriptRules in order; a text that holds no
    // unit's last two bytes side by side is passed over in one look.
    static void _mark_all_superscripts(std::string& text);

    // Terms defined as 「term」という。 are set in bold brown wherever they occur.
    static std::string _emphasize_definitions(std::string_view text);

    // Every span from `open` through the next `close` (at most 79 bytes
    // between them) becomes prefix + the span without its markers + suffix.
    static void _wrap_marked(std::string_view open, std::string_view close, std::string_view prefix,
                             std::string_view suffix, std::string& text);
    // Every `open` that has a `close` after it loses both markers, whatever
    // lies between: marked text that nothing emphasised is shown as text.
    static void _unwrap_marked(std::string_view open, std::string_view close, std::string& text);

    // The title block of an article page (empty for an article number of 0
    // or less), or with `plain` the one-line title "caption 第N条の…".
    std::string _title_article(int article, int branch1, int branch2, std::string_view caption,
                               bool plain) const;
    // The title block of a supplementary-provisions page.
    std::string _title_supplement(std::string_view caption) const;
    // The title block of a notification: era (1 明治 ... 5 令和), year and number.
    std::string _title_notice(int era_code, int era_year, int notice_number, std::string_view caption) const;

private:
    const DisplaySettings& display_;
};

} // namespace velto
