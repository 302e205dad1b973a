#include "update/UpdaterStart.h"

#include "base/ReplaceableHandler.h"
#include "update/UpdateFiles.h"

namespace tarnix {
namespace {

ReplaceableHandler<ProgramStartHandler> g_handler;

}  // namespace

void setUpdaterStartHandler(ProgramStartHandler handler) { g_handler.set(std::move(handler)); }

UpdaterStart startUpdater(const std::filesystem::path& programFolder) {
    std::filesystem::path program = programFolder / kUpdaterName;
    std::error_code error;
    if (!std::filesystem::is_regular_file(program, error)) return UpdaterStart::Missing;
    ProgramStartHandler handler = g_handler.get();
    bool started = handler && handler(program);
    return started ? UpdaterStart::Started : UpdaterStart::Failed;
}

}  // namespace tarnix
