// Off Windows there is no remote-access service: the ras mode dials nothing.
#include "dial/ConnectManage.h"

namespace tarnix {

std::unique_ptr<DialBackend> makeRasDialBackend() {
    return makeNullDialBackend();
}

DialSystem systemDialing() {
    return {systemProfile(), makeRasDialBackend};
}

}  // namespace tarnix
