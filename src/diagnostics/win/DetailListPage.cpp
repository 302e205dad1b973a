#include "diagnostics/win/DetailListPage.h"

#include "base/CodePage.h"
#include "base/Texts.h"
#include "diagnostics_ids.h"

namespace tarnix {

DetailListPage::DetailListPage(const DetailListLayout& layout)
    : Dialog(IDD_FAULT_LIST_PAGE), layout_(layout) {}

ListView DetailListPage::list() const {
    return ListView(hwnd(), IDC_FAULT_LIST);
}

BOOL DetailListPage::onInitDialog() {
    ListView view = list();
    view.useReportLook();
    for (int i = 0; i < layout_.columnCount; ++i) {
        const DetailColumn& column = layout_.columns[static_cast<std::size_t>(i)];
        view.addColumn(text(column.title), column.width);
    }
    auto rgb = [](ListColours c) { return RGB(c.red, c.green, c.blue); };
    view.setColours(rgb(kDetailListText), rgb(kDetailListBackground));
    return TRUE;
}

void DetailListPage::onSize(UINT, int width, int height) {
    MoveWindow(list().hwnd(), 0, 0, width, height, TRUE);
}

void DetailListPage::show(const std::vector<DetailRow>& rows, bool selectFirst) {
    ListView view = list();
    // Hundreds of rows are drawn once, not once a row.
    SendMessageW(view.hwnd(), WM_SETREDRAW, FALSE, 0);
    view.clear();
    std::vector<std::wstring> cells;
    for (const DetailRow& row : rows) {
        cells.clear();
        for (const std::string& cell : row) cells.push_back(gbToWide(cell));
        view.addRow(cells);
    }
    if (selectFirst && !rows.empty()) view.select(0);
    SendMessageW(view.hwnd(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view.hwnd(), nullptr, TRUE);
}

}  // namespace tarnix
