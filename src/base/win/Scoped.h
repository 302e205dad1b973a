#pragma once
// Owners of Win32 handles: each frees its handle once, when it goes out of scope, and can
// be moved but never copied. A window's GDI objects, image lists, kernel handles, registry
// keys, the system's memory blocks and COM interfaces are held in these instead of freed by
// hand, and this is the only place that frees them.
//
// Windows are the exception: a window belongs to its window object (a Dialog, a Window, a
// control that made a child), which destroys it in its own handling of the window's end. A
// child that ends before its parent (an editor in place) is held in a ScopedWindow.

#include <windows.h>

#include <bcrypt.h>
#include <commctrl.h>
#include <setupapi.h>
#include <unknwn.h>
#include <wininet.h>

#include <utility>

namespace tarnix {

// One owned handle of type T, freed by Free::close(handle) unless it is Free::invalid().
template <class T, class Free>
class Scoped {
  public:
    Scoped() = default;
    explicit Scoped(T handle) : handle_(handle) {}
    ~Scoped() { reset(); }
    Scoped(const Scoped&) = delete;
    Scoped& operator=(const Scoped&) = delete;
    Scoped(Scoped&& other) noexcept : handle_(other.release()) {}
    Scoped& operator=(Scoped&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != Free::invalid(); }
    // Frees what is held and takes `handle` instead.
    void reset(T handle = Free::invalid()) {
        if (handle_ != Free::invalid()) Free::close(handle_);
        handle_ = handle;
    }
    // Gives up ownership without freeing.
    T release() { return std::exchange(handle_, Free::invalid()); }
    // For the creating call's out parameter: frees what was held first.
    T* put() {
        reset();
        return &handle_;
    }

  private:
    T handle_ = Free::invalid();
};

namespace freeing {
// A handle that is null when it holds nothing, freed by calling `Close` on it.
template <class T, auto Close>
struct Call {
    static T invalid() { return nullptr; }
    static void close(T h) { Close(h); }
};
// CreateFileW's handles and device lists hold nothing when INVALID_HANDLE_VALUE.
struct File {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct DeviceInfoList {
    static HDEVINFO invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HDEVINFO h) { SetupDiDestroyDeviceInfoList(h); }
};
inline void closeCngAlgorithm(BCRYPT_ALG_HANDLE h) { BCryptCloseAlgorithmProvider(h, 0); }
}  // namespace freeing

using ScopedBitmap = Scoped<HBITMAP, freeing::Call<HBITMAP, DeleteObject>>;
using ScopedBrush = Scoped<HBRUSH, freeing::Call<HBRUSH, DeleteObject>>;
using ScopedFont = Scoped<HFONT, freeing::Call<HFONT, DeleteObject>>;
using ScopedPen = Scoped<HPEN, freeing::Call<HPEN, DeleteObject>>;
// Only for icons the program made or loaded without LR_SHARED.
using ScopedIcon = Scoped<HICON, freeing::Call<HICON, DestroyIcon>>;
using ScopedImageList = Scoped<HIMAGELIST, freeing::Call<HIMAGELIST, ImageList_Destroy>>;
using ScopedMenu = Scoped<HMENU, freeing::Call<HMENU, DestroyMenu>>;
using ScopedWindow = Scoped<HWND, freeing::Call<HWND, DestroyWindow>>;
// Events, mutexes, threads, processes: null is the invalid value.
using ScopedHandle = Scoped<HANDLE, freeing::Call<HANDLE, CloseHandle>>;
// CreateFileW's handles: INVALID_HANDLE_VALUE is the invalid value.
using ScopedFile = Scoped<HANDLE, freeing::File>;
using ScopedRegKey = Scoped<HKEY, freeing::Call<HKEY, RegCloseKey>>;
using ScopedLibrary = Scoped<HMODULE, freeing::Call<HMODULE, FreeLibrary>>;
using ScopedInternet = Scoped<HINTERNET, freeing::Call<HINTERNET, InternetCloseHandle>>;
using ScopedDeviceInfoList = Scoped<HDEVINFO, freeing::DeviceInfoList>;
using ScopedCngAlgorithm = Scoped<BCRYPT_ALG_HANDLE, freeing::Call<BCRYPT_ALG_HANDLE, freeing::closeCngAlgorithm>>;
using ScopedCngKey = Scoped<BCRYPT_KEY_HANDLE, freeing::Call<BCRYPT_KEY_HANDLE, BCryptDestroyKey>>;
using ScopedCngHash = Scoped<BCRYPT_HASH_HANDLE, freeing::Call<BCRYPT_HASH_HANDLE, BCryptDestroyHash>>;
// FormatMessageW's and CryptDecodeObjectEx's buffers (LocalFree).
template <class T>
using ScopedLocalMemory = Scoped<T, freeing::Call<T, LocalFree>>;
// WinINet's per-connection option strings (GlobalFree).
template <class T>
using ScopedGlobalMemory = Scoped<T, freeing::Call<T, GlobalFree>>;
// The shell's item lists and other COM task memory (CoTaskMemFree).
template <class T>
using ScopedCoTaskMemory = Scoped<T, freeing::Call<T, CoTaskMemFree>>;

// A memory DC compatible with `like` (the screen when null).
class MemoryDC : public Scoped<HDC, freeing::Call<HDC, DeleteDC>> {
  public:
    explicit MemoryDC(HDC like) : Scoped(CreateCompatibleDC(like)) {}
};

// The DC of a window's client area (or of the whole window), released with it.
class WindowDC {
  public:
    explicit WindowDC(HWND window, bool wholeWindow = false)
        : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND window_;
    HDC dc_;
};

// BeginPaint and EndPaint of one WM_PAINT.
class PaintDC {
  public:
    explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDC() { EndPaint(window_, &paint_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC get() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back, so that the object can be
// freed afterwards (a selected object cannot be).
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~SelectGuard() {
        if (previous_) SelectObject(dc_, previous_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    explicit operator bool() const { return previous_ != nullptr; }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A COM interface pointer, released once.
template <class T>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For the creating call's out parameter: releases what was held first.
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }
    // Another interface of the same object, or an empty pointer.
    template <class U>
    ComPtr<U> query(REFIID iid) const {
        ComPtr<U> other;
        if (p_) p_->QueryInterface(iid, other.putVoid());
        return other;
    }

  private:
    T* p_ = nullptr;
};

// COM on this thread for as long as it lives (when it could be started here).
class ComScope {
  public:
    ComScope() : started_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (started_) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool started_;
};

}  // namespace tarnix
