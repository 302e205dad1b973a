#pragma once
// A dialog or page with link labels (SysLink controls) that open the provider's addresses:
// a click on a link, or Enter on a focused one, hands the address kept for that control to
// shellOpen(). Pages of the main window may ask for a light background that matches the
// login page.

#include <windows.h>

#include <string>
#include <vector>

#include "widgets/win/Dialog.h"

namespace tarnix {

class LinkDialog : public Dialog {
  public:
    struct Link {
        int controlId;
        std::string address;  // ASCII
    };
    enum class Background { System, Light };

  protected:
    LinkDialog(int templateId, std::vector<Link> links, Background background);

    // Subclasses that handle these themselves pass the rest on to this one.
    bool onNotify(int id, NMHDR& header, LRESULT& result) override;
    HBRUSH onControlColour(HDC dc, HWND control, UINT msg) override;
    // Makes the whole text of link control `id` one link that reads `asciiText`.
    void setLinkText(int id, const std::string& asciiText);

  private:
    bool openLinkOf(int controlId);

    std::vector<Link> links_;
    Background background_;
};

}  // namespace tarnix
