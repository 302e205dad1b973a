#pragma once
// The record pages' own texts, GB2312: filter entries, duration units, the summary line
// and the messages the windows show for a failed change.

#include <string_view>

namespace tarnix::record_text {

// 所有: the filter entry that matches everything
inline constexpr std::string_view kAll = "\xcb\xf9\xd3\xd0";
// 小时, 分钟, 秒
inline constexpr std::string_view kHours = "\xd0\xa1\xca\xb1";
inline constexpr std::string_view kMinutes = "\xb7\xd6\xd6\xd3";
inline constexpr std::string_view kSeconds = "\xc3\xeb";
// "总计      次数：", "      时间：", "      总流量：", "字节": six blanks in each run
inline constexpr std::string_view kSummaryCount = "\xd7\xdc\xbc\xc6      \xb4\xce\xca\xfd\xa3\xba";
inline constexpr std::string_view kSummaryTime = "      \xca\xb1\xbc\xe4\xa3\xba";
inline constexpr std::string_view kSummaryTraffic = "      \xd7\xdc\xc1\xf7\xc1\xbf\xa3\xba";
inline constexpr std::string_view kBytes = "\xd7\xd6\xbd\xda";

// 提示
inline constexpr std::string_view kCaption = "\xcc\xe1\xca\xbe";
// 请选择待删除的记录！
inline constexpr std::string_view kSelectFirst =
    "\xc7\xeb\xd1\xa1\xd4\xf1\xb4\xfd\xc9\xbe\xb3\xfd\xb5\xc4\xbc\xc7\xc2\xbc\xa3\xa1";
// 确定要删除？
inline constexpr std::string_view kConfirmDelete =
    "\xc8\xb7\xb6\xa8\xd2\xaa\xc9\xbe\xb3\xfd\xa3\xbf";

// Messages around a file name: head, name, tail (and the system's reason after some).
// 记录文件“ ... ”是只读文件，无法修改。
inline constexpr std::string_view kRecordFile = "\xbc\xc7\xc2\xbc\xce\xc4\xbc\xfe\xa1\xb0";
inline constexpr std::string_view kIsReadOnly =
    "\xa1\xb1\xca\xc7\xd6\xbb\xb6\xc1\xce\xc4\xbc\xfe\xa3\xac\xce\xde\xb7\xa8\xd0\xde\xb8\xc4\xa1"
    "\xa3";
// 记录文件“ ... ”中找不到所选的记录，它可能已被修改，请重新查询。
inline constexpr std::string_view kRecordGone =
    "\xa1\xb1\xd6\xd0\xd5\xd2\xb2\xbb\xb5\xbd\xcb\xf9\xd1\xa1\xb5\xc4\xbc\xc7\xc2\xbc\xa3\xac\xcb"
    "\xfc\xbf\xc9\xc4\xdc\xd2\xd1\xb1\xbb\xd0\xde\xb8\xc4\xa3\xac\xc7\xeb\xd6\xd8\xd0\xc2\xb2\xe9"
    "\xd1\xaf\xa1\xa3";
// 无法读取记录文件“ ... ”：reason
inline constexpr std::string_view kCannotReadRecords =
    "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xbc\xc7\xc2\xbc\xce\xc4\xbc\xfe\xa1\xb0";
// 无法保存记录文件“ ... ”：reason
inline constexpr std::string_view kCannotSaveRecords =
    "\xce\xde\xb7\xa8\xb1\xa3\xb4\xe6\xbc\xc7\xc2\xbc\xce\xc4\xbc\xfe\xa1\xb0";
// 无法移开已损坏的记录文件“ ... ”。
inline constexpr std::string_view kCannotMoveDamaged =
    "\xce\xde\xb7\xa8\xd2\xc6\xbf\xaa\xd2\xd1\xcb\xf0\xbb\xb5\xb5\xc4\xbc\xc7\xc2\xbc\xce\xc4\xbc"
    "\xfe\xa1\xb0";
// 文件“ ... ”是只读文件，无法修改。
inline constexpr std::string_view kFile = "\xce\xc4\xbc\xfe\xa1\xb0";
// 无法读取文件“ ... ”：reason
inline constexpr std::string_view kCannotReadFile =
    "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xce\xc4\xbc\xfe\xa1\xb0";
// 无法写入文件“ ... ”：reason
inline constexpr std::string_view kCannotWriteFile =
    "\xce\xde\xb7\xa8\xd0\xb4\xc8\xeb\xce\xc4\xbc\xfe\xa1\xb0";
// ”： and ”。 close a quoted name
inline constexpr std::string_view kNameThenReason = "\xa1\xb1\xa3\xba";
inline constexpr std::string_view kNameEnd = "\xa1\xb1\xa1\xa3";

// 结束时间不能早于开始时间。
inline constexpr std::string_view kEndBeforeStart =
    "\xbd\xe1\xca\xf8\xca\xb1\xbc\xe4\xb2\xbb\xc4\xdc\xd4\xe7\xd3\xda\xbf\xaa\xca\xbc\xca\xb1\xbc"
    "\xe4\xa1\xa3";
// 用户名不能为空。
inline constexpr std::string_view kNoUser =
    "\xd3\xc3\xbb\xa7\xc3\xfb\xb2\xbb\xc4\xdc\xce\xaa\xbf\xd5\xa1\xa3";
// 发送字节和接收字节只能填写数字。
inline constexpr std::string_view kBytesNotNumeric =
    "\xb7\xa2\xcb\xcd\xd7\xd6\xbd\xda\xba\xcd\xbd\xd3\xca\xd5\xd7\xd6\xbd\xda\xd6\xbb\xc4\xdc\xcc"
    "\xee\xd0\xb4\xca\xfd\xd7\xd6\xa1\xa3";

}  // namespace tarnix::record_text
