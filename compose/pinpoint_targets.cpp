// The document's pinpoint tables: loading both files, saving the user's own,
// and the changes the page view and the pinpoint list make.
#include "compose/html_format.h"
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
    read_pinpoint_file(user_dir_ + std::string(kUserFile), pinpoints_.user());
    pinpoints_unsaved_ = false;
}

bool CVeltoDoc::_pinpoint_save()
{
    const std::string path = user_dir_ + std::string(kUserFile);
    if (write_pinpoint_file(path, pinpoints_.user())) {
        pinpoints_unsaved_ = false;
        return true;
    }
    pinpoints_unsaved_ = true;
    if (!pinpoint_failure_told_) {
        // Said once, as the bookmarks say it: the gist first, the file last.
        pinpoint_failure_told_ = true;
        const std::string message = "ピンポイントジャンプの設定を保存できませんでした（設定は終了するまで有効です）: " + path;
        if (message_sink_)
            message_sink_(message);
        else
            reporter_.show(std::string(kSaveCaption), message, MessageButtons::Ok, MessageIcon::Exclamation);
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
