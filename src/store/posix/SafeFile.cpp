#include "store/SafeFile.h"

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

// Flushes the folder so the rename itself survives a power loss.
void syncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool readWholeFile(const std::filesystem::path& file, std::string& bytes, std::string& error,
                   size_t* room) {
    FILE* f = std::fopen(file.c_str(), "rb");
    if (!f) {
        error = messageFor(errno);
        return false;
    }
    // One read into a buffer of the file's size, then smaller reads for what may follow.
    std::string data;
    size_t spare = 0;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        std::rewind(f);
        if (size > 0) {
            if (room) spare = static_cast<size_t>(size) / 16 + 256;
            data.resize(spare + static_cast<size_t>(size));
            data.resize(spare + std::fread(data.data() + spare, 1, static_cast<size_t>(size), f));
        }
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    const int readError = errno;
    std::fclose(f);
    if (failed) {
        error = messageFor(readError ? readError : EIO);
        return false;
    }
    if (room) {
        if (spare == 0) {
            spare = data.size() / 16 + 256;
            data.insert(0, spare, '\0');
        }
        data.resize(data.size() + spare);
        *room = spare;
    }
    bytes = std::move(data);
    return true;
}

bool writeWholeFile(const std::filesystem::path& file, std::string_view bytes, std::string& error) {
    std::filesystem::path folder = file.parent_path();
    std::string temp = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        error = messageFor(errno);
        return false;
    }
    // Keep the permissions of the file being replaced.
    struct stat old {};
    if (::stat(file.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
    else
        ::fchmod(fd, 0644);

    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    int writeError = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        writeError = errno;
    }
    if (ok && ::rename(temp.c_str(), file.c_str()) != 0) {
        ok = false;
        writeError = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        error = messageFor(writeError);
        return false;
    }
    syncFolder(folder);
    return true;
}

}  // namespace tarnix
