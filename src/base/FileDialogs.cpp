#include "base/FileDialogs.h"

#include "base/ReplaceableHandler.h"

namespace tarnix {
namespace {

ReplaceableHandler<PathHandler>& handler() {
    static ReplaceableHandler<PathHandler> h;
    return h;
}

}  // namespace

std::optional<std::filesystem::path> askForPath(const PathRequest& request) {
    PathHandler h = handler().get();
    if (!h) return std::nullopt;
    return h(request);
}

void setPathHandler(PathHandler h) {
    handler().set(std::move(h));
}

}  // namespace tarnix
