#pragma once
// Every message box of the program goes through prompt(), so tests can see and answer it.

#include <functional>
#include <string>

namespace tarnix {

enum class PromptIcon { Information, Stop, Error, Warning, Question };
enum class PromptButtons { Ok, OkCancel, YesNo };
// The answers, numbered as the Windows message box numbers them.
enum PromptAnswer { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

struct PromptRequest {
    void* owner = nullptr;  // the owning window, if any
    std::wstring text;
    std::wstring caption;
    PromptIcon icon = PromptIcon::Information;
    PromptButtons buttons = PromptButtons::Ok;
};

using PromptHandler = std::function<int(const PromptRequest&)>;

int prompt(const PromptRequest& request);
// The form's refusals and faults: text `textId` of the string table under the caption
// 提示, with an OK button.
int promptText(void* owner, unsigned textId, PromptIcon icon);
// Replaces the handler: the program's entry point installs systemPrompt, tests their own
// answers. With none (an empty handler) nothing can be shown: the text goes to standard
// error and counts as acknowledged.
void setPromptHandler(PromptHandler handler);

// The Windows message box, which the program's entry point installs.
int systemPrompt(const PromptRequest& request);

}  // namespace tarnix
