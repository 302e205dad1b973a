#pragma once
// Why a dial failed, in words a subscriber understands. Dials report the remote-access
// service's error numbers (those of raserror.h); lab-ac answers with the same numbers.

#include <string>

namespace tarnix {

// The numbers the program itself gives a failed dial.
inline constexpr int kDialErrorBadParameter = 87;  // a dial method that does not exist
inline constexpr int kDialErrorNoDevice = 608;     // no PPPoE device to dial on
inline constexpr int kDialErrorAbandoned = 631;    // the program ended the dial (at exit)
inline constexpr int kDialErrorNoAnswer = 678;     // nothing answered (lab-ac not there)
inline constexpr int kDialErrorAuthentication = 691;

// The status-line text for a failed dial's error: the cause and, where the subscriber's own
// device or cable is the likely cause, a pointer to the fault check. Empty for 0.
std::wstring dialFailureText(int error);

}  // namespace tarnix
