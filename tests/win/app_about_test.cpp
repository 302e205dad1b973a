// The about dialog and the main window's link pages: their texts, and that a click or Enter
// on a link asks the shell to open that link's address; and the version information and
// manifest that the built client carries.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "../support/WinProcess.h"
#include "app/ProviderLinks.h"
#include "app/win/AboutDialog.h"
#include "app/win/ContactPage.h"
#include "app/win/ServicesPage.h"
#include "base/ShellOpen.h"
#include "resource.h"

namespace tarnix {
namespace {

// Keeps every address the windows ask to open; nothing reaches a browser.
class OpenRecorder {
  public:
    OpenRecorder() {
        setShellOpenHandler([this](const std::string& address) {
            opened.push_back(address);
            return true;
        });
    }
    ~OpenRecorder() { setShellOpenHandler({}); }
    std::vector<std::string> opened;
};

// What a link control sends its parent when it is clicked (or Enter is pressed on it).
void notifyFrom(HWND dialog, int controlId, UINT code) {
    NMLINK link{};
    link.hdr.hwndFrom = GetDlgItem(dialog, controlId);
    link.hdr.idFrom = static_cast<UINT_PTR>(controlId);
    link.hdr.code = code;
    SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(controlId),
                 reinterpret_cast<LPARAM>(&link));
}

std::wstring textOf(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
}

std::wstring widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// A top-level window to hold a page, as the main window's tab control does.
class PageHost {
  public:
    PageHost()
        : window_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 500, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr)) {}
    ~PageHost() { DestroyWindow(window_); }
    HWND get() const { return window_; }

  private:
    HWND window_;
};

TEST(AboutDialog, ShowsTheProductAndOpensTheMakersSite) {
    OpenRecorder shell;
    AboutDialog about;
    HWND dialog = about.createModeless(nullptr);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(textOf(dialog), L"关于澄远宽带拨号客户端");
    EXPECT_EQ(about.itemText(IDC_ABOUT_VERSION), L"Tarnix 1.2 版");
    EXPECT_NE(about.itemText(IDC_ABOUT_TEXT).find(L"澄远宽带"), std::wstring::npos);
    EXPECT_NE(about.itemText(IDC_ABOUT_LINK).find(widen(kMakerSiteAddress)), std::wstring::npos)
        << "the link shows the address it opens";

    notifyFrom(dialog, IDC_ABOUT_LINK, NM_SETFOCUS);
    notifyFrom(dialog, IDC_ABOUT_VERSION, NM_CLICK);
    EXPECT_TRUE(shell.opened.empty()) << "only a click or Enter on the link opens it";
    notifyFrom(dialog, IDC_ABOUT_LINK, NM_CLICK);
    notifyFrom(dialog, IDC_ABOUT_LINK, NM_RETURN);
    EXPECT_EQ(shell.opened, (std::vector<std::string>{kMakerSiteAddress, kMakerSiteAddress}));

    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(about.hwnd(), nullptr) << "OK closes the dialog";
}

TEST(LinkPages, EachLinkOpensItsOwnAddress) {
    OpenRecorder shell;
    PageHost host;

    ServicesPage services;
    ASSERT_NE(services.create(host.get()), nullptr);
    EXPECT_NE(services.itemText(IDC_SITE_GUIDE_LINK).find(L"网站导航"), std::wstring::npos);
    notifyFrom(services.hwnd(), IDC_SOFTWARE_LINK, NM_CLICK);
    notifyFrom(services.hwnd(), IDC_SITE_GUIDE_LINK, NM_CLICK);

    ContactPage contact;
    ASSERT_NE(contact.create(host.get()), nullptr);
    EXPECT_EQ(contact.itemText(IDC_CONTACT_SLOGAN), L"有线宽带，无限沟通！");
    EXPECT_EQ(contact.itemText(IDC_CONTACT_PROVIDER), L"澄远宽带");
    EXPECT_NE(contact.itemText(IDC_CONTACT_MAIL).find(widen(kServiceMailbox)), std::wstring::npos);
    notifyFrom(contact.hwnd(), IDC_CONTACT_MAIL, NM_CLICK);

    EXPECT_EQ(shell.opened, (std::vector<std::string>{kSoftwareAddress, kSiteGuideAddress,
                                                      std::string("mailto:") + kServiceMailbox}));
}

