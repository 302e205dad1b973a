#pragma once
// One page of the fault check's details view: a list of one kind of finding, pale blue,
// its columns as the kind has them. The page fills whatever room its tab gives it.

#include <vector>

#include "diagnostics/DetailLists.h"
#include "diagnostics/FaultCheck.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/ListView.h"

namespace tarnix {

class DetailListPage : public Dialog {
  public:
    explicit DetailListPage(const DetailListLayout& layout);

    ListView list() const;
    // Replaces the rows; with `selectFirst` the first row is selected.
    void show(const std::vector<DetailRow>& rows, bool selectFirst = false);

  protected:
    BOOL onInitDialog() override;
    void onSize(UINT type, int width, int height) override;

  private:
    const DetailListLayout& layout_;
};

}  // namespace tarnix
