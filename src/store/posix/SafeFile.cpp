#include "store/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace tarnix {
namespace {

std::string messageFor(int error) {
    return std::generic_category().message(error);
}

bool writeAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    return true;
}

// Opens the target's temporary file for writing once no other writer of the target holds
// it. flock() locks belong to one opening of the file, so they keep out the threads of
// this process as well as other processes, and the system drops them when a writer dies:
// a killed writer never blocks the next. A writer that waited may find that the file it
// opened has been renamed over the target meanwhile: it then opens the name again.
int openTemporary(const std::string& temp) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) return -1;
        int locked;
        do {
            locked = ::flock(fd, LOCK_EX);
        } while (locked != 0 && errno == EINTR);
        const int lockError = errno;
        struct stat held {};
        struct stat named {};
        if (locked == 0 && ::fstat(fd, &held) == 0 && ::stat(temp.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino)
            return fd;
        ::close(fd);
        if (locked != 0) {
            errno = lockError;
            return -1;
        }
    }
    errno = EBUSY;
    return -1;
}

}  // namespace

bool readWholeFile(const std::filesystem::path& file, std::string& bytes, std::string& error,
                   size_t* room) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = messageFor(errno);
        return false;
    }
    // One read into a buffer of the file's size, then smaller reads for what may follow.
    struct stat st {};
    const size_t expected =
        ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<size_t>(st.st_size) : 0;
    const size_t spare = room ? expected / 16 + 256 : 0;
    // Room behind for the spare bytes, or at least one byte to see the end of the file.
    std::string data(spare + expected + (expected ? std::max<size_t>(spare, 1) : 65536), '\0');
    size_t got = spare;
    for (;;) {
        if (got == data.size()) data.resize(data.size() * 2);
        const ssize_t n = ::read(fd, data.data() + got, data.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = messageFor(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    data.resize(got + spare);
    if (room) *room = spare;
    bytes = std::move(data);
    return true;
}

bool writeWholeFile(const std::filesystem::path& file, std::string_view bytes, std::string& error) {
    const std::string temp = temporaryFileFor(file).string();
    const int fd = openTemporary(temp);
    if (fd < 0) {
        error = messageFor(errno);
        return false;
    }
    // A writer killed in the middle of a save may have left bytes in it.
    bool ok = ::ftruncate(fd, 0) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    int writeError = errno;
    // The rename replaces the old file in one step: readers and a crash see either. It is
    // made while the lock is held, so the next writer cannot truncate what is renamed.
    if (ok && ::rename(temp.c_str(), file.c_str()) != 0) {
        ok = false;
        writeError = errno;
    }
    if (!ok) ::unlink(temp.c_str());
    ::close(fd);  // write errors were seen by fsync; this also releases the lock
    if (!ok) {
        error = messageFor(writeError);
        return false;
    }
    return true;
}

MoveResult moveWithoutReplacing(const std::filesystem::path& file,
                                const std::filesystem::path& to) {
    // A hard link is made only when the name is free; the old name then goes.
    if (::link(file.c_str(), to.c_str()) == 0) {
        ::unlink(file.c_str());
        return MoveResult::Moved;
    }
    if (errno == EEXIST) return MoveResult::TargetExists;
    if (errno != EPERM && errno != EOPNOTSUPP) return MoveResult::Failed;
    // A file system without hard links: look, then rename.
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return MoveResult::TargetExists;
    return ::rename(file.c_str(), to.c_str()) == 0 ? MoveResult::Moved : MoveResult::Failed;
}

}  // namespace tarnix
