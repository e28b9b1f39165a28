// The document: everything of the reader that is not a window. It owns the
// folders, the database connection, the laws and pages, the display settings
// and the page view's link, and composes pages on request.
//
// The document is a facade: identifiers live in IdentifierRules (core/), the
// law and page lists in LawCatalog/PageCatalog (catalog/), the pinpoint tables
// in PinPoints (userfiles/), page files in WorkingFolder, settings in
// settings/; the members here tie them together under the names the rest of
// the program calls. The page composition itself is spread over the files of
// this folder, one topic each (page_builder.cpp, reference_block.cpp, …).
#pragma once

#include "compose/citation_spans.h"
#include "compose/history.h"
#include "compose/markup.h"
#include "compose/term_marks.h"
#include "catalog/law_editions.h"
#include "catalog/page_catalog.h"
#include "catalog/page_directory.h"
#include "userfiles/guarded_file.h"
#include "userfiles/pinpoints.h"
#include "compose/working_folder.h"
#include "core/database.h"
#include "core/identifiers.h"
#include "core/report.h"
#include "settings/settings.h"
#include "settings/settings_store.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace velto {

// What the document needs of the page view.
class PageRows;

class PageViewLink {
public:
    virtual ~PageViewLink() = default;
    // The identifier of the page shown.
    virtual std::string current_page_id() const = 0;
    // Builds the current page again (after a change of the display settings) and shows it.
    virtual void rebuild_current_page() = 0;
    // True while the page asked for was reached through a link (a large page then comes in full).
    virtual bool from_link() const { return false; }
};

// A page view without a window (the command line, tools): it names the page
// being composed and rebuilds nothing.
class DetachedPageView : public PageViewLink {
public:
    explicit DetachedPageView(bool from_link) : from_link_(from_link) {}
    std::string current_page_id() const override { return id; }
    void rebuild_current_page() override {}
    bool from_link() const override { return from_link_; }

    std::string id;

private:
    bool from_link_;
};

struct DocumentOptions {
    // Folder of the program files, ending in "/".
    std::string program_dir;
    // Folder of the user's own files and of the user's copy of the law
    // database (core/user_folders.h); empty for the program folder.
    std::string user_dir;
    // False for the command line: the working folder is then neither created,
    // emptied nor written, so it can run beside a reader that uses it.
    bool use_working_folder = true;
    // A folder of the user's own, ending in "/", that takes the composed pages
    // when the program folder cannot (an installation the user may not write);
    // empty for none.
    std::string spare_working_dir;
    // Opens an address in the system's browser; false when it cannot be opened.
    std::function<bool(const std::string& address)> open_address;
    // The date pages are shown on, "YYYY-MM-DD", by which the age of a law's
    // text is judged; empty for the system's date at start-up.
    std::string today;
};

class CVeltoDoc : public PageDirectory {
public:
    // Reads the page switches and the display values from `settings`.
    CVeltoDoc(SettingsStore& settings, Reporter& reporter);
    // Empties the working folder, then writes the switches and display values.
    ~CVeltoDoc() override;
    CVeltoDoc(const CVeltoDoc&) = delete;
    CVeltoDoc& operator=(const CVeltoDoc&) = delete;

    // Start-up: folders, working folder, database, laws, and a look that
    // there are pages. False ends the program; every failure has been told
    // to the user. The page list itself is read when it is first needed (or
    // by load_pages), so that the first page need not wait for it.
    bool OnNewDocument(const DocumentOptions& options);
    // Opens the database file again, after a tool replaced it (velto-update),
    // and reads its laws, editions and (when next needed) pages anew; the
    // settings, pinpoint tables and history stay. False after a report.
    bool reopen_database();
    // Reads the page list now unless it has been read; false after a report
    // when it cannot be read (the list then holds what was read before the fault).
    bool load_pages() const override;
    bool pages_read() const { return pages_loaded_; }
    // Close: database, the user's pinpoint file when it does not hold the
    // user table yet, then the page shown is remembered.
    void OnCloseDocument();

    // Connection (reports its own failures).
    bool _db_open();
    bool _db_close();
    Database& database() { return db_; }
    bool connected() const { return connected_; }
    // The database file was found damaged (or cut off) at start-up; the user
    // has been told which file and how to replace it.
    bool database_damaged() const { return database_damaged_; }

