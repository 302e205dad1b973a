#pragma once
// Whole-file reading and crash-safe whole-file writing.
//
// writeWholeFile never leaves a half-written target behind: it writes a temporary file
// in the same folder, flushes it to the disk and then renames it over the target, so
// after a crash or power loss the target holds either the old or the new bytes.
//
// The temporary file has one fixed name per target, "<name>.tmp", so a writer killed in
// the middle of a save leaves at most that one file, and the next save of the target
// takes it over. (Names of their own per writer would need the leftovers cleaned up, and
// a dead writer's file cannot safely be told from one still being written.) Writers of
// the same target, threads or processes, take turns on the one name: each holds the
// temporary file exclusively from opening it until it has been renamed over the target,
// and the system lets go of it when a writer dies.

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

// The temporary file writeWholeFile uses for `file`.
inline std::filesystem::path temporaryFileFor(const std::filesystem::path& file) {
    std::filesystem::path temp = file;
    return temp += ".tmp";
}

enum class MoveResult { Moved, TargetExists, Failed };

// Renames `file` to `to` in one step unless something already has that name, so two
// programs moving files to the same name never overwrite each other's.
MoveResult moveWithoutReplacing(const std::filesystem::path& file, const std::filesystem::path& to);

}  // namespace tarnix
