#pragma once
// The four lists of the fault check's details view, in tab order: titles, columns and
// widths in pixels (all columns left-aligned), and the colours the lists are drawn in.

#include <array>
#include <cstdint>
#include <string_view>

namespace tarnix {

enum class DetailList { Drivers, Devices, Interfaces, Pppoe };

struct DetailColumn {
    std::string_view title;  // GB2312
    int width = 0;
};

struct DetailListLayout {
    DetailList list;
    std::string_view tabTitle;  // GB2312
    std::array<DetailColumn, 4> columns;
    int columnCount = 0;
};

// "序号", the 1-based row number.
inline constexpr std::string_view kDetailNumberColumn = "\xd0\xf2\xba\xc5";

inline constexpr std::array<DetailListLayout, 4> kDetailLists = {{
    // "网卡驱动程序": "驱动描述"
    {DetailList::Drivers,
     "\xcd\xf8\xbf\xa8\xc7\xfd\xb6\xaf\xb3\xcc\xd0\xf2",
     {{{kDetailNumberColumn, 58}, {"\xc7\xfd\xb6\xaf\xc3\xe8\xca\xf6", 530}}},
     2},
    // "网卡设备": "设备状态", "网线状态", "网卡设备描述"
    {DetailList::Devices,
     "\xcd\xf8\xbf\xa8\xc9\xe8\xb1\xb8",
     {{{kDetailNumberColumn, 40},
       {"\xc9\xe8\xb1\xb8\xd7\xb4\xcc\xac", 60},
       {"\xcd\xf8\xcf\xdf\xd7\xb4\xcc\xac", 70},
       {"\xcd\xf8\xbf\xa8\xc9\xe8\xb1\xb8\xc3\xe8\xca\xf6", 600}}},
     4},
    // "网卡接口": "IP地址", "MAC地址", "描述"
    {DetailList::Interfaces,
     "\xcd\xf8\xbf\xa8\xbd\xd3\xbf\xda",
     {{{kDetailNumberColumn, 40},
       {"IP\xb5\xd8\xd6\xb7", 100},
       {"MAC\xb5\xd8\xd6\xb7", 120},
       {"\xc3\xe8\xca\xf6", 600}}},
     4},
    // "虚拟PPPOE网卡": "PPPOE虚拟网卡描述"
    {DetailList::Pppoe,
     "\xd0\xe9\xc4\xe2PPPOE\xcd\xf8\xbf\xa8",
     {{{kDetailNumberColumn, 58}, {"PPPOE\xd0\xe9\xc4\xe2\xcd\xf8\xbf\xa8\xc3\xe8\xca\xf6", 530}}},
     2},
}};

// Black text on a pale blue, for the list and the text behind each item alike.
struct ListColours {
    std::uint8_t red, green, blue;
};
inline constexpr ListColours kDetailListText = {0, 0, 0};
inline constexpr ListColours kDetailListBackground = {212, 243, 255};

}  // namespace tarnix
