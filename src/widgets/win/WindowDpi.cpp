#include "widgets/win/WindowDpi.h"

#include "base/win/Scoped.h"

namespace tarnix {
namespace {

// user32's per-monitor calls, or null on a system without them.
struct DpiCalls {
    UINT(WINAPI* forWindow)(HWND) = nullptr;
    UINT(WINAPI* forSystem)() = nullptr;
    int(WINAPI* metric)(int, UINT) = nullptr;
    BOOL(WINAPI* parameters)(UINT, UINT, PVOID, UINT, UINT) = nullptr;
};

template <typename F>
void find(HMODULE user32, const char* name, F& call) {
    call = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

const DpiCalls& calls() {
    static const DpiCalls found = [] {
        DpiCalls c;
        // user32 stays loaded for the life of any program with windows.
        if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
            find(user32, "GetDpiForWindow", c.forWindow);
            find(user32, "GetDpiForSystem", c.forSystem);
            find(user32, "GetSystemMetricsForDpi", c.metric);
            find(user32, "SystemParametersInfoForDpi", c.parameters);
        }
        return c;
    }();
    return found;
}

}  // namespace

Dpi systemDpi() {
    if (calls().forSystem) return Dpi(static_cast<int>(calls().forSystem()));
    const WindowDC screen(nullptr);
    return Dpi(screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : Dpi::kStandard);
}

Dpi dpiOf(HWND window) {
    // GetDpiForWindow answers 0 for a handle that is no window.
    if (window && calls().forWindow) {
        if (UINT dpi = calls().forWindow(window)) return Dpi(static_cast<int>(dpi));
    }
    return systemDpi();
}

int metricAt(int index, Dpi dpi) {
    if (calls().metric) return calls().metric(index, static_cast<UINT>(dpi.value()));
    return GetSystemMetrics(index);
}

NONCLIENTMETRICSW nonClientMetricsAt(Dpi dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    const bool read =
        calls().parameters
            ? calls().parameters(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                 static_cast<UINT>(dpi.value()))
            : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    if (!read) metrics = NONCLIENTMETRICSW{sizeof(metrics)};
    return metrics;
}

}  // namespace tarnix
