#include <windows.h>

#include "base/Prompt.h"

namespace tarnix {

int systemPrompt(const PromptRequest& request) {
    UINT type = 0;
    switch (request.icon) {
        case PromptIcon::Information:
            type |= MB_ICONINFORMATION;
            break;
        case PromptIcon::Stop:
            type |= MB_ICONSTOP;
            break;
        case PromptIcon::Error:
            type |= MB_ICONERROR;
            break;
        case PromptIcon::Warning:
            type |= MB_ICONWARNING;
            break;
        case PromptIcon::Question:
            type |= MB_ICONQUESTION;
            break;
    }
    switch (request.buttons) {
        case PromptButtons::Ok:
            type |= MB_OK;
            break;
        case PromptButtons::OkCancel:
            type |= MB_OKCANCEL;
            break;
        case PromptButtons::YesNo:
            type |= MB_YESNO;
            break;
    }
    return MessageBoxW(static_cast<HWND>(request.owner), request.text.c_str(),
                       request.caption.c_str(), type);
}

}  // namespace tarnix
