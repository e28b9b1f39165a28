#include "core/database_file.h"

#include "core/paths.h"
#include "core/report.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace velto {

namespace {

constexpr int kReadOnly = SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX;

[[noreturn]] void refuse(const std::string& description)
{
    throw ComponentError(SQLITE_CANTOPEN, sqlite3_errstr(SQLITE_CANTOPEN), std::string("SQLite"), description);
}

const char* kind_of(mode_t mode)
{
    if (S_ISDIR(mode))
        return "フォルダ";
    if (S_ISFIFO(mode))
        return "名前付きパイプ";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "デバイス";
    if (S_ISSOCK(mode))
        return "ソケット";
    return "特殊なファイル";
}

void refuse_unless_regular(const std::string& path, mode_t mode)
{
    if (!S_ISREG(mode))
        refuse("「" + path + "」は通常のファイルではなく" + kind_of(mode) +
               "です。データベースとして開けるのは通常のファイルだけです。");
}

// Bytes 18 and 19 of the header are the file format's write and read
// versions: 2 means write-ahead log.
bool header_says_wal(const std::string& path)
{
    // Non-blocking, in case the file was swapped for a pipe since it was looked at.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false; // SQLite will report why it cannot open the file
    struct stat st {};
    unsigned char header[20] = {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const ssize_t got = regular ? ::pread(fd, header, sizeof header, 0) : 0;
    ::close(fd);
    refuse_unless_regular(path, regular ? S_IFREG : st.st_mode);
    return got == static_cast<ssize_t>(sizeof header) && (header[18] == 2 || header[19] == 2);
}

} // namespace

DatabaseFile database_file_for_reading(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {path, kReadOnly};
    refuse_unless_regular(path, st.st_mode);
    if (!header_says_wal(path))
        return {path, kReadOnly};

    const std::string wal = path + "-wal";
    struct stat wal_st {};
    if (::stat(wal.c_str(), &wal_st) == 0 && wal_st.st_size > 0)
        refuse("「" + path + "」は書き込みが「" + wal +
               "」に残ったままのデータベースです。読み取り専用のため、その変更を反映して開くことができません。"
               "書き込んだプログラムを終了してから開いてください。");

    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return {file_url(ec ? path : absolute.string()) + "?immutable=1", kReadOnly | SQLITE_OPEN_URI};
}

std::string interrupted_write_description(const std::string& path)
{
    return "「" + path + "」は書き込みが途中で止まったままのデータベースです（「" + path +
           "-journal」が残っています）。読み取り専用のため元に戻せず、開くことができません。"
           "書き込んだプログラムでもう一度開くか、データベースを置き直してください。";
}

} // namespace velto
