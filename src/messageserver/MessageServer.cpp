#include "messageserver/MessageServer.h"

namespace tarnix {

MessageServer readMessageServer(const std::filesystem::path& folder, Profile& profile) {
    const auto ini = folder / "Provider.ini";
    MessageServer server;
    server.address = profile.readString(ini, "MessageServer", "Address", "");
    const int port = profile.readInt(ini, "MessageServer", "Port", kDefaultMessagePort);
    if (port > 0 && port <= 0xFFFF) server.port = static_cast<std::uint16_t>(port);
    return server;
}

}  // namespace tarnix
