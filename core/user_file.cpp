#include "core/user_file.h"

#include <QSaveFile>
#include <QString>

#include <filesystem>
#include <fstream>

namespace velto {

UserFileRead read_user_file(const std::string& path, std::uintmax_t max_size, std::string& text)
{
    text.clear();
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return UserFileRead::Missing;
    if (ec || status.type() != std::filesystem::file_type::regular)
        return UserFileRead::Unreadable;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > max_size)
        return UserFileRead::Unreadable;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return UserFileRead::Unreadable;
    text.resize(static_cast<std::size_t>(size));
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) {
        text.clear();
        return UserFileRead::Unreadable;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    return UserFileRead::Read;
}

bool write_user_file(const std::string& path, std::string_view bytes)
{
    // QSaveFile writes a temporary file in the same folder and renames it
    // over the target at commit, after flushing it to the disk.
    QSaveFile file(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace velto
