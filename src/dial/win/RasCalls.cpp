#include "dial/win/RasCalls.h"

#include <raserror.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "dial/win/RasLayouts.h"

namespace tarnix {
namespace {

// A service that asks for room for more connections than any machine has is not followed.
constexpr std::size_t kMaxRows = 4096;
// A listing that grows between the sizing call and the next is asked again, a few times.
constexpr int kSizingTurns = 4;

}  // namespace

DWORD rasListConnections(std::vector<RasConnRow>& out) {
    out.clear();
    std::size_t rows = 16;
    DWORD rc = ERROR_INVALID_SIZE;
    for (const DWORD size : raslayout::kConnSizes) {
        for (int turn = 0; turn < kSizingTurns; ++turn) {
            std::vector<unsigned char> buffer(rows * size);
            RASCONNW first{};
            first.dwSize = size;
            std::memcpy(buffer.data(), &first, sizeof(DWORD));
            DWORD bytes = static_cast<DWORD>(buffer.size());
            DWORD count = 0;
            rc = RasEnumConnectionsW(reinterpret_cast<RASCONNW*>(buffer.data()), &bytes, &count);
            if (rc == ERROR_BUFFER_TOO_SMALL) {
                const std::size_t asked =
                    std::max<std::size_t>(bytes / size + 1, static_cast<std::size_t>(count) + 1);
                if (asked > kMaxRows) return rc;
                rows = std::max(asked, rows + 1);
                continue;
            }
            if (rc != ERROR_SUCCESS) break;
            // The rows lie `size` bytes apart; the older layout is the head of each.
            for (DWORD i = 0; i < count && (i + 1) * static_cast<std::size_t>(size) <= buffer.size();
                 ++i) {
                RASCONNW row{};
                std::memcpy(&row, buffer.data() + i * static_cast<std::size_t>(size),
                            std::min<std::size_t>(size, sizeof row));
                out.push_back({row.hrasconn,
                               std::wstring(row.szEntryName,
                                            wcsnlen(row.szEntryName, RAS_MaxEntryName + 1))});
            }
            return ERROR_SUCCESS;
        }
        if (rc != ERROR_INVALID_SIZE) return rc;
    }
    return rc;
}

DWORD rasConnectState(HRASCONN conn, RASCONNSTATE& state) {
    raslayout::ConnStatus7 status;
    DWORD rc = ERROR_INVALID_SIZE;
    for (const DWORD size : raslayout::kConnStatusSizes) {
        std::memset(&status, 0, sizeof status);
        status.base.dwSize = size;
        rc = RasGetConnectStatusW(conn, &status.base);
        if (rc != ERROR_INVALID_SIZE) break;
    }
    if (rc == ERROR_SUCCESS) state = status.base.rasconnstate;
    return rc;
}

}  // namespace tarnix
