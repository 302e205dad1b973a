#pragma once
// The datagrams exchanged with the provider's message server, kept apart from the
// socket so their bytes and the handling of whatever arrives can be checked alone.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarnix {

// Types are the first four bytes of a datagram, little-endian.
inline constexpr std::uint32_t kOnlineType = 1;
inline constexpr std::uint32_t kOfflineType = 2;
inline constexpr std::uint32_t kKeepAliveType = 10;
inline constexpr std::uint32_t kServerTrashType = 103;

inline constexpr std::size_t kStatusDatagramSize = 44;
inline constexpr std::size_t kNameOffset = 4;
inline constexpr std::size_t kNameFieldSize = 20;
// The most the receiving loop reads of one datagram; the rest of a longer one is lost.
inline constexpr std::size_t kReceiveBufferSize = 1352;

inline constexpr std::string_view kRecvErrorLine = "recv error\n";
inline constexpr std::string_view kServerTrashLine = "Recv p2ptrash data\n";

using StatusDatagram = std::array<unsigned char, kStatusDatagramSize>;

// Type, then the account's GB2312 name in a 20-byte field (zero-padded; a name that
// fills the field has no terminator, a longer one is cut), then 20 reserved zero bytes.
StatusDatagram buildStatusDatagram(std::uint32_t type, std::string_view accountName);
// Type 10 with the single byte 'A' where a status datagram has the name.
StatusDatagram buildKeepAliveDatagram();

// The type word of a datagram of at least four bytes.
std::uint32_t datagramType(const unsigned char* bytes);

// The line the receiving loop prints for one read, or an empty view for none.
// `received` is the read's result: a byte count, 0 for an empty datagram, negative for a
// failed read; `bytes` holds at least that many bytes and is not read beyond them.
std::string_view lineForReceived(const unsigned char* bytes, long received);

}  // namespace tarnix
