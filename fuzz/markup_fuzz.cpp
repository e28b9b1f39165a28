// Runs every text markup routine on arbitrary bytes.
//
// Input layout: byte 0 holds switches (bit 0: table anchors, bit 1: take the
// owner identifier from the input, bit 2: markers of _wrap_marked from the
// input); with bit 1 the owner runs up to the first NUL byte (at most 64
// bytes), with bit 2 the next two NUL-terminated pieces are the markers; the
// rest is the text. Sanitizers catch memory and undefined-behaviour faults,
// libFuzzer's timeouts catch runaway loops; the checks below catch broken
// promises of the routines.
#include "compose/markup.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

using namespace velto;

namespace {

constexpr std::string_view kSentenceOwner = "01A-00010000-00-0001-0000-0000-0000";

std::string_view take_piece(std::string_view& rest, std::size_t max)
{
    const std::size_t end = std::min(rest.find('\0'), std::min(max, rest.size()));
    const std::string_view piece = rest.substr(0, end);
    rest.remove_prefix(std::min(rest.size(), end + 1));
    return piece;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::uint8_t flags = data[0];
    std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool table = flags & 1;
    const std::string_view owner = (flags & 2) ? take_piece(rest, 64) : kSentenceOwner;
    std::string_view open = "[K", close = "K]";
    if (flags & 4) {
        open = take_piece(rest, 8);
        close = take_piece(rest, 8);
    }
    const std::string text(rest);

    static DisplaySettings display = default_display_settings();
    display[DisplaySettings::FontColorBrachet2A] = static_cast<std::int32_t>(size * 2654435761u);
    const TextMarkup markup(display);

    // Each routine alone.
    const std::string linked = markup._mark_article_links(owner, text, table);
    markup._mark_explicit_links(owner, text);
    markup._mark_explicit_links("", text);
    std::string coloured = text;
    if (!markup._color_brackets(coloured))
        check(coloured == text);
    std::string raised = text;
    for (const auto& rule : kSuperscriptRules)
        TextMarkup::_mark_superscripts(rule.unit, rule.exponent, raised);
    TextMarkup::_mark_superscripts(open, close, raised);
    TextMarkup::_emphasize_definitions(text);
    std::string wrapped = text;
    TextMarkup::_wrap_marked(open, close, "<SPAN>", "</SPAN>", wrapped);
    std::string numbered = text;
    std::vector<std::string> anchors = {std::string(owner) + "-to-01A-00200000-p01", std::string(open),
                                        std::string(text.substr(0, 40))};
    TextMarkup::_number_anchors(numbered, anchors);
    TextMarkup::_number_anchors(numbered, {});

    // The order of an article page: brackets are coloured last, as stored.
    std::string sentence(text);
    for (const auto& rule : kSuperscriptRules)
        TextMarkup::_mark_superscripts(rule.unit, rule.exponent, sentence);
    sentence = markup._mark_article_links(owner, sentence, table);
    sentence = markup._mark_explicit_links(owner, sentence);
    sentence = TextMarkup::_emphasize_definitions(sentence);
    TextMarkup::_wrap_marked("[K", "K]", "<SPAN>", "</SPAN>", sentence);
    TextMarkup::_unwrap_marked("[K", "K]", sentence);
    const std::string before_colour = sentence;
    if (!markup._color_brackets(sentence, text))
        check(sentence == before_colour);

    // Titles take any numbers and captions.
    const int a = size > 1 ? static_cast<std::int8_t>(data[1]) * 97 : 0;
    const int b = size > 2 ? static_cast<std::int8_t>(data[2]) : 0;
    const int c = size > 3 ? static_cast<std::int8_t>(data[3]) : 0;
    check(markup._title_article(a, b, c, text, false).empty() == (a <= 0));
    markup._title_article(a, b, c, text, true);
    markup._title_supplement(text);
    markup._title_notice(b, c, a, text);
    return 0;
}
