#pragma once
// Answers every message box with OK while it lives, and keeps what each one asked.
#include <vector>

#include "base/Prompt.h"

namespace tarnix::testing {

class PromptRecorder {
  public:
    PromptRecorder() {
        setPromptHandler([this](const PromptRequest& request) {
            asked.push_back(request);
            return kAnswerOk;
        });
    }
    ~PromptRecorder() { setPromptHandler({}); }
    PromptRecorder(const PromptRecorder&) = delete;
    PromptRecorder& operator=(const PromptRecorder&) = delete;

    std::vector<PromptRequest> asked;
};

}  // namespace tarnix::testing
