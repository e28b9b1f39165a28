#include "userfiles/bookmarks.h"

#include "core/html_text.h"
#include "core/paths.h"
#include "core/text_format.h"
#include "catalog/page_catalog.h"
#include "catalog/page_directory.h"
#include "core/sjis.h"

#include <algorithm>

namespace velto {

namespace {

// A bookmark file holds a line per bookmark; a larger file is no bookmark
// file, and is neither read into memory nor replaced.
constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;
// Identifiers of sentences (ID_BN) that older files may hold.
constexpr std::size_t kSentenceIdLength = 35;
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kRoot = ", book_mark_root";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf8Blank = "\xE3\x80\x80"; // full-width space
constexpr std::string_view kSjisBlank = "\x81\x40";
constexpr std::string_view kNone = "なし";

bool printable_ascii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c > ' ' && c <= '~'; });
}

bool sjis_lead(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

// `text` without its single-byte and full-width spaces. A text that is not
// UTF-8 is walked as Shift_JIS, so that the trail byte of one character and
// the next byte are never taken for a full-width space.
std::string without_blanks(std::string_view text)
{
    std::string out;
    const bool utf8 = is_valid_utf8(text);
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == ' ') {
            ++pos;
        } else if (utf8 && text.substr(pos, kUtf8Blank.size()) == kUtf8Blank) {
            pos += kUtf8Blank.size();
        } else if (!utf8 && sjis_lead(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) {
            if (text.substr(pos, 2) != kSjisBlank)
                out += text.substr(pos, 2);
            pos += 2;
        } else {
            out += text[pos++];
        }
    }
    return out;
}

// The label of a bookmarked page by its kind; false when none can be made
// (the program's own pages, unreadable identifiers).
bool page_label(const IdentifierRules& rules, std::string_view id, IdKind& kind, std::string& label)
{
    label.clear();
    if (id.size() != kBookmarkIdLength || !IdentifierRules::_id_kind(id, kind))
        return false;
    switch (kind) {
    case IdKind::Article:
        if (!rules._article_label(id, label))
            return false;
        if (constexpr std::string_view dai = "第"; label.starts_with(dai))
            label.erase(0, dai.size());
        return true;
    case IdKind::Supplement:
        label = "附則";
        return true;
    case IdKind::Notice: return rules._notice_number_label(id, label, false);
    case IdKind::Table: return rules._table_label(id, label);
    case IdKind::Special: return false;
    }
    return false;
}

bool make_row(const PageDirectory& doc, const std::string& id, BookmarkRow& row)
{
    IdKind kind;
    if (!page_label(doc, id, kind, row.label))
        return false;
    row.id = id;
    row.law = shown_text(doc._law_name(id.substr(0, 3), kLawNameGeneral));
    std::string supplement;
    if (!doc._page_names(id, row.title, supplement))
        row.title.clear();
    int count = 0, number = 0;
    if (doc._split_info(id, count, number)) {
        if (row.title.empty() && !doc._page_names(id.substr(0, 12) + "-00", row.title, supplement))
            row.title.clear();
        row.label += "　" + format("(%02d/%02d)", number, count);
    }
    row.title = shown_text(row.title);
    if (row.title == kNone || kind == IdKind::Supplement)
        row.title.clear();
    return true;
}

} // namespace

std::vector<std::string> read_bookmark_text(std::string_view text)
{
    if (text.starts_with(kUtf8Bom))
        text.remove_prefix(kUtf8Bom.size());
    std::vector<std::string> ids;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos)
            continue;
        std::string id = without_blanks(line.substr(0, comma));
        if ((id.size() == kBookmarkIdLength || id.size() == kSentenceIdLength) && printable_ascii(id))
            ids.push_back(std::move(id));
    }
    return ids;
}

