#pragma once
// "网络连通后自动启动程序(网页)列表": the editor of the programs and web pages opened once
// the link is up. Every change is saved at once by the list; "确定" and "取消" close.

#include <filesystem>

#include "shortcuts/OpenSoftList.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class OpenSoftDialog : public Dialog {
  public:
    explicit OpenSoftDialog(const std::filesystem::path& programFolder);

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

  private:
    void fillList();
    void addProgram();
    void addWebPage();
    void removeSelected();
    // `added`: the entry a successful add appended.
    void report(OpenSoftList::Change change, const OpenSoftEntry* added = nullptr);
    const OpenSoftEntry* lastEntry() const;

    OpenSoftList list_;
};

}  // namespace tarnix
