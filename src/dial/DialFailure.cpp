#include "dial/DialFailure.h"

#include "TextIds.h"
#include "base/Texts.h"

namespace tarnix {
namespace {

struct Cause {
    unsigned text;  // 0: no words of its own
    bool subscribersSide;  // the device, the cable, the machine's own settings
};

Cause causeOf(int error) {
    switch (error) {
        case kDialErrorAuthentication:
            return {IDS_DIAL_CAUSE_AUTHENTICATION, false};
        case kDialErrorNoAnswer:
        case 815:  // newer Windows' 678 for a broadband entry
        case 651:  // the device reported an error: no PPPoE server answered on the line
            return {IDS_DIAL_CAUSE_NO_ANSWER, false};
        case 676:
            return {IDS_DIAL_CAUSE_LINE_BUSY, false};
        case 633:  // the device is in use or not configured
            return {IDS_DIAL_CAUSE_DEVICE, true};
        case 623:  // the entry is not in the phonebook
            return {IDS_DIAL_CAUSE_ENTRY, true};
        case 720:  // no control protocol came up: the server gave no address
            return {IDS_DIAL_CAUSE_NO_ADDRESS, false};
        case 769:  // the destination is not reachable: no adapter or cable to it
            return {IDS_DIAL_CAUSE_UNREACHABLE, true};
        case 668:
            return {IDS_DIAL_CAUSE_DISCONNECTED, true};
        default:
            return {0, false};
    }
}

}  // namespace

std::wstring dialFailureText(int error) {
    if (error == 0) return {};
    if (error == kDialErrorNoDevice || error == 609) {
        // The program found no device itself: no number the subscriber could look up.
        return text(IDS_DIAL_NO_DEVICE) + text(IDS_DIAL_FAULT_CHECK_HINT);
    }
    const std::wstring number = std::to_wstring(error);
    const Cause cause = causeOf(error);
    if (cause.text == 0) return text(IDS_DIAL_FAILED_CODE) + number;
    std::wstring why =
        text(IDS_DIAL_ERROR) + number + text(IDS_DIAL_ERROR_CAUSE) + text(cause.text);
    if (cause.subscribersSide) why += text(IDS_DIAL_FAULT_CHECK_HINT);
    return why;
}

}  // namespace tarnix
