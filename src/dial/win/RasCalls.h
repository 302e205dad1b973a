#pragma once
// The remote-access calls whose structures grew over the Windows versions, made with the
// newest layout first and an older one when the system answers 632 (ERROR_INVALID_SIZE),
// and the listing of connections sized as the service asks, however many there are.
#include <windows.h>
#include <ras.h>

#include <string>
#include <vector>

namespace tarnix {

struct RasConnRow {
    HRASCONN handle = nullptr;
    std::wstring entry;
};

// Every connection the service lists, in its order. ERROR_SUCCESS or the service's error.
DWORD rasListConnections(std::vector<RasConnRow>& out);
// The connection's state; ERROR_INVALID_HANDLE when the service no longer knows it.
DWORD rasConnectState(HRASCONN conn, RASCONNSTATE& state);

}  // namespace tarnix
