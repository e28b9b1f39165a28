#include "userfiles/guarded_file.h"

#include "core/sjis.h"
#include "core/user_file.h"

namespace velto {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kVersion = "VERSION";
// Names tried for keeping a foreign file: NAME.bad, NAME.bad2 ... NAME.bad9.
constexpr int kKeepNames = 9;

bool has_version_line(std::string_view text)
{
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.starts_with(kVersion))
            return true;
        at = end + 1;
    }
    return false;
}

bool no_controls(std::string_view text)
{
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F)
            return false;
    }
    return true;
}

} // namespace

bool in_user_file_format(std::string_view text)
{
    if (text.empty())
        return true;
    if (text.starts_with(kUtf8Bom))
        text.remove_prefix(kUtf8Bom.size());
    return has_version_line(text) && no_controls(text) && (is_valid_utf8(text) || is_valid_shift_jis(text));
}

GuardedUserFile::State GuardedUserFile::load(std::uintmax_t max_size, std::string& text)
{
    kept_as_.clear();
    foreign_text_.clear();
    switch (read_user_file(path_, max_size, text)) {
    case UserFileRead::Read:
        state_ = in_user_file_format(text) ? State::Read : State::Foreign;
        if (state_ == State::Foreign)
            foreign_text_ = text;
        break;
    case UserFileRead::Missing: state_ = State::Missing; break;
    case UserFileRead::Unreadable:
    case UserFileRead::TooLarge: state_ = State::NotRead; break;
    }
    return state_;
}

bool GuardedUserFile::write(std::string_view bytes, bool changed)
{
    if (state_ == State::NotRead)
        return false;
    if (state_ == State::Foreign && (!changed || !keep_aside()))
        return false;
    if (!write_user_file(path_, bytes))
        return false;
    state_ = State::Read;
    return true;
}

bool GuardedUserFile::keep_aside()
{
    for (int n = 1; n <= kKeepNames; ++n) {
        const std::string name = keep_name() + (n == 1 ? std::string() : std::to_string(n));
        if (create_user_file(name, foreign_text_)) {
            kept_as_ = name;
            return true;
        }
        // Kept there by an earlier run already: nothing more to keep.
        std::string there;
        if (read_user_file(name, foreign_text_.size(), there) == UserFileRead::Read && there == foreign_text_) {
            kept_as_ = name;
            return true;
        }
    }
    return false;
}

} // namespace velto
