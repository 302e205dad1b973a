#pragma once
// The layouts of the remote-access structures that Windows 7 and later use. The
// mingw-w64 headers stop at older ones: RASCONNW without its correlation id,
// RASCONNSTATUSW without the tunnel end points, RASENTRYW at the XP layout. The service
// takes the size in dwSize as the version the caller speaks, and a system may refuse a
// version it does not know (632, ERROR_INVALID_SIZE): callers try the newest first and
// step back on 632.
#include <windows.h>
#include <ras.h>

#include <cstddef>

namespace tarnix::raslayout {

#include <pshpack4.h>

struct TunnelEndPoint {
    DWORD type;
    BYTE address[16];  // IPv4 in the first four bytes, or IPv6
};

// Windows 7 and later.
struct Conn7 {
    RASCONNW base;
    GUID correlationId;
};

// Windows 7 and later.
struct ConnStatus7 {
    RASCONNSTATUSW base;
    TunnelEndPoint localEndPoint;
    TunnelEndPoint remoteEndPoint;
    DWORD subState;
};

// Vista additions to the XP entry.
struct EntryVista {
    RASENTRYW base;
    BYTE ipv6Dns[16];
    BYTE ipv6DnsAlt[16];
    DWORD ipv4InterfaceMetric;
    DWORD ipv6InterfaceMetric;
};

struct Entry7 {
    EntryVista base;
    BYTE ipv6Address[16];
    DWORD ipv6PrefixLength;
    DWORD networkOutageTime;
};

// Windows 8 and later (10 and 11 among them).
struct Entry8 {
    Entry7 base;
    WCHAR idi[257];
    WCHAR idr[257];
    BOOL isImsConfig;
    DWORD idiType;
    DWORD idrType;
    BOOL disableIkev2Fragmentation;
};

#include <poppack.h>

// Newest first: the sizes a caller offers, one after the other.
inline constexpr DWORD kConnSizes[] = {sizeof(Conn7), sizeof(RASCONNW)};
inline constexpr DWORD kConnStatusSizes[] = {sizeof(ConnStatus7), sizeof(RASCONNSTATUSW)};
inline constexpr DWORD kEntrySizes[] = {sizeof(Entry8), sizeof(Entry7), sizeof(EntryVista),
                                        sizeof(RASENTRYW)};

}  // namespace tarnix::raslayout
