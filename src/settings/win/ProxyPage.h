#pragma once
// "代理设置": the web proxy of the client's dial entry. The rules are ProxyForm's; the page
// shows the entry's own per-connection setting.

#include "settings/ProxyForm.h"
#include "settings/SettingsDialogModel.h"
#include "widgets/win/Dialog.h"

namespace tarnix {

class ProxyPage : public Dialog, public SettingsPage {
  public:
    explicit ProxyPage(ConnectionProxy& proxy);

    bool save(void* owner) override;

  protected:
    BOOL onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

  private:
    void show(const ProxyFields& fields);
    ProxyFields read() const;

    ProxyForm form_;
    bool filling_ = false;
};

}  // namespace tarnix
