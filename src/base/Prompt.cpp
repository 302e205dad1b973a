#include "base/Prompt.h"

#include "base/ReplaceableHandler.h"

namespace tarnix {
namespace {

ReplaceableHandler<PromptHandler>& handler() {
    static ReplaceableHandler<PromptHandler> h;
    return h;
}

}  // namespace

int prompt(const PromptRequest& request) {
    PromptHandler h = handler().get();
    return h ? h(request) : systemPrompt(request);
}

void setPromptHandler(PromptHandler h) {
    handler().set(std::move(h));
}

}  // namespace tarnix
