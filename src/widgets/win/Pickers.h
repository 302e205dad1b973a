#pragma once
// The pickers of the record and settings windows: date and time pickers and the IP address
// control.

#include <windows.h>

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "widgets/win/Control.h"

namespace tarnix {

class DateTimePicker : public Control {
  public:
    using Control::Control;

    // Empty when the picker has a check box that is cleared.
    std::optional<SYSTEMTIME> time() const {
        SYSTEMTIME t{};
        return send(DTM_GETSYSTEMTIME, 0, &t) == GDT_VALID ? std::optional<SYSTEMTIME>(t)
                                                           : std::nullopt;
    }
    void setTime(const SYSTEMTIME& t) const { send(DTM_SETSYSTEMTIME, GDT_VALID, &t); }
    // A picture such as L"yyyy-MM-dd" or L"HH:mm:ss".
    void setFormat(std::wstring_view format) const {
        send(DTM_SETFORMATW, 0, std::wstring(format).c_str());
    }
    // One colour of the drop-down calendar (MCSC_BACKGROUND, MCSC_TITLEBK, ...).
    void setCalendarColour(int which, COLORREF colour) const {
        send(DTM_SETMCCOLOR, which, colour);
    }
};

class IpAddressControl : public Control {
  public:
    using Control::Control;

    // The four numbers, or empty while a field is blank.
    std::optional<std::array<std::uint8_t, 4>> address() const {
        DWORD value = 0;
        if (send(IPM_GETADDRESS, 0, &value) != 4) return std::nullopt;
        return std::array<std::uint8_t, 4>{
            static_cast<std::uint8_t>(FIRST_IPADDRESS(value)),
            static_cast<std::uint8_t>(SECOND_IPADDRESS(value)),
            static_cast<std::uint8_t>(THIRD_IPADDRESS(value)),
            static_cast<std::uint8_t>(FOURTH_IPADDRESS(value))};
    }
    void setAddress(const std::array<std::uint8_t, 4>& a) const {
        send(IPM_SETADDRESS, 0, MAKEIPADDRESS(a[0], a[1], a[2], a[3]));
    }
    void clear() const { send(IPM_CLEARADDRESS); }
    bool blank() const { return send(IPM_ISBLANK) != 0; }
};

}  // namespace tarnix