    // Lookups.
    std::string _law_name(std::string_view id_hn, int type) const override { return laws_.name(id_hn, type); }
    // From the page list once it is read; before, from the split pages alone.
    bool _split_info(std::string_view id_fn, int& count, int& number) const override;
    bool _page_names(std::string_view id_fn, std::string& article_name, std::string& supplement) const override
    {
        return pages().names(id_fn, article_name, supplement);
    }
    // Large pages are marked as they are built: no need of the page list.
    bool _is_abbreviated(std::string_view id_fn) const { return pages_.is_abbreviated(id_fn); }
    HistoryEntry _prev_page(std::string_view id_fn) const { return pages().previous(id_fn); }
    HistoryEntry _next_page(std::string_view id_fn) const { return pages().next(id_fn); }
    bool _can_go_prev() const;
    bool _can_go_next() const;
    // The same for the page `id_fn` of any page view.
    bool _can_go_prev(std::string_view id_fn) const;
    bool _can_go_next(std::string_view id_fn) const;
    int _synchro_effective() const;

    bool _write_page(std::string_view id_fn, std::string_view html, std::string& file) const;
    // The page-title caption of the status bar for a page; also handed to the
    // status sink when one is set.
    std::string _status_caption(std::string_view id_fn) const;

    // The complete HTML page of a page identifier. False after a report; `html`
    // is then empty.
    bool _html_build(std::string_view id_fn, std::string& html);
    // The same for a page view other than the document's own: `from_link`
    // says whether it reached the page through a link (a large page then
    // comes in full).
    bool _html_build(std::string_view id_fn, bool from_link, std::string& html);
    // Numbering tag, left margin and text indent (millimetres) of a sentence.
    bool _sentence_layout(std::string_view id_bn, std::string_view style, IdKind kind, int fudanuki, double u,
                          std::string& label, double& margin, double& indent) const;
    // Deletes every run from `start` through the next `end`.
    static void _remove_spans(std::string& text, std::string_view start, std::string_view end);

    // Inserted content: the tables of a sentence, the program's own pages and
    // the history lines of a notification.
    bool _html_tbl(std::string_view id_bn, std::string& html);
    bool _html_others(std::string_view id_fn, std::string& html);
    std::string _html_history(std::string_view id_fn, int era_code, int era_year, int number, int font_size);
    // The block of reference links under a sentence; may emphasise keywords in
    // the sentence text or its table.
    bool _html_ref(std::string_view id_bn, int font_size, std::string& block, std::string& sentence,
                   std::string& table);
    // A preview of a provision (citations/link_peek.h): `heading` (plain text),
    // then the sentences of page `page` whose ids begin with `scope` (all of
    // the page's for an empty scope; at most a screenful), without reference
    // blocks and with tables cut to their first rows; for a table page its
    // table's first rows, for a notification the heading alone. False after
    // a report when the page cannot be read; false without one when there is
    // nothing to show.
    bool _html_peek(std::string_view page, std::string_view scope, std::string_view heading, std::string& html);
    // The row of page markers of a split article; empty when the page is not split.
    std::string _split_indicator(std::string_view id_fn) const;
    // The image folder as written into pages, ending in "/": the address set
    // by set_image_url, or else the folder's file URL (pages read by a browser
    // outside the program, such as exported ones).
    std::string image_url() const;
    // Pages composed from now on name the image folder by `base` (ending in
    // "/"); empty returns to the file URL. The page view serves the pictures
    // through its own scheme and sets that scheme's address here.
    void set_image_url(std::string base) { image_url_ = std::move(base); }

