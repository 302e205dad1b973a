#include "app/win/MainToolbar.h"

#include <vector>

#include "base/Prompt.h"
#include "base/Texts.h"
#include "resource.h"
#include "widgets/ToolbarKeys.h"
#include "widgets/win/Bitmaps.h"
#include "widgets/win/Strings.h"
#include "widgets/win/WindowDpi.h"

namespace tarnix {
namespace {

constexpr int kButtonSize = 48;

void tellFailure(HWND owner, UINT id) {
    prompt({owner, text(id), text(IDS_PROMPT_CAPTION), PromptIcon::Stop});
}

// The toolbar resource: version, button width and height, count, then the command ids
// (0 for a separator).
std::vector<WORD> toolbarCommands(int resourceId) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(resourceId), MAKEINTRESOURCEW(241));
    if (!found) return {};
    DWORD size = SizeofResource(module, found);
    auto* words = static_cast<const WORD*>(LockResource(LoadResource(module, found)));
    if (!words || size < 8 || words[0] != 1) return {};
    std::size_t count = words[3];
    if (8 + 2 * count > size) return {};
    return std::vector<WORD>(words + 4, words + 4 + count);
}

}  // namespace

std::wstring commandTip(UINT id) {
    std::wstring tip = loadString(id);
    auto feed = tip.find(L'\n');
    if (feed != std::wstring::npos) tip.erase(0, feed + 1);
    if (tip.size() > 79) tip.resize(79);
    return tip;
}

void MainToolbar::create(HWND owner) {
    toolbar_.attach(CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBSTYLE_FLAT |
                                        TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS | CCS_TOP |
                                        CCS_NODIVIDER,
                                    0, 0, 0, 0, owner, nullptr, GetModuleHandleW(nullptr),
                                    nullptr));
    if (!toolbar_) {
        tellFailure(owner, IDS_TOOLBAR_CREATE_FAILED);
        return;
    }
    const Dpi dpi = dpiOf(owner);
    toolbar_.prepare(dpi.scale(kButtonSize), dpi.scale(kButtonSize));
    if (!loadButtons()) tellFailure(owner, IDS_TOOLBAR_LOAD_FAILED);
    loadImages(dpi);
    // Disconnected until the dial controller says otherwise.
    enable(ID_TOOL_DISCONNECT, false);
    toolbar_.autoSize();
    accessible_.attach(toolbar_.hwnd(), *this);
    SetWindowSubclass(toolbar_.hwnd(), keyboardProc, reinterpret_cast<UINT_PTR>(this),
                      reinterpret_cast<DWORD_PTR>(this));
    // Last in the Tab cycle (the page after the tabs comes first), so that the window still
    // opens with the focus where it did.
    SetWindowPos(toolbar_.hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainToolbar::enable(int command, bool enabled) {
    if (!toolbar_) return;
    toolbar_.enableButton(command, enabled);
    accessible_.notify(EVENT_OBJECT_STATECHANGE, indexOf(command) + 1);
    // A button greyed under the keyboard's focus hands it on to one that can be pressed.
    if (!enabled && focused()) {
        const int hot = static_cast<int>(SendMessageW(toolbar_.hwnd(), TB_GETHOTITEM, 0, 0));
        if (hot == indexOf(command)) setHot(keepHot(pressable(), hot));
    }
}

void MainToolbar::scaleTo(Dpi dpi) {
    if (!toolbar_) return;
    toolbar_.prepare(dpi.scale(kButtonSize), dpi.scale(kButtonSize));
    loadImages(dpi);
    toolbar_.autoSize();
}

bool MainToolbar::loadButtons() {
    std::vector<WORD> commands = toolbarCommands(IDR_TOOLBAR);
    if (commands.empty()) return false;
    std::vector<TBBUTTON> buttons;
    int image = 0;
    for (WORD command : commands) {
        TBBUTTON button{};
        if (command == 0) {
            button.fsStyle = BTNS_SEP;
        } else {
            button.iBitmap = image++;
            button.idCommand = command;
            button.fsState = TBSTATE_ENABLED;
            button.fsStyle = BTNS_BUTTON;
        }
        buttons.push_back(button);
    }
    return toolbar_.addButtons(buttons);
}

void MainToolbar::loadImages(Dpi dpi) {
    // Without its images (a bitmap missing or damaged) the toolbar shows bare buttons. The
    // old lists are freed only once the toolbar holds the new ones.
    ScopedImageList normal = loadImageStrip(IDB_TOOLBAR_NORMAL, kButtonSize, 4, dpi);
    ScopedImageList hot = loadImageStrip(IDB_TOOLBAR_HOT, kButtonSize, 4, dpi);
    ScopedImageList disabled = loadImageStrip(IDB_TOOLBAR_DISABLED, kButtonSize, 4, dpi);
    toolbar_.setImageLists(normal.get(), hot.get(), disabled.get());
    normal_ = std::move(normal);
    hot_ = std::move(hot);
    disabled_ = std::move(disabled);
}

int MainToolbar::indexOf(int command) const {
    return static_cast<int>(SendMessageW(toolbar_.hwnd(), TB_COMMANDTOINDEX, command, 0));
}

int MainToolbar::partCount() const {
    return static_cast<int>(SendMessageW(toolbar_.hwnd(), TB_BUTTONCOUNT, 0, 0));
}

AccessiblePart MainToolbar::describe(int child) const {
    AccessiblePart part;
    part.role = ROLE_SYSTEM_TOOLBAR;
    if (child == CHILDID_SELF) return part;
    TBBUTTON button{};
    SendMessageW(toolbar_.hwnd(), TB_GETBUTTON, child - 1, reinterpret_cast<LPARAM>(&button));
    if (button.fsStyle & BTNS_SEP) {
        part.role = ROLE_SYSTEM_SEPARATOR;
        return part;
    }
    part.name = commandTip(static_cast<UINT>(button.idCommand));
    part.role = ROLE_SYSTEM_PUSHBUTTON;
    part.defaultAction = text(IDS_ACC_PRESS);
    if (!(button.fsState & TBSTATE_ENABLED)) part.state |= STATE_SYSTEM_UNAVAILABLE;
    SendMessageW(toolbar_.hwnd(), TB_GETITEMRECT, child - 1, reinterpret_cast<LPARAM>(&part.area));
    return part;
}

// As a click would: the command goes to the window; posted, so that a dialog it opens
// does not hold up the screen reader's call.
bool MainToolbar::doDefaultAction(int child) {
    TBBUTTON button{};
    if (!SendMessageW(toolbar_.hwnd(), TB_GETBUTTON, child - 1, reinterpret_cast<LPARAM>(&button)) ||
        (button.fsStyle & BTNS_SEP) || !(button.fsState & TBSTATE_ENABLED))
        return false;
    return PostMessageW(GetParent(toolbar_.hwnd()), WM_COMMAND, MAKEWPARAM(button.idCommand, BN_CLICKED),
                        reinterpret_cast<LPARAM>(toolbar_.hwnd())) != FALSE;
}

int MainToolbar::height() const {
    if (!toolbar_) return 0;
    RECT r;
    GetWindowRect(toolbar_.hwnd(), &r);
    return r.bottom - r.top;
}

}  // namespace tarnix
