#include "dial/InterfaceTable.h"

// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include <memory>

namespace tarnix {
namespace {

class WinInterfaceTable : public InterfaceTable {
  public:
    bool read(std::vector<NetworkInterface>& out) override {
        out.clear();
        // Room for one row first; the call names the size it needs when there are more.
        ULONG size = sizeof(MIB_IFTABLE);
        std::unique_ptr<char[]> buffer;
        DWORD result = ERROR_INSUFFICIENT_BUFFER;
        for (int attempt = 0; attempt < 3 && result == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
            buffer.reset(new (std::nothrow) char[size]);
            if (!buffer) return false;
            result = GetIfTable(reinterpret_cast<MIB_IFTABLE*>(buffer.get()), &size, FALSE);
        }
        if (result != NO_ERROR) return false;
        const auto* table = reinterpret_cast<const MIB_IFTABLE*>(buffer.get());
        for (DWORD i = 0; i < table->dwNumEntries; ++i) {
            const MIB_IFROW& row = table->table[i];
            DWORD length = row.dwDescrLen < MAXLEN_IFDESCR ? row.dwDescrLen : MAXLEN_IFDESCR;
            std::string description(reinterpret_cast<const char*>(row.bDescr), length);
            if (auto zero = description.find('\0'); zero != std::string::npos) description.resize(zero);
            out.push_back({description, row.dwSpeed, row.dwType});
        }
        return true;
    }
};

}  // namespace

InterfaceTable& systemInterfaceTable() {
    static WinInterfaceTable table;
    return table;
}

}  // namespace tarnix
