#pragma once
// The updater's Windows bindings: the package file in the temporary folder, held while it
// is checked and started, and the running client asked to end through its exit command.

#include <windows.h>

#include <filesystem>

#include "update/Updater.h"
#include "base/win/Scoped.h"

namespace tarnix {

class HeldPackageFile : public PackageFile {
  public:
    explicit HeldPackageFile(std::filesystem::path file) : file_(std::move(file)) {}
    // The held file stays held until the updater ends: the installer's image is mapped
    // from it.
    ~HeldPackageFile() override = default;

    bool create() override;
    bool write(std::string_view bytes) override;
    bool holdAndRead(const std::function<void(std::string_view)>& piece) override;
    bool start() override;
    bool installed() override;
    void discard() override;

    const std::filesystem::path& path() const { return file_; }

  private:
    std::filesystem::path file_;
    ScopedFile writing_;
    // Open for reading only and shared for reading only: nothing can write, rename or
    // delete the file while it is held.
    ScopedFile held_;
    ScopedHandle installer_;  // the started process, when the system gave one
};

class ClientWindow : public RunningClient {
  public:
    // `program`: the client to start again when the one that ran cannot tell its own file.
    explicit ClientWindow(std::filesystem::path program, DWORD waitMs = 30000)
        : program_(std::move(program)), waitMs_(waitMs) {}
    ClientEnd end() override;
    bool restart() override;

    // The running client's main window, found by its window property; null when none runs.
    static HWND find();

  private:
    std::filesystem::path program_;
    DWORD waitMs_;
};

}  // namespace tarnix
