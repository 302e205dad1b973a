#pragma once
// The updater's work, apart from its window: read the update source, fetch the version
// list, and when it names a newer version download the package it names, check its size
// and SHA-256, have the running client end, start the package and wait for it. Nothing but
// a file whose every byte was checked is ever started, and the installed client is not
// touched unless the installer starts.
//
// The client it closed is started again when the update then fails on its own (the
// installer cannot start, fails or is cancelled in its own window). A cancel of the updater
// itself, honoured until the installer starts, stops everything the updater does: the
// client it already closed stays closed, and the window says so.
//
// Threads: run() blocks on the network; the window runs it on a worker and reaches it
// only through the cancel flag.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "base/Profile.h"
#include "base/net/HttpGet.h"

namespace tarnix {

// Where the package lies while it is downloaded and checked. Once written, the file is
// held so that nothing can change it between the check and its start.
class PackageFile {
  public:
    virtual ~PackageFile() = default;
    // A new, empty file.
    virtual bool create() = 0;
    virtual bool write(std::string_view bytes) = 0;
    // Ends the writing, holds the file against changes and reads it back in pieces.
    virtual bool holdAndRead(const std::function<void(std::string_view)>& piece) = 0;
    // Starts the held file.
    virtual bool start() = 0;
    // Waits for the started installer to end; true when it reports success (exit code 0),
    // false when it was cancelled or failed.
    virtual bool installed() = 0;
    // Lets the file go and deletes it (after a failure).
    virtual void discard() = 0;
};

enum class ClientEnd {
    NoneRunning,   // there was no client to end
    Ended,         // it ran and exited when asked
    StillRunning,  // it did not exit in time
};

// The client, if it runs.
class RunningClient {
  public:
    virtual ~RunningClient() = default;
    // Asks a running client to exit as its exit command does and waits for it.
    virtual ClientEnd end() = 0;
    // Starts the client that end() closed again; false when it could not be started.
    virtual bool restart() = 0;
};

enum class UpdaterResult {
    Started,             // the checked package was started
    UpToDate,            // the list names no newer version
    Cancelled,
    NoSource,            // UpdateConfig.ini names no http address
    ListUnavailable,     // the list could not be fetched
    UnsignedList,        // the list is not signed by the provider
    BadList,             // the list's version or package is not usable
    PackageUnavailable,  // the server did not answer the package's request with 200
    DownloadFailed,      // the connection broke or stalled during the download
    WrongSize,           // more or fewer bytes than the list names
    WrongHash,           // the bytes are not the ones the list names
    FileError,           // the package could not be saved
    ClientRunning,       // the client did not end
    StartFailed,
    InstallerFailed,     // the installer ended without installing (cancelled or failed)
};

// What the updater does after the download, for its window to tell.
enum class UpdaterStage { Verifying, EndingClient, Installing };

struct UpdaterTask {
    Profile& profile;
    std::filesystem::path programFolder;  // UpdateConfig.ini
    std::filesystem::path tempFolder;     // UpdateList.ini
    PackageFile& package;
    RunningClient& client;
    std::uint32_t timeoutMs = kHttpTimeoutMs;
    // From the worker: the version about to be downloaded, then bytes received of the total.
    std::function<void(const std::string& version)> downloading;
    std::function<void(std::uint64_t received, std::uint64_t total)> progress;
    std::function<void(UpdaterStage stage)> stage;
    const std::atomic<bool>* cancel = nullptr;
};

struct UpdaterOutcome {
    UpdaterResult result = UpdaterResult::NoSource;
    std::string version;           // the listed version, once read
    bool clientEnded = false;      // the updater closed a running client
    bool clientRestarted = false;  // and started it again
};

UpdaterOutcome runUpdater(const UpdaterTask& task);

}  // namespace tarnix
