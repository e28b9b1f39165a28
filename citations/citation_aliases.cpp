#include "citations/citation_aliases.h"

#include "citations/citation_parser.h"
#include "core/sjis.h"
#include "core/user_file.h"


namespace velto {

namespace {

// An alias file is a few lines; anything larger is some other file.
constexpr std::size_t kMaxFileBytes = 64 * 1024;
constexpr std::size_t kMaxNameBytes = 200;
constexpr const char* kTooLarge = "ファイルが大きすぎるため読みませんでした（64KBまで）";

// Names are compared as citations are read: blanks of either width trimmed,
// digits and letters plain.
std::string trimmed(std::string_view text) { return normalize_citation(text); }

// A short name must not be read as part of the number that follows it.
bool usable_name(std::string_view name)
{
    for (std::size_t pos = 0; pos < name.size();) {
        const Utf8Char c = utf8_decode_at(name, pos);
        if ((c.code >= U'0' && c.code <= U'9') || c.code == U'第' || c.code == U' ')
            return false;
        pos += c.bytes;
    }
    return true;
}

} // namespace

std::vector<CitationAlias> parse_aliases(std::string_view content, std::vector<std::string>& problems)
{
    std::vector<CitationAlias> aliases;
    if (content.size() > kMaxFileBytes) {
        problems.push_back(kTooLarge);
        return aliases;
    }
    if (content.substr(0, 3) == "\xEF\xBB\xBF")
        content.remove_prefix(3);
    int number = 0;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        std::string_view line = content.substr(0, end);
        content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
        ++number;
        const auto problem = [&](const char* what) { problems.push_back(std::to_string(number) + "行目: " + what); };

        if (!is_valid_utf8(line)) {
            problem("UTF-8の文字として読めません");
            continue;
        }
        const std::string text = trimmed(line);
        if (text.empty() || text[0] == '#')
            continue;
        std::size_t equals = text.find('=');
        std::size_t width = 1;
        if (const std::size_t wide = text.find("＝"); wide != std::string::npos && wide < equals) {
            equals = wide;
            width = std::string_view("＝").size();
        }
        if (equals == std::string::npos) {
            problem("「=」がありません");
            continue;
        }
        CitationAlias alias{trimmed(text.substr(0, equals)), trimmed(text.substr(equals + width))};
        if (alias.name.empty() || alias.law.empty()) {
            problem("「=」の前か後ろが空です");
            continue;
        }
        if (alias.name.size() > kMaxNameBytes || alias.law.size() > kMaxNameBytes) {
            problem("名前が長すぎます");
            continue;
        }
        if (!usable_name(alias.name)) {
            problem("短い名前に数字、「第」、空白は使えません");
            continue;
        }
        aliases.push_back(std::move(alias));
    }
    return aliases;
}

std::vector<CitationAlias> read_alias_file(const std::string& path, std::vector<std::string>& problems)
{
    // Read without waiting: a pipe or a device under the name is no alias file.
    std::string content;
    switch (read_user_file(path, kMaxFileBytes, content)) {
    case UserFileRead::Read: return parse_aliases(content, problems);
    case UserFileRead::Missing: return {};
    case UserFileRead::TooLarge: problems.push_back(kTooLarge); return {};
    case UserFileRead::Unreadable: problems.push_back("ファイルを開けませんでした"); return {};
    }
    return {};
}

} // namespace velto
