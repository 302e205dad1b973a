#include "app/win/RemoteCommandPort.h"

namespace tarnix {

LRESULT RemoteCommandPort::onCopyData(HWND self, WPARAM from, LPARAM data) {
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(data);
    HWND requester = reinterpret_cast<HWND>(from);
    if (!copy || !requester || !IsWindow(requester)) return FALSE;
    const auto verb = readRemoteRequest(copy->dwData, copy->lpData, copy->cbData);
    if (!verb) return FALSE;

    const bool asksForDial = *verb == RemoteVerb::Connect && link_.state() == RemoteLinkState::Down;
    switch (link_.take(*verb, asksForDial && window_.canDial())) {
        case RemoteLink::Action::Connect:
            window_.connect();
            break;
        case RemoteLink::Action::Disconnect:
            window_.disconnect();
            break;
        case RemoteLink::Action::None:
            break;
    }
    const bool up = link_.state() == RemoteLinkState::Up;
    RemoteReply reply = makeRemoteReply(link_.state(), link_.outcome(), up ? window_.account() : "",
                                        up ? window_.address() : "", up ? window_.secondsUp() : 0);
    COPYDATASTRUCT answer{kRemoteReplyTag, sizeof reply, &reply};
    // The requester waits in its own send, where it takes this one; a requester that hangs
    // meanwhile does not hold the client.
    DWORD_PTR taken = 0;
    SendMessageTimeoutW(requester, WM_COPYDATA, reinterpret_cast<WPARAM>(self),
                        reinterpret_cast<LPARAM>(&answer), SMTO_ABORTIFHUNG, 2000, &taken);
    return TRUE;
}

}  // namespace tarnix
