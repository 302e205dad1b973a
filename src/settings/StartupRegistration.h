#pragma once
// StartupRegistration: whether Windows starts the client when the user logs on, kept as
// the value "Tarnix" under the current user's Run key (a client that runs as the invoking
// user may not write the machine's key). A value of the same name under the machine's
// Run key, left by an older installation, is removed whenever it can be.

#include <filesystem>

namespace tarnix {

enum class RunValue {
    Absent,
    Ours,   // names this program
    Other,  // names another program that is there
    Stale,  // names a program file that is gone (a moved or removed installation)
};

class StartupRegistration {
  public:
    // The value name under the Run keys.
    static constexpr wchar_t kValueName[] = L"Tarnix";

    virtual ~StartupRegistration() = default;
    // What the current user's value holds, compared with `program`.
    virtual RunValue query(const std::filesystem::path& program) = 0;
    // Writes `program` as the value's data, replacing what it held; false when the key
    // cannot be opened or the value not written.
    virtual bool add(const std::filesystem::path& program) = 0;
    // Removes the value (nothing to do when it is absent).
    virtual void remove() = 0;
    // The command the current user's value holds; empty when there is none.
    virtual std::filesystem::path data() { return {}; }
};

// The system's binding: the registry on Windows, a value kept in memory elsewhere.
StartupRegistration& systemStartupRegistration();

// The full path of the running program file.
std::filesystem::path currentProgramPath();

}  // namespace tarnix
