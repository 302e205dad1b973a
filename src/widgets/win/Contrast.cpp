#include "widgets/win/Contrast.h"

#include <cwchar>

namespace tarnix {

bool highContrast() {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof(setting);
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) &&
        (setting.dwFlags & HCF_HIGHCONTRASTON))
        return true;
    // The flags are kept as decimal text ("127" while on).
    wchar_t flags[16] = {};
    DWORD size = sizeof(flags) - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Accessibility\\HighContrast", L"Flags",
                     RRF_RT_REG_SZ, nullptr, flags, &size) != ERROR_SUCCESS)
        return false;
    return (std::wcstoul(flags, nullptr, 10) & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace tarnix
