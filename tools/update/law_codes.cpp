#include "tools/update/law_codes.h"

#include <algorithm>
#include <string_view>

namespace velto::update {

namespace {

bool ends_with(std::string_view text, std::string_view end)
{
    return text.size() > end.size() && text.substr(text.size() - end.size()) == end;
}

// The letter a law of this title takes in its family when it is free.
char preferred_letter(const std::string& title, bool has_parent)
{
    if (ends_with(title, "施行令"))
        return 'B';
    if (ends_with(title, "施行規則"))
        return 'C';
    return has_parent ? 'D' : 'A';
}

// The family number of a code, "01" of "01A"; -1 when it has none.
int family_number(const std::string& code)
{
    if (code.size() != 3 || code[0] < '0' || code[0] > '9' || code[1] < '0' || code[1] > '9')
        return -1;
    return (code[0] - '0') * 10 + (code[1] - '0');
}

std::string code_of(int number, char letter)
{
    return {static_cast<char>('0' + number / 10), static_cast<char>('0' + number % 10), letter};
}

} // namespace

std::string free_law_code(const std::string& title, const std::set<std::string>& codes, const LawFamilies& families,
                          std::string& error)
{
    int number = -1;
    for (const ParentTitle& parent : parent_titles(title)) {
        number = family_number(families.law_of_title(parent.title));
        if (number >= 0)
            break;
    }
    const char first = preferred_letter(title, number >= 0);
    if (number < 0) {
        for (const std::string& code : codes)
            number = std::max(number, family_number(code));
        ++number;
        if (number > 99) {
            error = "no family number is free for " + title + " (00 to 99 are in use): give one with --law-code";
            return {};
        }
    }
    for (char letter = first; letter <= 'Z'; ++letter)
        if (const std::string code = code_of(number, letter); !codes.count(code))
            return code;
    error = "no code is free in the family " + code_of(number, 'A').substr(0, 2) + " of " + title +
            ": give one with --law-code";
    return {};
}

} // namespace velto::update
