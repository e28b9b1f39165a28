#include "view/link_text.h"

#include "compose/velto_doc.h"
#include "core/sjis.h"
#include "view/support_site.h"

#include <array>
#include <cstdio>
#include <utility>

namespace velto {

namespace {

constexpr std::string_view kMarker = "_VELTO";
constexpr std::size_t kArticleIdLength = 12;
constexpr std::size_t kPageIdLength = 15;
constexpr std::size_t kSentenceIdLength = 35; // a citation of a paragraph or item: its first sentence
constexpr std::size_t kNameLimit = 180; // Shift-JIS bytes of an article name

// The design pages, recognised anywhere in the address.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kDesignPages = {{
    {"00A-Z0090000", "建築設計資料トップページ"},
    {"00A-Z0090001", "建築設計資料－断面性能表－等辺山形鋼"},
    {"00A-Z0090002", "建築設計資料－断面性能表－不等辺山形鋼"},
    {"00A-Z0090003", "建築設計資料－断面性能表－不等辺不等厚山形鋼"},
    {"00A-Z0090004", "建築設計資料－断面性能表－Ｉ 形鋼"},
    {"00A-Z0090005", "建築設計資料－断面性能表－溝形鋼"},
    {"00A-Z0090006", "建築設計資料－断面性能表－Ｈ 形鋼"},
}};

std::string ascii_upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string site(std::string_view path)
{
    std::string address(kSupportSite);
    address += path;
    return address;
}

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

} // namespace

InternalLink decode_internal_url(std::string_view url)
{
    InternalLink link;
    std::string text = ascii_upper(url);
    if (text.find(kMarker) == std::string::npos)
        return link;
    link.internal = true;
    while (!text.empty() && text.back() == '/')
        text.pop_back();
    while (!text.empty() && kMarker.find(text.back()) != std::string_view::npos)
        text.pop_back();
    const std::size_t slash = text.rfind('/');
    const std::string segment = slash == std::string::npos ? text : text.substr(slash + 1);
    if (segment.size() == kArticleIdLength)
        link.id = segment + "-00";
    else if (segment.size() == kPageIdLength || segment.size() == kSentenceIdLength)
        link.id = segment;
    return link;
}

std::string link_description(const CVeltoDoc& doc, std::string_view id)
{
    IdKind kind;
    if (!CVeltoDoc::_id_kind(id, kind))
        return {};
    const std::string law = doc._law_name(id.substr(0, 3), kLawNameGeneral);
    std::string text;
    std::string label;
    switch (kind) {
    case IdKind::Article:
        if (!CVeltoDoc::_article_label(id, label))
            return {};
        text = law + " " + label;
        break;
    case IdKind::Supplement:
        text = law + " 附則";
        break;
    case IdKind::Notice:
        if (!CVeltoDoc::_notice_number_label(id, label, false))
            return {};
        text = label;
        break;
    case IdKind::Table:
        if (!CVeltoDoc::_table_label(id, label))
            return {};
        text = law + " " + label;
        break;
    case IdKind::Special:
        break;
    }

    int count = 0, number = 0;
    if (doc._split_info(id, count, number)) {
        char pages[32];
        std::snprintf(pages, sizeof pages, " (%d/%d)", number, count);
        text += pages;
    }

    std::string name, supplement;
    if (doc._page_names(id, name, supplement) && !name.empty() && name != "なし")
        text += " 「" + sjis_shortened(name, kNameLimit) + "」";
    return text;
}

std::string status_text_for_url(const CVeltoDoc& doc, std::string_view text)
{
    if (starts_with(text, site(kProgramHistoryPath)))
        return "ヴェルトの更新情報が掲載されているページです。";
    if (text == site(kLawHistoryPath))
        return "収録法令の改正履歴の掲載ページです。";
    if (text == site(kNoticeHistoryPath))
        return "収録告示の改正履歴の掲載ページです。";
    if (text == site(kSupportTopPath))
        return "ヴェルトのサポートサイトのトップページです。";
    if (text == kSupportMailLink)
        return "ご意見、ご要望、バグ情報等。メールお待ちしております。お気軽にどうぞ。";

    const std::string upper = ascii_upper(text);
    for (const auto& [page, caption] : kDesignPages)
        if (upper.find(page) != std::string::npos)
            return std::string(caption);

    const InternalLink link = decode_internal_url(text);
    if (link.internal)
        return link.id.empty() ? std::string() : link_description(doc, link.id.substr(0, kPageIdLength));
    return {};
}

} // namespace velto
