#include "tools/import/references.h"

#include "core/kanji_numerals.h"
#include "core/sjis.h"

#include <algorithm>
#include <optional>

namespace velto::import {

namespace {

constexpr std::string_view kDai = "第";
constexpr std::string_view kJou = "条";
constexpr std::string_view kNo = "の";

bool starts_with(std::string_view text, std::size_t pos, std::string_view word)
{
    return text.substr(pos, word.size()) == word;
}

// Characters of a word: an alias counts only where it is a word of its own,
// not the end of a longer name ("建築士法", "同法").
bool is_word_char(char32_t c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || c == U'々' || c == U'〆' ||
           (c >= 0x30A1 && c <= 0x30FF) || (c >= 0xFF66 && c <= 0xFF9F) || (c >= 0xFF21 && c <= 0xFF3A) ||
           (c >= 0xFF41 && c <= 0xFF5A) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Last characters of the names of laws and of their citations: 法, 政令,
// 法律, 規則 and 附則, 条例, 規程, 条約, 協定, and the closing bracket of
// "建築士法（昭和二十五年法律第二百二号）". A reference after any other word
// ("加熱開始後十分間第百八条の二") is one of the law's own.
bool ends_law_name(char32_t c)
{
    switch (c) {
    case U'法': case U'令': case U'律': case U'則': case U'例': case U'程': case U'約': case U'定':
    case U'）': case U')': case U'」': case U'』': case U'〕': case U'］':
        return true;
    default:
        return false;
    }
}

struct Reference {
    std::size_t end = 0;
    int article = 0, branch1 = 0, branch2 = 0;
};

// A reference "第N条", "第N条のB" or "第N条のBのC" at pos. A branch is a
// numeral of at least 2 after "の": "第三条の一部" is article 3 and text.
std::optional<Reference> reference_at(std::string_view text, std::size_t pos)
{
    std::size_t start = pos + kDai.size();
    std::size_t end = kanji_numeral_end(text, start);
    if (end == start || !starts_with(text, end, kJou))
        return std::nullopt;
    Reference r;
    r.article = kanji_number(text.substr(start, end - start));
    if (r.article <= 0)
        return std::nullopt;
    r.end = end + kJou.size();
    for (int* branch : {&r.branch1, &r.branch2}) {
        if (!starts_with(text, r.end, kNo))
            break;
        const std::size_t from = r.end + kNo.size();
        const std::size_t to = kanji_numeral_end(text, from);
        const int value = to > from ? kanji_number(text.substr(from, to - from)) : -1;
        if (value < 2)
            break;
        *branch = value;
        r.end = to;
    }
    return r;
}

// True when the text between two references only continues an enumeration:
// paragraph and item numbers of the first, bracketed remarks, and the words
// that join the members of a list.
bool continues_enumeration(std::string_view text, std::size_t from, std::size_t to)
{
    static constexpr std::string_view kJoiners[] = {"、", "，", "・", "及び", "又は", "並びに", "若しくは",
                                                    "から", "まで", "ただし書", "本文", "前段", "後段", "各号"};
    std::size_t pos = from;
    while (pos < to) {
        if (starts_with(text, pos, kDai)) {
            const std::size_t end = kanji_numeral_end(text, pos + kDai.size());
            if (end > pos + kDai.size() && (starts_with(text, end, "項") || starts_with(text, end, "号"))) {
                pos = end + 3;
                while (starts_with(text, pos, kNo) && kanji_numeral_end(text, pos + kNo.size()) > pos + kNo.size())
                    pos = kanji_numeral_end(text, pos + kNo.size());
                continue;
            }
            return false;
        }
        if (starts_with(text, pos, "（")) {
            int depth = 0;
            std::size_t q = pos;
            while (q < to) {
                if (starts_with(text, q, "（"))
                    ++depth;
                else if (starts_with(text, q, "）") && --depth == 0)
                    break;
                q += utf8_decode_at(text, q).bytes;
            }
            if (q >= to)
                return false;
            pos = q + 3;
            continue;
        }
        bool joined = false;
        for (std::string_view joiner : kJoiners) {
            if (starts_with(text, pos, joiner)) {
                pos += joiner.size();
                joined = true;
                break;
            }
        }
        if (!joined)
            return false;
    }
    return pos == to;
}

enum class Owner { Same, Alias, Other };

} // namespace

std::string mark_references(std::string_view text, const ReferenceScope& scope)
{
    std::vector<std::pair<std::string, std::string>> aliases = scope.aliases;
    std::stable_sort(aliases.begin(), aliases.end(),
                     [](const auto& a, const auto& b) { return a.first.size() > b.first.size(); });

    // The reference before, per depth of brackets: a reference continues the
    // enumeration of the last one at its own depth, so that bracketed remarks
    // in between ("法第二十条（第三条を除く。）及び第四条") do not break it.
    struct Previous {
        std::size_t end = std::string_view::npos;
        Owner owner = Owner::Other;
        std::string law;
    };
    std::vector<Previous> previous(1);
    int depth = 0;
    std::size_t scanned = 0;

    std::string out;
    out.reserve(text.size() + 32);
    std::size_t copied = 0;
    std::size_t pos = text.find(kDai);
    while (pos != std::string_view::npos) {
        const std::optional<Reference> ref = reference_at(text, pos);
        if (!ref) {
            pos = text.find(kDai, pos + kDai.size());
            continue;
        }
        for (; scanned < pos; scanned += utf8_decode_at(text, scanned).bytes) {
            if (starts_with(text, scanned, "（"))
                ++depth;
            else if (starts_with(text, scanned, "）") && depth > 0)
                --depth;
        }
        previous.resize(static_cast<std::size_t>(depth) + 1);
        Previous& before = previous.back();

        Owner owner = Owner::Same;
        std::string law = scope.law;
        if (before.end != std::string_view::npos && continues_enumeration(text, before.end, pos)) {
            owner = before.owner;
            law = before.law;
        } else if (ends_law_name(utf8_char_before(text, pos))) {
            owner = Owner::Other;
            for (const auto& [alias, alias_law] : aliases) {
                if (alias.empty() || pos < alias.size() || text.substr(pos - alias.size(), alias.size()) != alias)
                    continue;
                if (is_word_char(utf8_char_before(text, pos - alias.size())))
                    continue;
                owner = Owner::Alias;
                law = alias_law;
                break;
            }
        }
        before = {ref->end, owner, law};

        const bool same = owner == Owner::Same || (owner == Owner::Alias && law == scope.law);
        const ArticleKey key{ref->article, ref->branch1, ref->branch2};
        const auto known = scope.alias_articles.find(law);
        const bool linked = same ? scope.articles && scope.articles->count(key) > 0
                                 : owner == Owner::Alias && (known == scope.alias_articles.end() || known->second.count(key) > 0);
        if (linked) {
            out.append(text.substr(copied, pos - copied));
            out += "[第" + std::to_string(ref->article) + "条";
            if (ref->branch1 > 0) {
                out += "の" + std::to_string(ref->branch1);
                if (ref->branch2 > 0)
                    out += "の" + std::to_string(ref->branch2);
            }
            if (!same)
                out += "/" + law;
            out += "]";
            copied = ref->end;
        }
        pos = text.find(kDai, ref->end);
    }
    out.append(text.substr(copied));
    return out;
}

} // namespace velto::import
