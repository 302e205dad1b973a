#include <cstdio>

#include "base/Prompt.h"

namespace tarnix {

// Without a desktop the message goes to standard error and counts as acknowledged.
int systemPrompt(const PromptRequest& request) {
    std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
    return request.buttons == PromptButtons::YesNo ? kAnswerYes : kAnswerOk;
}

}  // namespace tarnix
