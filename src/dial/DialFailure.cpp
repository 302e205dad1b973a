#include "dial/DialFailure.h"

#include <string_view>

namespace tarnix {
namespace {

// "错误", "："
constexpr std::string_view kError = "\xb4\xed\xce\xf3";
constexpr std::string_view kColon = "\xa3\xba";
// "拨号失败，错误代码", for an error without words of its own.
constexpr std::string_view kOther =
    "\xb2\xa6\xba\xc5\xca\xa7\xb0\xdc\xa3\xac\xb4\xed\xce\xf3\xb4\xfa\xc2\xeb";
// "，可用工具→故障检测": the fault check in the 工具 menu looks at the adapters, the cable
// and the PPPoE device, where the causes on the subscriber's side lie.
constexpr std::string_view kFaultCheckHint =
    "\xa3\xac\xbf\xc9\xd3\xc3\xb9\xa4\xbe\xdf\xa1\xfa\xb9\xca\xd5\xcf\xbc\xec\xb2\xe2";

struct Cause {
    std::string_view text;
    bool subscribersSide;  // the device, the cable, the machine's own settings
};

// The status line holds about 41 bytes of GB2312: every text stays within that.
Cause causeOf(int error) {
    switch (error) {
        case kDialErrorAuthentication:
            // 用户名或密码错误，请重新输入
            return {
                "\xd3\xc3\xbb\xa7\xc3\xfb\xbb\xf2\xc3\xdc\xc2\xeb\xb4\xed\xce\xf3\xa3\xac\xc7"
                "\xeb\xd6\xd8\xd0\xc2\xca\xe4\xc8\xeb",
                false};
        case kDialErrorNoAnswer:
        case 815:  // newer Windows' 678 for a broadband entry
        case 651:  // the device reported an error: no PPPoE server answered on the line
            // 宽带服务器无响应，请稍后重拨
            return {
                "\xbf\xed\xb4\xf8\xb7\xfe\xce\xf1\xc6\xf7\xce\xde\xcf\xec\xd3\xa6\xa3\xac\xc7"
                "\xeb\xc9\xd4\xba\xf3\xd6\xd8\xb2\xa6",
                false};
        case 676:
            // 线路忙，请稍后重拨
            return {"\xcf\xdf\xc2\xb7\xc3\xa6\xa3\xac\xc7\xeb\xc9\xd4\xba\xf3\xd6\xd8\xb2\xa6",
                    false};
        case 633:  // the device is in use or not configured
            // 拨号设备异常
            return {"\xb2\xa6\xba\xc5\xc9\xe8\xb1\xb8\xd2\xec\xb3\xa3", true};
        case 623:  // the entry is not in the phonebook
            // 拨号连接异常
            return {"\xb2\xa6\xba\xc5\xc1\xac\xbd\xd3\xd2\xec\xb3\xa3", true};
        case 720:  // no control protocol came up: the server gave no address
            // 未能获得IP地址，请稍后重拨
            return {
                "\xce\xb4\xc4\xdc\xbb\xf1\xb5\xc3IP\xb5\xd8\xd6\xb7\xa3\xac\xc7\xeb\xc9\xd4"
                "\xba\xf3\xd6\xd8\xb2\xa6",
                false};
        case 769:  // the destination is not reachable: no adapter or cable to it
            // 网络不通
            return {"\xcd\xf8\xc2\xe7\xb2\xbb\xcd\xa8", true};
        case 668:
            // 连接已断开
            return {"\xc1\xac\xbd\xd3\xd2\xd1\xb6\xcf\xbf\xaa", true};
        default:
            return {{}, false};
    }
}

}  // namespace

std::string dialFailureText(int error) {
    if (error == 0) return {};
    if (error == kDialErrorNoDevice || error == 609) {
        // The program found no device itself: no number the subscriber could look up.
        // 未找到宽带拨号设备
        return "\xce\xb4\xd5\xd2\xb5\xbd\xbf\xed\xb4\xf8\xb2\xa6\xba\xc5\xc9\xe8\xb1\xb8" +
               std::string(kFaultCheckHint);
    }
    const std::string number = std::to_string(error);
    const Cause cause = causeOf(error);
    if (cause.text.empty()) return std::string(kOther) + number;
    std::string text = std::string(kError) + number + std::string(kColon) + std::string(cause.text);
    if (cause.subscribersSide) text += kFaultCheckHint;
    return text;
}

}  // namespace tarnix
