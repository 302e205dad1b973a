#include "widgets/win/ListView.h"

#include <algorithm>
#include <cwchar>

namespace tarnix {

void ListView::useReportLook(bool checkBoxes) const {
    DWORD extended = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | (checkBoxes ? LVS_EX_CHECKBOXES : 0);
    send(LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
}

int ListView::addColumn(std::wstring_view title, int width, int format) const {
    std::wstring text(title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = format;
    column.cx = width;
    column.pszText = text.data();
    return static_cast<int>(send(LVM_INSERTCOLUMNW, columnCount(), &column));
}

int ListView::cellWidth(std::wstring_view text) const {
    // The list's own margins around a cell's text, the header's a little wider.
    constexpr int kMargins = 14;
    const std::wstring copy(text);
    return static_cast<int>(send(LVM_GETSTRINGWIDTHW, 0, copy.c_str())) + kMargins;
}

int ListView::roomForColumns() const {
    RECT client{};
    GetClientRect(hwnd(), &client);
    const bool scrolling = (GetWindowLongW(hwnd(), GWL_STYLE) & WS_VSCROLL) != 0;
    return client.right - client.left - (scrolling ? 0 : GetSystemMetrics(SM_CXVSCROLL));
}

int ListView::columnCount() const {
    auto header = reinterpret_cast<HWND>(send(LVM_GETHEADER));
    return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int ListView::addRow(const std::vector<std::wstring>& cells, LPARAM data) const {
    return insertRow(rowCount(), cells, data);
}

int ListView::insertRow(int at, const std::vector<std::wstring>& cells, LPARAM data) const {
    std::wstring first = cells.empty() ? std::wstring() : cells[0];
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = at;
    item.pszText = first.data();
    item.lParam = data;
    int row = static_cast<int>(send(LVM_INSERTITEMW, 0, &item));
    if (row < 0) return -1;
    for (std::size_t column = 1; column < cells.size(); ++column)
        setCell(row, static_cast<int>(column), cells[column]);
    return row;
}

void ListView::setCell(int row, int column, std::wstring_view text) const {
    std::wstring copy(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = copy.data();
    send(LVM_SETITEMTEXTW, row, &item);
}

std::wstring ListView::cell(int row, int column) const {
    // The list copies at most the buffer's size and says how much it copied; grow until
    // the text fits.
    for (std::size_t size = 256;; size *= 4) {
        std::wstring buffer(size, L'\0');
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(size);
        auto n = static_cast<std::size_t>(send(LVM_GETITEMTEXTW, row, &item));
        if (n + 1 < size || size >= (1u << 20)) {
            buffer.resize(wcsnlen(buffer.c_str(), n));
            return buffer;
        }
    }
}

std::vector<std::wstring> ListView::row(int index) const {
    std::vector<std::wstring> cells;
    for (int column = 0, n = columnCount(); column < n; ++column)
        cells.push_back(cell(index, column));
    return cells;
}

LPARAM ListView::rowData(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return send(LVM_GETITEMW, 0, &item) ? item.lParam : 0;
}

void ListView::select(int row, bool selected) const {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    send(LVM_SETITEMSTATE, row, &item);
}

std::vector<int> ListView::selectedRows() const {
    std::vector<int> rows;
    for (int row = -1; (row = static_cast<int>(send(LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;)
        rows.push_back(row);
    return rows;
}

void ListView::setChecked(int row, bool checked) const {
    LVITEMW item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    send(LVM_SETITEMSTATE, row, &item);
}

bool ListView::isChecked(int row) const {
    return ((send(LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) - 1) == 1;
}

void ListView::setColours(COLORREF text, COLORREF background) const {
    send(LVM_SETTEXTCOLOR, 0, text);
    send(LVM_SETTEXTBKCOLOR, 0, background);
    send(LVM_SETBKCOLOR, 0, background);
}

void ListView::answerCell(NMHDR& header,
                          const std::function<std::wstring(int row, int column)>& cellText) {
    if (header.code != LVN_GETDISPINFOW) return;
    auto& info = reinterpret_cast<NMLVDISPINFOW&>(header);
    LVITEMW& item = info.item;
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    std::wstring text = cellText(item.iItem, item.iSubItem);
    std::size_t n = std::min(text.size(), static_cast<std::size_t>(item.cchTextMax - 1));
    text.copy(item.pszText, n);
    item.pszText[n] = L'\0';
}

}  // namespace tarnix
