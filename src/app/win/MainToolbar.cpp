#include "app/win/MainToolbar.h"

#include <vector>

#include "base/Prompt.h"
#include "resource.h"
#include "widgets/win/Bitmaps.h"

namespace tarnix {
namespace {

constexpr int kButtonSize = 48;
// "创建工具栏失败!", "加载工具栏资源失败!", "提示"
constexpr char kCreateFailedText[] = "\xB4\xB4\xBD\xA8\xB9\xA4\xBE\xDF\xC0\xB8\xCA\xA7\xB0\xDC!";
constexpr char kLoadFailedText[] =
    "\xBC\xD3\xD4\xD8\xB9\xA4\xBE\xDF\xC0\xB8\xD7\xCA\xD4\xB4\xCA\xA7\xB0\xDC!";
constexpr char kCaption[] = "\xCC\xE1\xCA\xBE";

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
    const wchar_t* text = nullptr;
    int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    std::wstring tip(text ? text : L"", text ? n : 0);
    auto feed = tip.find(L'\n');
    if (feed != std::wstring::npos) tip.erase(0, feed + 1);
    if (tip.size() > 79) tip.resize(79);
    return tip;
}

MainToolbar::~MainToolbar() {
    for (HIMAGELIST list : {normal_, hot_, disabled_})
        if (list) ImageList_Destroy(list);
}

void MainToolbar::create(HWND owner) {
    toolbar_ = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TRANSPARENT |
                                   TBSTYLE_TOOLTIPS | CCS_TOP | CCS_NODIVIDER,
                               0, 0, 0, 0, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!toolbar_) {
        prompt({owner, kCreateFailedText, kCaption, PromptIcon::Stop});
        return;
    }
    SendMessageW(toolbar_, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar_, TB_SETBITMAPSIZE, 0, MAKELPARAM(kButtonSize, kButtonSize));
    if (!loadButtons()) prompt({owner, kLoadFailedText, kCaption, PromptIcon::Stop});
    loadImages();
    // Disconnected until the dial controller says otherwise.
    SendMessageW(toolbar_, TB_ENABLEBUTTON, ID_TOOL_DISCONNECT, FALSE);
    SendMessageW(toolbar_, TB_AUTOSIZE, 0, 0);
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
    return SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(),
                        reinterpret_cast<LPARAM>(buttons.data())) != FALSE;
}

void MainToolbar::loadImages() {
    // Without its images (a bitmap missing or damaged) the toolbar shows bare buttons.
    normal_ = loadImageStrip(IDB_TOOLBAR_NORMAL, kButtonSize, 4);
    hot_ = loadImageStrip(IDB_TOOLBAR_HOT, kButtonSize, 4);
    disabled_ = loadImageStrip(IDB_TOOLBAR_DISABLED, kButtonSize, 4);
    SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal_));
    SendMessageW(toolbar_, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hot_));
    SendMessageW(toolbar_, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabled_));
}

int MainToolbar::height() const {
    if (!toolbar_) return 0;
    RECT r;
    GetWindowRect(toolbar_, &r);
    return r.bottom - r.top;
}

}  // namespace tarnix