    // Text markup of stored sentences and the title blocks (compose/markup.h),
    // with the document's current display settings.
    std::string _mark_article_links(std::string_view owner, std::string_view text, bool table) const
    {
        return markup_._mark_article_links(owner, text, table);
    }
    std::string _mark_explicit_links(std::string_view owner, std::string_view text) const
    {
        return markup_._mark_explicit_links(owner, text);
    }
    static void _number_anchors(std::string& text, const std::vector<std::string>& anchors)
    {
        TextMarkup::_number_anchors(text, anchors);
    }
    bool _color_brackets(std::string& text) const { return markup_._color_brackets(text); }
    bool _color_brackets(std::string& html, std::string_view stored) const
    {
        return markup_._color_brackets(html, stored);
    }
    static void _mark_superscripts(std::string_view unit, std::string_view exponent, std::string& text)
    {
        TextMarkup::_mark_superscripts(unit, exponent, text);
    }
    static std::string _emphasize_definitions(std::string_view text) { return TextMarkup::_emphasize_definitions(text); }
    static void _wrap_marked(std::string_view open, std::string_view close, std::string_view prefix,
                             std::string_view suffix, std::string& text)
    {
        TextMarkup::_wrap_marked(open, close, prefix, suffix, text);
    }
    static void _unwrap_marked(std::string_view open, std::string_view close, std::string& text)
    {
        TextMarkup::_unwrap_marked(open, close, text);
    }
    std::string _title_article(int article, int branch1, int branch2, std::string_view caption, bool plain) const
    {
        return markup_._title_article(article, branch1, branch2, caption, plain);
    }
    std::string _title_supplement(std::string_view caption) const { return markup_._title_supplement(caption); }
    std::string _title_notice(int era_code, int era_year, int notice_number, std::string_view caption) const
    {
        return markup_._title_notice(era_code, era_year, notice_number, caption);
    }

    // Settings held by the document.
    ViewToggles& toggles() { return toggles_; }
    const ViewToggles& toggles() const { return toggles_; }
    const DisplaySettings& display() const { return display_; }
    const DisplaySettings& display_defaults() const { return defaults_; }
    // Stores all 24 display values (one outside what the options dialog can
    // set takes its default) and has the page view build its page again.
    void set_display(const DisplaySettings& values);

    LawCatalog& laws() { return laws_; }
    const LawCatalog& laws() const { return laws_; }
    // The editions of the imported laws, read at start-up, outdated ones
    // marked (catalog/law_editions.h); false when T_版 could not be read.
    const std::vector<LawEdition>& editions() const { return editions_; }
    bool editions_readable() const { return editions_readable_; }
    const std::string& today() const { return today_; }
    // The line at the top of each page of `law` when its edition is outdated
    // (HTML, a paragraph of its own); empty otherwise (compose/edition_notice.cpp).
    std::string _edition_notice(std::string_view law) const;
    // The page list, read on first use.
    PageCatalog& pages()
    {
        load_pages();
        return pages_;
    }
    const PageCatalog& pages() const
    {
        load_pages();
        return pages_;
    }

    // Back and forward history of the page view; records the page being left
    // (the first page shown leaves none, and needs no page list for it).
    void _history_add(const HistoryEntry& entry) { history_._history_add(entry, entry.id.empty() ? pages_ : pages()); }
    NavigationHistory& history() { return history_; }
    const NavigationHistory& history() const { return history_; }

    // Pinpoint targets (userfiles/pinpoints.h, compose/pinpoint_targets.cpp).
    // The default table comes from "default.ppj" of the program folder and is
    // never written; the user table from "velto14.ppj" of the user folder
    // (user_dir()), which is written after every change of
    // the table. PinPointPriority decides which table is asked first.
    PinPoints& pinpoints() { return pinpoints_; }
    const PinPoints& pinpoints() const { return pinpoints_; }
    // Reads both files; a file that cannot be read gives no entries.
    void _pinpoint_load();
    // Writes the user table. The first failure of a run is told to the user
    // once, through the message sink (a box when there is none); the table
    // stays in use and the next change or the close tries again. A user file
    // that was not read is never written, and one that is not in the format
    // is kept aside first, and that is told (userfiles/guarded_file.h).
    bool _pinpoint_save();
    // "RRGGBB" of the pinpoint colour.
    std::string _pinpoint_colour() const;
    // The target the link `key` has now; empty when none.
    std::string _pinpoint_target(std::string_view key) const;
    // Where the link `key` to page `id` leads (PinPoints::resolve with the
    // pages the document knows); an erased user entry is saved.
    PinPointJump _pinpoint_resolve(std::string_view key, std::string_view id);
    // The reader chose a row of the pinpoint list for the link `key`: a page
    // (15 characters) removes the user's target, so that a default one
    // applies again; a sentence becomes the user's target. Saved when changed.
    void _pinpoint_choose(std::string_view key, std::string_view choice);

    void set_page_view(PageViewLink* view) { view_ = view; }
    PageViewLink* page_view() const { return view_; }
    void set_status_sink(std::function<void(const std::string&)> sink) { status_sink_ = std::move(sink); }
    // Where a passing message goes (the status bar's message line); null for none.
    void set_message_sink(std::function<void(const std::string&)> sink) { message_sink_ = std::move(sink); }
    // The line an article page shows under its title (HTML, for the page
    // `id_fn`; empty for none), from a neighbour that knows the article's
    // editions; null (the default) for no line.
    void set_article_note(std::function<std::string(std::string_view id_fn)> note) { article_note_ = std::move(note); }

