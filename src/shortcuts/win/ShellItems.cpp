#include "shortcuts/win/ShellItems.h"

#include <shellapi.h>
#include <shlobj.h>

#include "base/ReplaceableHandler.h"
#include "base/CodePage.h"
#include "base/win/Scoped.h"

namespace tarnix {

namespace {

bool endsWithLnk(const std::wstring& path) {
    return path.size() > 4 && _wcsicmp(path.c_str() + path.size() - 4, L".lnk") == 0;
}

bool systemShellRun(const ShellRun& run) {
    const std::wstring target = gbToWide(run.target);
    const std::wstring parameters = gbToWide(run.parameters);
    const std::wstring verb = gbToWide(run.verb);
    HINSTANCE result =
        ShellExecuteW(nullptr, verb.empty() ? nullptr : verb.c_str(), target.c_str(),
                      parameters.empty() ? nullptr : parameters.c_str(), nullptr, run.show);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

ReplaceableHandler<ShellRunHandler>& runHandler() {
    static ReplaceableHandler<ShellRunHandler> handler;
    return handler;
}

}  // namespace

std::wstring resolveShortcut(const std::wstring& path) {
    if (!endsWithLnk(path)) return path;
    ComScope com;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.putVoid()))) {
        return path;
    }
    ComPtr<IPersistFile> file = link.query<IPersistFile>(IID_IPersistFile);
    if (!file || FAILED(file->Load(path.c_str(), STGM_READ))) return path;
    wchar_t target[MAX_PATH] = {};
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, 0)) || !target[0]) return path;
    return target;
}

int addShellIcon(const std::wstring& path, HIMAGELIST small, HIMAGELIST large) {
    SHFILEINFOW smallInfo{}, largeInfo{};
    if (!SHGetFileInfoW(path.c_str(), 0, &smallInfo, sizeof(smallInfo),
                        SHGFI_ICON | SHGFI_SMALLICON)) {
        return -1;
    }
    ScopedIcon smallIcon(smallInfo.hIcon);
    if (!SHGetFileInfoW(path.c_str(), 0, &largeInfo, sizeof(largeInfo),
                        SHGFI_ICON | SHGFI_LARGEICON)) {
        return -1;
    }
    ScopedIcon largeIcon(largeInfo.hIcon);
    if (!smallIcon || !largeIcon) return -1;
    const int index = small ? ImageList_AddIcon(small, smallIcon.get()) : 0;
    if (index < 0) return -1;
    if (large && ImageList_AddIcon(large, largeIcon.get()) < 0) {
        ImageList_Remove(small, index);  // keep the lists in step
        return -1;
    }
    return index;
}

bool shellRun(const ShellRun& run) {
    if (ShellRunHandler handler = runHandler().get()) return handler(run);
    return systemShellRun(run);
}

void setShellRunHandler(ShellRunHandler handler) {
    runHandler().set(std::move(handler));
}

}  // namespace tarnix
