// The document's pinpoint tables: loading both files, saving the user's own,
// and the changes the page view and the pinpoint list make.
#include "compose/html_format.h"
#include "core/paths.h"
#include "userfiles/pinpoint_file.h"
#include "compose/velto_doc.h"

namespace velto {

namespace {

constexpr std::string_view kDefaultFile = "default.ppj";
constexpr std::string_view kUserFile = "velto14.ppj";
constexpr std::string_view kSaveCaption = "ピンポイントジャンプの保存";

} // namespace

void CVeltoDoc::_pinpoint_load()
{
    pinpoints_.defaults().clear();
    pinpoints_.user().clear();
    read_pinpoint_file(program_dir_ + std::string(kDefaultFile), pinpoints_.defaults());
    pinpoint_file_ = GuardedUserFile(user_dir_ + std::string(kUserFile));
    std::string text;
    pinpoint_file_.load(kMaxPinPointFileSize, text);
    read_pinpoint_text(text, pinpoints_.user());
    pinpoints_unsaved_ = false;
}

bool CVeltoDoc::_pinpoint_save()
{
    // Said as the bookmarks say it: the gist first, the file last.
    const auto tell = [this](const std::string& message) {
        if (message_sink_)
            message_sink_(message);
        else
            reporter_.show(std::string(kSaveCaption), message, MessageButtons::Ok, MessageIcon::Exclamation);
    };
    const std::string& path = pinpoint_file_.path();
    // Every save follows a change of the user table.
    const bool foreign = pinpoint_file_.state() == GuardedUserFile::State::Foreign;
    if (pinpoint_file_.write(pinpoint_file_text(pinpoints_.user()), true)) {
        pinpoints_unsaved_ = false;
        if (foreign)
            tell("ピンポイントジャンプの設定ファイルの形式が正しくなかったため、元のファイルを " +
                 file_name_of(pinpoint_file_.kept_as()) + " として残して書き直しました: " + path);
        return true;
    }
    pinpoints_unsaved_ = true;
    if (!pinpoint_failure_told_) {
        pinpoint_failure_told_ = true;
        if (pinpoint_file_.refused())
            tell("ピンポイントジャンプの設定ファイルを読み込めなかったため、書き換えません（設定は終了するまで有効です）: " +
                 path);
        else if (foreign)
            tell("ピンポイントジャンプの設定ファイルを " + file_name_of(pinpoint_file_.keep_name()) +
                 " として残せなかったため、保存しません（設定は終了するまで有効です）: " + path);
        else
            tell("ピンポイントジャンプの設定を保存できませんでした（設定は終了するまで有効です）: " + path);
    }
    return false;
}

std::string CVeltoDoc::_pinpoint_colour() const { return colour_hex(display_[DisplaySettings::FontColorPinPoint]); }

std::string CVeltoDoc::_pinpoint_target(std::string_view key) const
{
    return pinpoints_.current_target(key, display_[DisplaySettings::PinPointPriority]);
}

PinPointJump CVeltoDoc::_pinpoint_resolve(std::string_view key, std::string_view id)
{
    PinPointJump jump = pinpoints_.resolve(key, id, display_[DisplaySettings::PinPointPriority],
                                           [this](std::string_view page) {
                                               std::string name, supplement;
                                               return _page_names(page, name, supplement);
                                           });
    if (jump.user_changed)
        _pinpoint_save();
    return jump;
}

void CVeltoDoc::_pinpoint_choose(std::string_view key, std::string_view choice)
{
    PinPointTable& user = pinpoints_.user();
    std::string before;
    const bool had = _pinpoint_lookup(user, key, before);
    if (choice.size() == 15)
        _pinpoint_erase(user, key);
    else
        _pinpoint_set(user, key, choice);
    std::string after;
    const bool has = _pinpoint_lookup(user, key, after);
    if (had != has || before != after)
        _pinpoint_save();
}

} // namespace velto
