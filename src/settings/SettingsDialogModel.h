#pragma once
// SettingsDialogModel: the settings dialog's rules apart from its window. Its pages, in
// tab order and in the order they are saved; the dirty flag that any page's change sets
// and that enables "应用"; and what "应用" and "确定" do.
//
// A page's save may refuse what the user entered (with its message). Then the other pages
// are still saved, the dirty flag stays set and "确定" leaves the dialog open, so the entry
// can be corrected instead of being lost with the dialog.

#include <array>
#include <cstdint>
#include "TextIds.h"

namespace tarnix {

// A page as the dialog saves it.
class SettingsPage {
  public:
    virtual ~SettingsPage() = default;
    // Stores the page's controls; false when something was refused (and told over
    // `owner`).
    virtual bool save(void* owner) = 0;
};

enum class SettingsPageId { RunOptions, Update, Shutdown, Proxy, Schedule };

class SettingsDialogModel {
  public:
    // The message a page sends its dialog when one of its controls changes; wParam 1 sets
    // the dirty flag, any other value clears it.
    static constexpr unsigned kChangedMessage = 0x7F1;

    struct Tab {
        SettingsPageId id;
        unsigned title;  // text id
    };
    // "运行设置", "升级设置", "关机设置", "代理设置", "定时与用量"
    static constexpr std::array<Tab, 5> kTabs = {{
        {SettingsPageId::RunOptions, IDS_SETTINGS_TAB_RUN},
        {SettingsPageId::Update, IDS_SETTINGS_TAB_UPDATE},
        {SettingsPageId::Shutdown, IDS_SETTINGS_TAB_SHUTDOWN},
        {SettingsPageId::Proxy, IDS_SETTINGS_TAB_PROXY},
        {SettingsPageId::Schedule, IDS_SETTINGS_TAB_SCHEDULE},
    }};
    // The proxy page saves last: its refusal comes after the others are stored.
    static constexpr std::array<SettingsPageId, 5> kSaveOrder = {
        SettingsPageId::Shutdown, SettingsPageId::Update, SettingsPageId::RunOptions,
        SettingsPageId::Schedule, SettingsPageId::Proxy};

    // Gives the page that stands for `id`; a page never attached is skipped.
    void attach(SettingsPageId id, SettingsPage& page);

    // The change message's wParam.
    void changed(std::uintptr_t wParam) { dirty_ = wParam == 1; }
    bool dirty() const { return dirty_; }
    // "应用" is enabled while there is something to save.
    bool applyEnabled() const { return dirty_; }

    // "应用": saves every page in order; true when none refused (the flag is cleared).
    bool apply(void* owner = nullptr);
    // "确定": saves when something changed; true when the dialog may close.
    bool ok(void* owner = nullptr);

  private:
    std::array<SettingsPage*, 5> pages_{};  // by SettingsPageId
    bool dirty_ = false;
};

}  // namespace tarnix
