// The reader's bookmarks: page identifiers kept in the file "velto14.bmk" in
// the user folder (PageDirectory::user_dir), and the rows the "しおり" tab shows for them.
//
// The file is text with CR LF line ends: the line "VERSION 14.03", one line
// "ID, book_mark_root" per bookmark in ascending identifier order, and one
// empty line. Files of the earlier program are Shift_JIS, files written by
// hand may be UTF-8; of every line only the part before the first comma
// counts, with every single-byte and full-width space removed (in either
// encoding). It names a bookmark when it is 15 or 35 printable ASCII
// characters whose first 15 name a page of the document's page list; every
// other line (the header, the empty line, pages no longer in the database)
// gives none. The file written holds only ASCII.
//
// Bookmarks are written after every change (and once more when the list goes
// when the file does not hold it yet), whole and atomically
// (core/user_file.h): a crash loses no change that was made, and a file that
// cannot be written stays as it was. A file the reader cannot take for a
// bookmark file is never lost (userfiles/guarded_file.h): one that exists
// but cannot be read is never replaced, and the bookmarks of that run live in
// memory only; one that is not in the format (no VERSION line, bytes that are
// no text) shows what its lines name, and is replaced only once the user
// changed the list, after it was kept as "velto14.bmk.bad".
//
// The file is read from disk at load; its entries are checked against the
// page list when they are first used, so loading does not wait for the page
// list. Nothing here is a window: the command line prints the same rows.
#pragma once

#include "userfiles/guarded_file.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velto {

class IdentifierRules;
class PageDirectory;

inline constexpr std::string_view kBookmarkFileName = "velto14.bmk";
inline constexpr std::string_view kBookmarkVersionLine = "VERSION 14.03";
// A bookmark is a page identifier (ID_FN).
inline constexpr std::size_t kBookmarkIdLength = 15;

// The identifiers the lines of a file's text name, in file order, before
// they are checked against the pages.
std::vector<std::string> read_bookmark_text(std::string_view text);

// The text of a file holding `ids`: the header, the identifiers in ascending
// order, the empty line. Identifiers that are not 15 characters long, and
// pages that cannot be labelled (the program's own pages, unreadable kinds,
// articles, notices or tables without a label), are left out.
std::string bookmark_file_text(std::vector<std::string> ids, const IdentifierRules& rules);

// A row of the bookmark list; its fourth column is always empty.
struct BookmarkRow {
    std::string id;
    std::string law;   // 法名: the law's general name
    std::string label; // 条: the page's label, with "　(p/n)" for a page of a split article
    std::string title; // タイトル
};

class Bookmarks {
public:
    explicit Bookmarks(const PageDirectory& doc);

    // The bookmark file of the document's program folder.
    std::string path() const;

    // Reads the file, once per run (later calls do nothing and return true).
    // False when there is no file or it cannot be read; the list is then empty.
    bool load();
    // True when a file was there but could not be read: it is never written.
    bool unreadable() const { return file_.state() == GuardedUserFile::State::NotRead; }
    // True when the file read is not in the bookmark format: it is written
    // only after a change of the list, and kept aside first.
    bool foreign() const { return foreign_; }

    // Writes the file unless it already holds the bookmarks, or it is foreign
    // and the list is unchanged. False when it was not written: it could not
    // be, it could not be read, or the page list could not be read to check
    // the bookmarks against.
    bool save();
    // What the reader is told when a change could not be written.
    std::string failure_message() const;
    // What the reader is told, once, about a foreign file.
    std::string foreign_message() const;

    // Adds a page identifier; false unless it is 15 characters long and not yet present.
    bool add(const std::string& id);
    // Removes a page identifier; false unless it is 15 characters long and present.
    bool remove(const std::string& id);

    // The bookmarks in ascending order.
    const std::vector<std::string>& ids();
    // The rows of the list, in identifier order: bookmarks that cannot be
    // labelled (kind "Z", unknown kinds) have none.
    std::vector<BookmarkRow> rows();

private:
    // Drops what the file named that the page list does not know, once the
    // page list can be read; false while it cannot.
    bool settle();

    const PageDirectory& doc_;
    GuardedUserFile file_;
    std::vector<std::string> ids_;
    bool loaded_ = false;
    bool settled_ = false;
    bool foreign_ = false;
    bool changed_ = false; // by add or remove
    // What the file holds as far as this run knows; none when it does not exist.
    std::optional<std::string> on_disk_;
};

} // namespace velto
