#include "base/Prompt.h"

#include <cstdio>

#include "base/CodePage.h"
#include "base/ReplaceableHandler.h"
#include "base/Texts.h"
#include "TextIds.h"

namespace tarnix {
namespace {

ReplaceableHandler<PromptHandler>& handler() {
    static ReplaceableHandler<PromptHandler> h;
    return h;
}

int unshownPrompt(const PromptRequest& request) {
    std::fprintf(stderr, "[%s] %s\n", gbToUtf8(wideToGb(request.caption)).c_str(),
                 gbToUtf8(wideToGb(request.text)).c_str());
    return request.buttons == PromptButtons::YesNo ? kAnswerYes : kAnswerOk;
}

}  // namespace

int prompt(const PromptRequest& request) {
    PromptHandler h = handler().get();
    return h ? h(request) : unshownPrompt(request);
}

int promptText(void* owner, unsigned textId, PromptIcon icon) {
    return prompt({owner, text(textId), text(IDS_PROMPT_CAPTION), icon});
}

void setPromptHandler(PromptHandler h) {
    handler().set(std::move(h));
}

}  // namespace tarnix
