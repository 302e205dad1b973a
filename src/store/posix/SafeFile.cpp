#include "store/SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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
    // A new file beside the target, created as fopen would (0666 less the umask).
    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temp = file.string() + "." + std::to_string(::getpid()) + "." +
               std::to_string(counter.fetch_add(1)) + ".tmp";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        error = messageFor(errno);
        return false;
    }
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    int writeError = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        writeError = errno;
    }
    // The rename replaces the old file in one step: readers and a crash see either.
    if (ok && ::rename(temp.c_str(), file.c_str()) != 0) {
        ok = false;
        writeError = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error = messageFor(writeError);
        return false;
    }
    return true;
}

}  // namespace tarnix
