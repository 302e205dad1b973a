#include "diagnostics/LocalAddress.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include "base/SocketResolve.h"

namespace tarnix {

std::string localHostAddress() {
    return hostAddressByName();
}

}  // namespace tarnix
