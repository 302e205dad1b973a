#pragma once
// The message windows' own texts, GB2312.

#include <string_view>

namespace tarnix::message_text {

// 所有消息, 系统消息: the entries of the type filter; the second is also the type the
// provider gives its notices
inline constexpr std::string_view kAllMessages = "\xcb\xf9\xd3\xd0\xcf\xfb\xcf\xa2";
inline constexpr std::string_view kSystemMessage = "\xcf\xb5\xcd\xb3\xcf\xfb\xcf\xa2";
// "发送日期:\t\t发送时间：\t\t消息标题：": the header line before any message is clicked
inline constexpr std::string_view kHeaderInitial =
    "\xb7\xa2\xcb\xcd\xc8\xd5\xc6\xda:\t\t\xb7\xa2\xcb\xcd\xca\xb1\xbc\xe4\xa3\xba\t\t"
    "\xcf\xfb\xcf\xa2\xb1\xea\xcc\xe2\xa3\xba";
// "发送日期：", "\t发送时间：", "\t消息标题：": the header line of a clicked message
inline constexpr std::string_view kHeaderDate = "\xb7\xa2\xcb\xcd\xc8\xd5\xc6\xda\xa3\xba";
inline constexpr std::string_view kHeaderTime = "\t\xb7\xa2\xcb\xcd\xca\xb1\xbc\xe4\xa3\xba";
inline constexpr std::string_view kHeaderTitle = "\t\xcf\xfb\xcf\xa2\xb1\xea\xcc\xe2\xa3\xba";
// 提示
inline constexpr std::string_view kCaption = "\xcc\xe1\xca\xbe";
// 请选择待删除的记录！
inline constexpr std::string_view kSelectFirst =
    "\xc7\xeb\xd1\xa1\xd4\xf1\xb4\xfd\xc9\xbe\xb3\xfd\xb5\xc4\xbc\xc7\xc2\xbc\xa3\xa1";
// 确定要删除？
inline constexpr std::string_view kConfirmDelete = "\xc8\xb7\xb6\xa8\xd2\xaa\xc9\xbe\xb3\xfd\xa3\xbf";
// 文本文件(*.txt)|*.txt and 保存用户记录文件: the export's save dialog
inline constexpr std::string_view kExportFilter = "\xce\xc4\xb1\xbe\xce\xc4\xbc\xfe(*.txt)|*.txt";
inline constexpr std::string_view kExportTitle =
    "\xb1\xa3\xb4\xe6\xd3\xc3\xbb\xa7\xbc\xc7\xc2\xbc\xce\xc4\xbc\xfe";

}  // namespace tarnix::message_text