// The pages are light like the login page, behind every label and link, also after the
// links have painted themselves (some link controls delete the brush they are given).
TEST(LinkPages, PaintTheirOwnLightColourBehindEveryControl) {
    PageHost host;
    ShowWindow(host.get(), SW_SHOWNOACTIVATE);
    ServicesPage services;
    HWND page = services.create(host.get());
    ASSERT_NE(page, nullptr);
    ShowWindow(page, SW_SHOWNOACTIVATE);
    for (int pass = 0; pass < 2; ++pass) {
        RedrawWindow(page, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }

    HDC dc = GetDC(page);
    COLORREF pageColour = GetPixel(dc, 2, 2);
    auto pixelAtRightEnd = [&](int id) {
        RECT r;
        GetWindowRect(GetDlgItem(page, id), &r);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
        return GetPixel(dc, r.right - 2, (r.top + r.bottom) / 2);
    };
    COLORREF behindFirst = pixelAtRightEnd(IDC_SITE_GUIDE_LINK);
    COLORREF behindSecond = pixelAtRightEnd(IDC_SOFTWARE_LINK);
    ReleaseDC(page, dc);

    EXPECT_GT(GetRValue(pageColour) + GetGValue(pageColour) + GetBValue(pageColour), 3 * 230);
    EXPECT_NE(pageColour, RGB(255, 255, 255));
    EXPECT_NE(pageColour, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(behindFirst, pageColour);
    EXPECT_EQ(behindSecond, pageColour);
}

// version.dll's three readers, loaded by name so the tests need no extra import library.
struct VersionReader {
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

    VersionReader() : dll(LoadLibraryW(L"version.dll")) {
        if (!dll) return;
        size = reinterpret_cast<SizeFn>(GetProcAddress(dll, "GetFileVersionInfoSizeW"));
        info = reinterpret_cast<InfoFn>(GetProcAddress(dll, "GetFileVersionInfoW"));
        query = reinterpret_cast<QueryFn>(GetProcAddress(dll, "VerQueryValueW"));
    }
    ~VersionReader() {
        if (dll) FreeLibrary(dll);
    }
    HMODULE dll;
    SizeFn size = nullptr;
    InfoFn info = nullptr;
    QueryFn query = nullptr;
};

TEST(BuiltClient, CarriesItsVersionAndManifest) {
    std::wstring exe = testing::builtProgram(L"TARNIX_EXE", L"../Tarnix.exe").wstring();
    VersionReader reader;
    ASSERT_TRUE(reader.size && reader.info && reader.query);
    DWORD handle = 0;
    DWORD bytes = reader.size(exe.c_str(), &handle);
    ASSERT_GT(bytes, 0u) << "no version information in the client";
    std::vector<unsigned char> data(bytes);
    ASSERT_TRUE(reader.info(exe.c_str(), 0, bytes, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(reader.query(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(2, 1)) << "1.2";
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(2, 1));

    auto text = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        UINT n = 0;
        std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
        if (!reader.query(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &n))
            return std::wstring(L"(none)");
        return std::wstring(value);
    };
    EXPECT_EQ(text(L"ProductVersion"), L"1.2.0.0");
    EXPECT_EQ(text(L"ProductName"), L"Tarnix");
    EXPECT_EQ(text(L"CompanyName"), L"澄远宽带");
    EXPECT_EQ(text(L"FileDescription"), L"澄远宽带拨号客户端");
    EXPECT_EQ(text(L"OriginalFilename"), L"Tarnix.exe");

    // The link labels exist only in common controls 6, which the manifest asks for.
    HMODULE image = LoadLibraryExW(exe.c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(image, nullptr);
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr);
    std::string manifest(static_cast<const char*>(LockResource(LoadResource(image, found))),
                         SizeofResource(image, found));
    FreeLibrary(image);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("asInvoker"), std::string::npos);
}

}  // namespace
}  // namespace tarnix
