#pragma once
// The four lists of the fault check's details view, in tab order: titles, columns and
// widths in pixels (all columns left-aligned), and the colours the lists are drawn in.

#include <array>
#include <cstdint>

#include "TextIds.h"

namespace tarnix {

enum class DetailList { Drivers, Devices, Interfaces, Pppoe };

struct DetailColumn {
    unsigned title;  // text id
    int width = 0;
};

struct DetailListLayout {
    DetailList list;
    unsigned tabTitle;  // text id
    std::array<DetailColumn, 4> columns;
    int columnCount = 0;
};

inline constexpr std::array<DetailListLayout, 4> kDetailLists = {{
    // "网卡驱动程序": "序号" (the 1-based row number), "驱动描述"
    {DetailList::Drivers,
     IDS_DETAIL_DRIVERS,
     {{{IDS_DETAIL_NUMBER, 58}, {IDS_DETAIL_DRIVER_DESCRIPTION, 530}}},
     2},
    // "网卡设备": "序号", "设备状态", "网线状态", "网卡设备描述"
    {DetailList::Devices,
     IDS_DETAIL_DEVICES,
     {{{IDS_DETAIL_NUMBER, 40},
       {IDS_DETAIL_DEVICE_STATE, 60},
       {IDS_DETAIL_CABLE_STATE, 70},
       {IDS_DETAIL_DEVICE_DESCRIPTION, 600}}},
     4},
    // "网卡接口": "序号", "IP地址", "MAC地址", "描述"
    {DetailList::Interfaces,
     IDS_DETAIL_INTERFACES,
     {{{IDS_DETAIL_NUMBER, 40},
       {IDS_DETAIL_ADDRESS, 100},
       {IDS_DETAIL_MAC, 120},
       {IDS_DETAIL_DESCRIPTION, 600}}},
     4},
    // "虚拟PPPOE网卡": "序号", "PPPOE虚拟网卡描述"
    {DetailList::Pppoe,
     IDS_DETAIL_PPPOE,
     {{{IDS_DETAIL_NUMBER, 58}, {IDS_DETAIL_PPPOE_DESCRIPTION, 530}}},
     2},
}};

// Black text on a pale blue, for the list and the text behind each item alike.
struct ListColours {
    std::uint8_t red, green, blue;
};
inline constexpr ListColours kDetailListText = {0, 0, 0};
inline constexpr ListColours kDetailListBackground = {212, 243, 255};

}  // namespace tarnix
