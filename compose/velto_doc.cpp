#include "compose/velto_doc.h"
#include "catalog/law_database_choice.h"

#include "core/paths.h"
#include "settings/persisted_state.h"

#include <cstdio>
#include <filesystem>

namespace velto {

namespace {

constexpr ReportOrigin kOpenOrigin{"データベースの接続", "CVeltoDoc::_db_open()"};
constexpr ReportOrigin kCloseOrigin{"データベースの切断", "CVeltoDoc::_db_close()"};
constexpr ReportOrigin kStartOrigin{"ドキュメント初期化プロセス", "CVeltoDoc::OnNewDocument()"};

constexpr std::string_view kNoLawRecords = "テーブル(T_法)にレコードセットを見つけることが\nできませんでした。\n\n";
constexpr const char* kConnectionFormat =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%s;Jet OLEDB:Database Password=mur-4618;";

constexpr const char* kEnvironmentCaption = "ヴェルト　エラー情報";
constexpr const char* kEnvironmentText =
    "環境条件に不備があるため、正常に動作できませんでした。\n\n詳しくはヘルプまたはホームページの「ご利用になれる環境」\n"
    "をご覧下さい。\n\nホームページを参照しますか？";
constexpr const char* kSupportPageFailed = "ヴェルトのサポートホームページを\n開くことができませんでした。";
constexpr const char* kNoWorkingFolder = "テンポラリフォルダが作成できませんでした。";

// SQLite's primary codes of a file that is not a whole database: damaged, or
// cut off while it was written.
constexpr std::int64_t kCorruptCode = 11;
constexpr std::int64_t kNotADatabaseCode = 26;

bool damaged(const ComponentError& error)
{
    const std::int64_t primary = error.code & 0xFF;
    return primary == kCorruptCode || primary == kNotADatabaseCode;
}

// What the user can do about a damaged law database; the codes and the
// member that met it go to the detail.
std::string damaged_database_text(const std::string& path)
{
    return "法令データベースのファイルが壊れているか、書き込みの途中で切れているため、読むことができません。\n\n" + path +
           "\n\nヴェルトをインストールし直してこのファイルを置き換えるか、ソースからビルドし直して作り直して下さい"
           "（データベースは velto-dbbuild と velto-import で作られます）。";
}

// The page on the requirements of the program: the "environment" section of
// the help file that ships beside it.
constexpr std::string_view kHelpFile = "help14.html";
constexpr std::string_view kRequirementsAnchor = "#environment";

} // namespace

CVeltoDoc::CVeltoDoc(SettingsStore& settings, Reporter& reporter)
    : settings_(settings), reporter_(reporter), toggles_(read_view_toggles(settings)),
      display_(read_display_settings(settings)), defaults_(default_display_settings())
{
}

CVeltoDoc::~CVeltoDoc()
{
    if (use_working_folder_)
        working_.empty();
    write_view_toggles(settings_, toggles_);
    write_display_settings(settings_, display_);
}

bool CVeltoDoc::OnNewDocument(const DocumentOptions& options)
{
    program_dir_ = with_trailing_slash(options.program_dir);
    user_dir_ = options.user_dir.empty() ? program_dir_ : with_trailing_slash(options.user_dir);
    const LawDatabaseChoice database = choose_law_database(program_dir_, user_dir_, options.use_working_folder);
    database_path_ = database.path;
    database_notice_ = database.notice;
    working_ = WorkingFolder(program_dir_ + "temp/");
    table_dir_ = program_dir_ + "table/";
    image_dir_ = program_dir_ + "images14/";
    use_working_folder_ = options.use_working_folder;

    if (use_working_folder_) {
        // Pages go where the user's files go: an installation composes them in the user's cache.
        const bool portable = user_dir_ == program_dir_;
        bool usable = portable && working_.usable();
        if (!usable && !options.spare_working_dir.empty()) {
            const WorkingFolder spare(with_trailing_slash(options.spare_working_dir));
            if (spare.usable()) {
                working_ = spare;
                usable = true;
            }
        }
        if (!usable && !portable)
            usable = working_.usable();
        if (!usable)
            reporter_.show("", kNoWorkingFolder, MessageButtons::Ok, MessageIcon::None);
        working_.empty();
    }

    if (!_db_open()) {
        // A damaged file has been named with what to do; the environment is not at fault.
        if (database_damaged_)
            return false;
        const MessageAnswer answer =
            reporter_.show(kEnvironmentCaption, kEnvironmentText, MessageButtons::YesNo, MessageIcon::Exclamation);
        if (answer == MessageAnswer::Yes) {
            const std::string help = program_dir_ + std::string(kHelpFile);
            std::error_code ec;
            const bool opened = std::filesystem::exists(help, ec) && options.open_address &&
                                options.open_address(file_url(help) + std::string(kRequirementsAnchor));
            if (!opened)
                reporter_.show("", kSupportPageFailed, MessageButtons::Ok, MessageIcon::Stop);
        }
        return false;
    }
    if (!load_catalogs())
        return false;
    _pinpoint_load();
    load_editions(options.today);
    return true;
}

bool CVeltoDoc::reopen_database()
{
    // The pinpoint tables and the page history are the user's: they stay.
    // velto-update of an installation may have made the user's copy meanwhile.
    database_path_ = choose_law_database(program_dir_, user_dir_, false).path;
    if (!_db_open() || !load_catalogs())
        return false;
    load_editions(today_);
    return true;
}

std::string CVeltoDoc::connection_string() const
{
    std::string connection = kConnectionFormat;
    connection.replace(connection.find("%s"), 2, database_path_);
    return connection;
}

bool CVeltoDoc::load_catalogs()
{
    pages_loaded_ = false;
    splits_loaded_ = false;
    try {
        if (!laws_.load(db_) || !PageCatalog::any(db_)) {
            report(reporter_, kStartOrigin, ReportVariant::Plain, kNoLawRecords);
            return false;
        }
        return true;
    } catch (const ComponentError& error) {
        if (damaged(error))
            report_damaged(kStartOrigin, error);
        else
            report(reporter_, kStartOrigin, ReportVariant::Plain, error);
    } catch (const std::exception&) {
        report_unexpected(reporter_, kStartOrigin, ReportVariant::Plain);
    }
    return false;
}

bool CVeltoDoc::load_pages() const
{
    if (pages_loaded_ || !connected_)
        return pages_loaded_;
    // Read once, whatever comes of it: a failure is told once, not at every
    // lookup, and the pages read before it stay. Reading leaves the
    // connection as it was, so a const lookup may do it.
    pages_loaded_ = true;
    try {
        if (pages_.load(const_cast<Database&>(db_)))
            return true;
        report(reporter_, kStartOrigin, ReportVariant::Plain, kNoLawRecords);
    } catch (const ComponentError& error) {
        report(reporter_, kStartOrigin, ReportVariant::Plain, error);
    } catch (const std::exception&) {
        report_unexpected(reporter_, kStartOrigin, ReportVariant::Plain);
    }
    return false;
}

bool CVeltoDoc::_split_info(std::string_view id_fn, int& count, int& number) const
{
    if (pages_loaded_ || !connected_)
        return pages().split(id_fn, count, number);
    if (!splits_loaded_) {
        try {
            splits_.load(const_cast<Database&>(db_));
            splits_loaded_ = true;
        } catch (const std::exception&) {
            return pages().split(id_fn, count, number); // the page list tells what fails
        }
    }
    return splits_.split(id_fn, count, number);
}

void CVeltoDoc::OnCloseDocument()
{
    _db_close();
    if (pinpoints_unsaved_)
        _pinpoint_save();
    if (view_)
        write_current_page_id(settings_, view_->current_page_id());
}

void CVeltoDoc::report_damaged(const ReportOrigin& origin, const ComponentError& error)
{
    database_damaged_ = true;
    reporter_.show_detailed(std::string(origin.caption), damaged_database_text(database_path_),
                            report_text(error, ReportVariant::Tab, origin.function), MessageButtons::Ok,
                            MessageIcon::Stop);
}

bool CVeltoDoc::_db_open()
{
    term_marks_.reset(); // its book belongs to the connection closed here
    db_.close();
    citation_spans_ = CitationSpanCache{}; // the next database may hold other rows, or no table of them
    connected_ = false;
    database_damaged_ = false;
    try {
        db_.open(connection_string(), "admin", "");
        connected_ = true;
        return true;
    } catch (const ComponentError& error) {
        if (damaged(error))
            report_damaged(kOpenOrigin, error);
        else
            report(reporter_, kOpenOrigin, ReportVariant::Tab, error);
    } catch (const std::exception&) {
        report_unexpected(reporter_, kOpenOrigin, ReportVariant::Tab);
    }
    return false;
}

bool CVeltoDoc::_db_close()
{
    if (!connected_)
        return true;
    try {
        term_marks_.reset();
        db_.close();
        connected_ = false;
        return true;
    } catch (const std::exception&) {
        report_unexpected(reporter_, kCloseOrigin, ReportVariant::Tab);
    }
    return false;
}

bool CVeltoDoc::_can_go_prev() const { return view_ && _can_go_prev(view_->current_page_id()); }

bool CVeltoDoc::_can_go_next() const { return view_ && _can_go_next(view_->current_page_id()); }

bool CVeltoDoc::_can_go_prev(std::string_view id) const
{
    IdKind kind;
    if (!_id_kind(id, kind) || kind == IdKind::Special || pages().pages().empty())
        return false;
    return id != pages().pages().front().id;
}

bool CVeltoDoc::_can_go_next(std::string_view id) const
{
    IdKind kind;
    if (!_id_kind(id, kind) || kind == IdKind::Special || pages().pages().empty())
        return false;
    return id != pages().pages().back().id;
}

int CVeltoDoc::_synchro_effective() const
{
    IdKind kind;
    if (view_ && _id_kind(view_->current_page_id(), kind) && kind == IdKind::Special)
        return 0;
    return toggles_.Synchro;
}

bool CVeltoDoc::_write_page(std::string_view id_fn, std::string_view html, std::string& file) const
{
    if (!use_working_folder_)
        return false;
    return working_.write_page(id_fn, html, file);
}

void CVeltoDoc::set_display(const DisplaySettings& values)
{
    display_ = within_ranges(values);
    if (view_)
        view_->rebuild_current_page();
}

} // namespace velto
