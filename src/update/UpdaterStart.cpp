#include "update/UpdaterStart.h"

#include <mutex>

#include "update/UpdateFiles.h"

namespace tarnix {
namespace {

std::mutex g_mutex;
ProgramStartHandler g_handler;

}  // namespace

void setUpdaterStartHandler(ProgramStartHandler handler) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_handler = std::move(handler);
}

UpdaterStart startUpdater(const std::filesystem::path& programFolder) {
    std::filesystem::path program = programFolder / kUpdaterName;
    std::error_code error;
    if (!std::filesystem::is_regular_file(program, error)) return UpdaterStart::Missing;
    ProgramStartHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        handler = g_handler;
    }
    bool started = handler && handler(program);
    return started ? UpdaterStart::Started : UpdaterStart::Failed;
}

}  // namespace tarnix
