#include "search/search_text.h"

#include "core/sjis.h"

#include <utility>

namespace velto {

namespace {

// Full-width forms are U+FF10-FF19 (digits), U+FF21-FF3A (capitals) and
// U+FF41-FF5A (small letters): EF BC 90-99, EF BC A1-BA and EF BD 81-9A.
constexpr unsigned char kFullWidthLead = 0xEF;

// The single byte a three-byte full-width character stands for, or 0.
char single_byte_of(unsigned char second, unsigned char third)
{
    if (second == 0xBC) {
        if (third >= 0x90 && third <= 0x99)
            return static_cast<char>('0' + (third - 0x90));
        if (third >= 0xA1 && third <= 0xBA)
            return static_cast<char>('A' + (third - 0xA1));
    } else if (second == 0xBD) {
        if (third >= 0x81 && third <= 0x9A)
            return static_cast<char>('A' + (third - 0x81));
    }
    return 0;
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

void NormaliseSearchText(std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == kFullWidthLead && i + 2 < text.size()) {
            const char single = single_byte_of(static_cast<unsigned char>(text[i + 1]),
                                               static_cast<unsigned char>(text[i + 2]));
            if (single != 0) {
                out += single;
                i += 2;
                continue;
            }
        }
        out += (byte >= 'a' && byte <= 'z') ? static_cast<char>(byte - 'a' + 'A') : text[i];
    }
    text = std::move(out);
}

std::string trim_search_text(std::string_view text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && is_blank(text[begin]))
        ++begin;
    while (end > begin && is_blank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

bool has_forbidden_search_char(std::string_view text)
{
    return text.find_first_of(kSearchForbiddenChars) != std::string_view::npos;
}

std::string forbidden_search_message()
{
    std::string list;
    for (char c : kSearchForbiddenChars) {
        list += c;
        list += "  ";
    }
    return "次の文字が含まれる語句は検索できません。\n\n" + list;
}

SearchEntryCheck check_search_entry(std::string_view entry)
{
    SearchEntryCheck check;
    check.text = trim_search_text(entry);
    NormaliseSearchText(check.text);
    if (check.text.empty())
        check.action = SearchEntryAction::Empty;
    else if (has_forbidden_search_char(check.text))
        check.action = SearchEntryAction::Forbidden;
    else if (check.text == kHiddenPageSearchText)
        check.action = SearchEntryAction::HiddenPage;
    else
        check.action = SearchEntryAction::Search;
    return check;
}

bool _split_words(std::string_view text, std::vector<std::string>& words)
{
    words.clear();
    static constexpr std::string_view kFullWidthSpace = "　";
    std::string spaced;
    spaced.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (text.substr(pos, kFullWidthSpace.size()) == kFullWidthSpace) {
            spaced += ' ';
            pos += kFullWidthSpace.size();
        } else {
            spaced += text[pos++];
        }
    }
    const std::string trimmed = trim_search_text(spaced);
    if (trimmed.empty() || sjis_width(trimmed) > kSplitWordsLimit)
        return false;
    // Only spaces separate words: a tab or a line break is part of the word
    // it stands in, as typed.
    std::size_t start = 0;
    for (std::size_t pos = 0; pos <= trimmed.size(); ++pos) {
        if (pos == trimmed.size() || trimmed[pos] == ' ') {
            if (pos > start)
                words.emplace_back(trimmed.substr(start, pos - start));
            start = pos + 1;
        }
    }
    return true;
}

} // namespace velto
