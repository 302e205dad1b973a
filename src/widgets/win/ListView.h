#pragma once
// A report-style list view: columns, rows of text cells, selection, check marks and
// virtual mode. A virtual list (LVS_OWNERDATA in its template) holds no rows: it is told
// how many there are and asks its owner for the cells it shows (LVN_GETDISPINFO), so a
// list of 200,000 rows costs nothing until a row is on screen.

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/win/Control.h"

namespace tarnix {

class ListView : public Control {
  public:
    using Control::Control;

    // Grid lines and full-row selection, the look of every list of the program.
    void useReportLook(bool checkBoxes = false) const;
    int addColumn(std::wstring_view title, int width, int format = LVCFMT_LEFT) const;
    int columnCount() const;
    int columnWidth(int column) const { return static_cast<int>(send(LVM_GETCOLUMNWIDTH, column)); }
    void setColumnWidth(int column, int width) const { send(LVM_SETCOLUMNWIDTH, column, width); }
    // What a cell or header of `text` needs, margins included, in the list's font.
    int cellWidth(std::wstring_view text) const;
    // The width the columns may share without a horizontal scroll bar, a vertical one
    // counted in (it appears once the rows pass the list's height).
    int roomForColumns() const;

    // Appends a row with its cells; returns its index, or -1.
    int addRow(const std::vector<std::wstring>& cells, LPARAM data = 0) const;
    // The row goes before row `at` (0: at the top); returns where it went, -1 on failure.
    int insertRow(int at, const std::vector<std::wstring>& cells, LPARAM data = 0) const;
    void setCell(int row, int column, std::wstring_view text) const;
    std::wstring cell(int row, int column) const;
    std::vector<std::wstring> row(int index) const;
    int rowCount() const { return static_cast<int>(send(LVM_GETITEMCOUNT)); }
    LPARAM rowData(int row) const;
    void clear() const { send(LVM_DELETEALLITEMS); }

    void select(int row, bool selected = true) const;
    void selectAll() const { select(-1); }
    bool isSelected(int row) const { return send(LVM_GETITEMSTATE, row, LVIS_SELECTED) != 0; }
    int selectedCount() const { return static_cast<int>(send(LVM_GETSELECTEDCOUNT)); }
    std::vector<int> selectedRows() const;
    void setChecked(int row, bool checked) const;
    bool isChecked(int row) const;
    void ensureVisible(int row) const { send(LVM_ENSUREVISIBLE, row, FALSE); }

    void setColours(COLORREF text, COLORREF background) const;

    // Virtual mode: the number of rows, kept where the list was scrolled.
    void setVirtualRowCount(int count) const {
        send(LVM_SETITEMCOUNT, count, LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    }
    // The owner's answer to LVN_GETDISPINFO: the text of the cell asked for.
    static void answerCell(NMHDR& header,
                           const std::function<std::wstring(int row, int column)>& cellText);
};

}  // namespace tarnix
