#include "tools/dbbuild/file_replacement.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velto {

namespace {

std::string folder_of(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool sync_folder(const std::string& path)
{
    const int fd = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

FileReplacement::~FileReplacement()
{
    if (!committed_)
        discard();
    if (lock_ >= 0)
        ::close(lock_);
}

void FileReplacement::discard()
{
    if (side_.empty() || lock_ < 0)
        return;
    ::unlink(side_.c_str());
    ::unlink((side_ + "-journal").c_str());
}

bool FileReplacement::begin(const std::string& target, const std::string& suffix, std::string& error)
{
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        error = target + ": not a regular file";
        return false;
    }
    // A database reached through a symbolic link is replaced where it lies; the link stays.
    target_ = target;
    if (char* real = ::realpath(target.c_str(), nullptr)) {
        target_ = real;
        std::free(real);
    }
    side_ = target_ + suffix;
    lock_ = ::open(side_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (lock_ < 0) {
        error = side_ + ": " + std::strerror(errno);
        return false;
    }
    if (::fstat(lock_, &status) != 0 || !S_ISREG(status.st_mode)) {
        error = side_ + ": not a regular file";
        ::close(lock_);
        lock_ = -1;
        return false;
    }
    if (::flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        error = target + ": another program is writing this database (" + side_ + " is locked)";
        ::close(lock_);
        lock_ = -1;
        return false;
    }
    // What a killed run left here is of no use: start from an empty file.
    if (::ftruncate(lock_, 0) != 0) {
        error = side_ + ": " + std::strerror(errno);
        return false;
    }
    ::unlink((side_ + "-journal").c_str());
    return true;
}

bool FileReplacement::commit(std::string& error)
{
    if (lock_ < 0) {
        error = target_ + ": nothing to move into place";
        return false;
    }
    if (::fsync(lock_) != 0) {
        error = side_ + ": cannot write the file to disk: " + std::strerror(errno);
        return false;
    }
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0)
        ::fchmod(lock_, old.st_mode & 07777);
    if (::rename(side_.c_str(), target_.c_str()) != 0) {
        error = target_ + ": cannot move the new database into place: " + std::strerror(errno);
        return false;
    }
    committed_ = true;
    // Journal files of the replaced file would be taken for the new one's: a
    // stale rollback journal would be played back into it, a stale WAL read.
    for (const char* beside : {"-journal", "-wal", "-shm"})
        ::unlink((target_ + beside).c_str());
    sync_folder(target_);
    return true;
}

bool copy_database(const std::string& source, sqlite3* destination, std::string& error)
{
    sqlite3* from = nullptr;
    if (sqlite3_open_v2(source.c_str(), &from, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error = source + ": " + (from ? sqlite3_errmsg(from) : "cannot open the file");
        sqlite3_close_v2(from);
        return false;
    }
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", from, "main");
    int rc = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(destination);
    if (backup)
        rc = sqlite3_backup_finish(backup) == SQLITE_OK && rc == SQLITE_DONE ? SQLITE_OK : rc;
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        const char* message = sqlite3_errcode(from) != SQLITE_OK ? sqlite3_errmsg(from) : sqlite3_errmsg(destination);
        error = source + ": cannot read the database: " + message;
        sqlite3_close_v2(from);
        return false;
    }
    sqlite3_close_v2(from);
    // A copy of a WAL database is a WAL database; the reader's file must not be.
    char* message = nullptr;
    if (sqlite3_exec(destination, "PRAGMA journal_mode = DELETE", nullptr, nullptr, &message) != SQLITE_OK) {
        error = source + ": " + (message ? message : "cannot set the journal mode of the copy");
        sqlite3_free(message);
        return false;
    }
    return true;
}

} // namespace velto
