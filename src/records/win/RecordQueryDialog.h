#pragma once
// "上网记录查询": the finished sessions of the record files, filtered by account, year,
// month and day, with their totals under the list; rows can be deleted from their files,
// a session added by hand and the list exported to a text file.
//
// The list is virtual: it holds no rows of its own and asks the table for the cells it
// shows, so ten years of sessions are listed as fast as they are read.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Clock.h"
#include "records/UsageAllowance.h"
#include "records/RecordEditor.h"
#include "records/RecordFilter.h"
#include "records/RecordFolder.h"
#include "records/RecordTable.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/ListView.h"

namespace tarnix {

class RecordQueryDialog : public Dialog {
  public:
    // `recordFolder` is data\record beside the program.
    // `allowance`: the month's, which the usage chart marks (none: no mark).
    explicit RecordQueryDialog(std::filesystem::path recordFolder, Clock& clock = systemClock(),
                               UsageAllowance allowance = {});

    const RecordTable& table() const { return table_; }

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;
    bool onNotify(int id, NMHDR& header, LRESULT& result) override;

  private:
    ListView list() const;
    // Fills the four filter lists; returns the accounts listed.
    std::vector<std::string> fillFilters();
    void fitColumns(const std::vector<std::string>& accounts);
    RecordFilter chosenFilter() const;
    void show(RecordTable table);
    void query();
    void selectAll();
    void deleteSelected();
    void addByHand();
    void exportList();
    void showChart();
    void tell(const std::string& message, bool question = false);

    RecordFolder folder_;
    RecordEditor editor_;
    Clock& clock_;
    UsageAllowance allowance_;
    RecordTable table_;
    std::optional<RecordFilter> shownFilter_;  // of the rows listed; none before a query
};

}  // namespace tarnix
