// Off Windows there is no remote-access service: the ras mode dials nothing.
#include "dial/DialBackend.h"

namespace tarnix {

std::unique_ptr<DialBackend> makeRasDialBackend() {
    return makeNullDialBackend();
}

}  // namespace tarnix
