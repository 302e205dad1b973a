#pragma once
// Whole-file reading and crash-safe whole-file writing.
//
// writeWholeFile never leaves a half-written target behind: it writes a temporary file
// in the same folder, flushes it to the disk and then renames it over the target, so
// after a crash or power loss the target holds either the old or the new bytes.

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnix {

// Reads the file's bytes. On failure returns false, leaves `bytes` alone and puts the
// system's message for the error into `error`.
//
// With `room`, the bytes are placed between spare bytes for growth: `*room` spare bytes
// (a sixteenth of the file and a little more) come before them and as many after, so
// the file's size is bytes.size() - 2 * *room.
bool readWholeFile(const std::filesystem::path& file, std::string& bytes, std::string& error,
                   size_t* room = nullptr);

// Replaces the file's contents with `bytes` (creating the file when it is missing). On
// failure returns false with the system's message in `error`; the old file is untouched.
bool writeWholeFile(const std::filesystem::path& file, std::string_view bytes, std::string& error);

}  // namespace tarnix
