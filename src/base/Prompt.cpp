#include "base/Prompt.h"

#include <mutex>

namespace tarnix {
namespace {

std::mutex& handlerMutex() {
    static std::mutex m;
    return m;
}

PromptHandler& handler() {
    static PromptHandler h;
    return h;
}

}  // namespace

int prompt(const PromptRequest& request) {
    PromptHandler h;
    {
        std::lock_guard<std::mutex> lock(handlerMutex());
        h = handler();
    }
    return h ? h(request) : systemPrompt(request);
}

void setPromptHandler(PromptHandler h) {
    std::lock_guard<std::mutex> lock(handlerMutex());
    handler() = std::move(h);
}

}  // namespace tarnix