    const std::string& program_dir() const override { return program_dir_; }
    const std::string& user_dir() const override { return user_dir_; }
    // What the choice of the law database at start-up has to tell the user
    // once (an older copy of the user's set aside); empty when nothing.
    const std::string& database_notice() const { return database_notice_; }
    const std::string& database_path() const { return database_path_; }
    // How the document's connection names the database; other connections
    // to the same file (the search's own) open it alike.
    std::string connection_string() const;
    const std::string& working_dir() const { return working_.path(); }
    const std::string& table_dir() const { return table_dir_; }
    const std::string& image_dir() const { return image_dir_; }
    Reporter& reporter() const { return reporter_; }
    // The defined terms of the open database (compose/term_marks.cpp); null when none is open.
    TermBook* term_book();
    SettingsStore& settings() const { return settings_; }

private:
    bool load_catalogs();
    // Tells that the database file is damaged: the file, how to rebuild or
    // re-install it, and `error` in the detail.
    void report_damaged(const ReportOrigin& origin, const ComponentError& error);
    // Reads the editions and marks those outdated on `today` (empty: the system's date).
    void load_editions(const std::string& today);
    // Puts the edition notice of `law`, if any, right after the body tag of a whole document.
    void insert_edition_notice(std::string_view law, std::string& document) const;
    // The links, superscripts and definitions of a sentence's stored text;
    // its brackets are coloured last, once the reference block has marked
    // its keywords (finish_sentence).
    std::string mark_up_sentence(std::string_view id_bn, std::string text);
    // Keyword marks nothing emphasised become text, and with Brachet on the
    // brackets are coloured as `stored` has them.
    void finish_sentence(std::string_view stored, std::string& text, std::string& table) const;
    // The page of an article, supplementary provisions or notification; throws ComponentError.
    bool compose_page(std::string_view id, IdKind kind, std::array<int, 3> number, std::array<int, 3> notice,
                      std::string& out);
    // Reads the defined terms of page `id_fn` when TermMarks is on (term_marks.cpp).
    void begin_term_marks(std::string_view id_fn);
    // Marks the uses of the page's defined terms in the HTML of sentence `id_bn`.
    void mark_terms(std::string& html, std::string_view id_bn) const;
    void end_term_marks();
    // One sentence block of a page; `references` false leaves out its reference block.
    void append_sentence(const Recordset& rs, IdKind kind, double u, std::string& out, bool references = true);

    SettingsStore& settings_;
    Reporter& reporter_;
    ViewToggles toggles_;
    DisplaySettings display_;
    DisplaySettings defaults_;
    TextMarkup markup_{display_}; // reads display_ at every call
    CitationSpanCache citation_spans_; // the citation links of the page composed last

    std::string program_dir_;
    std::string user_dir_;
    std::string database_notice_;
    std::string database_path_;
    std::string table_dir_;
    std::string image_dir_;
    std::string image_url_;
    WorkingFolder working_;
    bool use_working_folder_ = false;

    Database db_;
    bool connected_ = false;
    bool database_damaged_ = false;
    LawCatalog laws_;
    std::vector<LawEdition> editions_;
    bool editions_readable_ = true;
    std::string today_;
    mutable PageCatalog pages_;
    mutable bool pages_loaded_ = false;
    mutable PageSplits splits_; // read on first use while the page list is not
    mutable bool splits_loaded_ = false;
    NavigationHistory history_;
    PinPoints pinpoints_;
    GuardedUserFile pinpoint_file_{""};
    bool pinpoints_unsaved_ = false;    // the user file does not hold the user table
    bool pinpoint_failure_told_ = false;

    // The rows of the page being composed, read ahead (page_rows.h); null between pages.
    PageRows* page_rows_ = nullptr;
    PageViewLink* view_ = nullptr;
    // Set while a page is composed for another page view than view_.
    std::optional<bool> composing_from_link_;
    std::function<void(const std::string&)> status_sink_;
    std::function<void(const std::string&)> message_sink_;
    std::function<std::string(std::string_view)> article_note_;
    std::unique_ptr<TermMarks> term_marks_; // made on first use, with the connection
};

} // namespace velto
