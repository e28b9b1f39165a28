#include "compose/working_folder.h"

#include <filesystem>
#include <fstream>

namespace velto {

namespace fs = std::filesystem;

bool is_page_file_id(std::string_view id)
{
    if (id.size() != 15)
        return false;
    for (const char c : id) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

bool WorkingFolder::create() const
{
    std::error_code ec;
    fs::create_directories(fs::path(path_), ec);
    return fs::is_directory(fs::path(path_), ec);
}

bool WorkingFolder::usable() const
{
    if (!create())
        return false;
    const fs::path probe = fs::path(path_) / ".velto-probe";
    std::ofstream out(probe, std::ios::binary | std::ios::trunc);
    const bool written = out && (out << "probe") && (out.close(), !out.fail());
    std::error_code ignored;
    fs::remove(probe, ignored);
    return written;
}

void WorkingFolder::empty() const
{
    std::error_code ec;
    fs::directory_iterator it(fs::path(path_), ec);
    if (ec)
        return;
    for (const fs::directory_entry& entry : it) {
        std::error_code ignored;
        if (!entry.is_directory(ignored))
            fs::remove(entry.path(), ignored);
    }
}

bool WorkingFolder::write_page(std::string_view id, std::string_view html, std::string& file) const
{
    if (!is_page_file_id(id))
        return false;
    file = path_;
    file.append(id).append(".tmp");

    std::string text;
    text.reserve(html.size() + html.size() / 32);
    for (const char c : html) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    std::ofstream out(fs::path(file), std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

} // namespace velto