std::string bookmark_file_text(std::vector<std::string> ids, const IdentifierRules& rules)
{
    std::sort(ids.begin(), ids.end());
    std::string text(kBookmarkVersionLine);
    text += kLineEnd;
    for (const std::string& id : ids) {
        IdKind kind;
        std::string label;
        if (printable_ascii(id) && page_label(rules, id, kind, label)) {
            text += id;
            text += kRoot;
            text += kLineEnd;
        }
    }
    text += kLineEnd;
    return text;
}

Bookmarks::Bookmarks(const PageDirectory& doc) : doc_(doc), file_(path()) {}

std::string Bookmarks::path() const { return doc_.user_dir() + std::string(kBookmarkFileName); }

bool Bookmarks::load()
{
    if (loaded_)
        return true;
    loaded_ = true;
    file_ = GuardedUserFile(path()); // the user's folder as the document now names it
    std::string text;
    switch (file_.load(kMaxFileSize, text)) {
    case GuardedUserFile::State::Foreign:
        foreign_ = true;
        [[fallthrough]];
    case GuardedUserFile::State::Read:
        ids_ = read_bookmark_text(text);
        on_disk_ = std::move(text);
        return true;
    case GuardedUserFile::State::Missing:
    case GuardedUserFile::State::NotRead: return false;
    }
    return false;
}

bool Bookmarks::settle()
{
    if (settled_)
        return true;
    if (!doc_.load_pages())
        return false;
    settled_ = true;
    std::erase_if(ids_, [this](const std::string& id) {
        std::string title, supplement;
        return !doc_._page_names(std::string_view(id).substr(0, kBookmarkIdLength), title, supplement);
    });
    // A file may name a page twice; the list shows it once.
    std::sort(ids_.begin(), ids_.end());
    ids_.erase(std::unique(ids_.begin(), ids_.end()), ids_.end());
    return true;
}

bool Bookmarks::save()
{
    if (file_.refused() || !settle())
        return false;
    std::string text = bookmark_file_text(ids_, doc_);
    if (on_disk_ == text || (file_.state() == GuardedUserFile::State::Foreign && !changed_))
        return true;
    if (!file_.write(text, changed_))
        return false;
    on_disk_ = std::move(text);
    return true;
}

// Said in the status bar: the gist first, the file last, where a long path may be cut.
std::string Bookmarks::failure_message() const
{
    if (unreadable())
        return "しおりのファイルを読み込めなかったため、変更を保存しません（変更は終了するまで有効です）: " + path();
    if (file_.state() == GuardedUserFile::State::Foreign)
        return "しおりのファイルを " + file_name_of(file_.keep_name()) +
               " として残せなかったため、変更を保存しません（変更は終了するまで有効です）: " + path();
    return "しおりを保存できませんでした（変更は終了するまで有効です）: " + path();
}

std::string Bookmarks::foreign_message() const
{
    return "しおりのファイルの形式が正しくありません。しおりを変更したときは、元のファイルを " + file_name_of(file_.keep_name()) +
           " として残してから書き直します: " + path();
}

bool Bookmarks::add(const std::string& id)
{
    settle();
    if (id.size() != kBookmarkIdLength || std::find(ids_.begin(), ids_.end(), id) != ids_.end())
        return false;
    ids_.push_back(id);
    std::sort(ids_.begin(), ids_.end());
    changed_ = true;
    return true;
}

bool Bookmarks::remove(const std::string& id)
{
    settle();
    if (id.size() != kBookmarkIdLength)
        return false;
    const auto it = std::find(ids_.begin(), ids_.end(), id);
    if (it == ids_.end())
        return false;
    ids_.erase(it);
    changed_ = true;
    return true;
}

const std::vector<std::string>& Bookmarks::ids()
{
    settle();
    return ids_;
}

std::vector<BookmarkRow> Bookmarks::rows()
{
    std::vector<BookmarkRow> out;
    for (const std::string& id : ids()) {
        BookmarkRow row;
        if (make_row(doc_, id, row))
            out.push_back(std::move(row));
    }
    return out;
}

} // namespace velto
