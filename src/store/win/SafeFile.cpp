#include "store/SafeFile.h"

#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "base/CodePage.h"
#include "base/win/Scoped.h"

namespace tarnix {
namespace {

std::string messageFor(DWORD error) {
    ScopedLocalMemory<wchar_t*> text;
    DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(text.put()), 0, nullptr);
    std::wstring message =
        n && text ? std::wstring(text.get(), n) : L"Error " + std::to_wstring(error);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    return wideToGb(message);
}

// Opens the target's temporary file shared with no one: while one writer (a thread of this
// program or another program) holds it, the next waits for it. The system closes a killed
// writer's handle, so the next writer takes the file over.
ScopedFile openTemporary(const std::filesystem::path& temp, DWORD& failure) {
    for (int attempt = 0;; ++attempt) {
        ScopedFile h(CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (h) return h;
        failure = GetLastError();
        // Access is denied too while the last writer's failed file is being deleted; but
        // where there is no such file, the folder is closed to us and waiting is no use.
        const bool busy = failure == ERROR_SHARING_VIOLATION ||
                          (failure == ERROR_ACCESS_DENIED &&
                           GetFileAttributesW(temp.c_str()) != INVALID_FILE_ATTRIBUTES);
        // Each writer ahead holds it while it writes, flushes and renames (the rename waits
        // up to half a second for a program that holds the target).
        if (!busy || attempt == 500) return ScopedFile();
        Sleep(10);
    }
}

// Renames the open temporary file over the target through its handle, as MoveFileExW does
// inside, but without closing it first: the next writer cannot take the name over between
// the close and the rename and have its unfinished file renamed in place of this one.
bool renameOver(HANDLE h, const std::filesystem::path& file) {
    std::error_code ec;
    const std::wstring target = std::filesystem::absolute(file, ec).wstring();
    const size_t nameBytes = target.size() * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(info->FileName, target.c_str(), nameBytes + sizeof(wchar_t));
    return SetFileInformationByHandle(h, FileRenameInfo, info, static_cast<DWORD>(buffer.size()));
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
    DWORD failure = 0;
    const ScopedFile temporary = openTemporary(temporaryFileFor(file), failure);
    const HANDLE h = temporary.get();
    if (!temporary) {
        error = messageFor(failure);
        return false;
    }
    // CREATE_ALWAYS emptied whatever a killed writer left in it.
    bool ok = true;
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
    // Another program (a virus scanner, an editor) may hold the target for a moment.
    for (int attempt = 0; ok; ++attempt) {
        if (renameOver(h, file)) break;
        failure = GetLastError();
        const bool busy = failure == ERROR_SHARING_VIOLATION || failure == ERROR_ACCESS_DENIED ||
                          failure == ERROR_LOCK_VIOLATION;
        if (!busy || attempt == 20)
            ok = false;
        else
            Sleep(25);
    }
    if (!ok) {
        FILE_DISPOSITION_INFO remove{TRUE};
        SetFileInformationByHandle(h, FileDispositionInfo, &remove, sizeof remove);
    }
    if (!ok) {
        error = messageFor(failure ? failure : ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

MoveResult moveWithoutReplacing(const std::filesystem::path& file,
                                const std::filesystem::path& to) {
    if (MoveFileExW(file.c_str(), to.c_str(), 0)) return MoveResult::Moved;  // 0: never replaces
    const DWORD failure = GetLastError();
    return failure == ERROR_ALREADY_EXISTS || failure == ERROR_FILE_EXISTS
               ? MoveResult::TargetExists
               : MoveResult::Failed;
}

}  // namespace tarnix
