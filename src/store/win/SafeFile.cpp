#include "store/SafeFile.h"

#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "store/CodePage.h"

namespace tarnix {
namespace {

std::string messageFor(DWORD error) {
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n && text ? std::wstring(text, n) : L"Error " + std::to_wstring(error);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    return wideToGb(message);
}

}  // namespace

bool readWholeFile(const std::filesystem::path& file, std::string& bytes, std::string& error,
                   size_t* room) {
    FILE* f = _wfopen(file.c_str(), L"rb");
    if (!f) {
        error = std::strerror(errno);
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
        error = std::strerror(readError ? readError : EIO);
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
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temp = file;
    temp += L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
            std::to_wstring(counter.fetch_add(1)) + L".tmp";

    HANDLE h = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = messageFor(GetLastError());
        return false;
    }
    bool ok = true;
    DWORD failure = 0;
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (ok && left > 0) {
        DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(h, p, chunk, &written, nullptr) || written == 0) {
            ok = false;
            failure = GetLastError();
        }
        p += written;
        left -= written;
    }
    if (ok && !FlushFileBuffers(h)) {
        ok = false;
        failure = GetLastError();
    }
    CloseHandle(h);
    // Another program (a virus scanner, an editor) may hold the file for a moment.
    for (int attempt = 0; ok; ++attempt) {
        if (MoveFileExW(temp.c_str(), file.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            break;
        failure = GetLastError();
        const bool busy = failure == ERROR_SHARING_VIOLATION || failure == ERROR_ACCESS_DENIED ||
                          failure == ERROR_LOCK_VIOLATION;
        if (!busy || attempt == 20) ok = false;
        else Sleep(25);
    }
    if (!ok) {
        DeleteFileW(temp.c_str());
        error = messageFor(failure ? failure : ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

}  // namespace tarnix
