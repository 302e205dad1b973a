// Image buttons on the login page, for both of its buttons (a default push button and an
// owner-drawn one): the look under the mouse, clicks reaching the page, painting with
// transparent corners and a white caption, and painting without bitmaps.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <vector>

#include "../support/Accessibility.h"
#include "../support/PixelSnapshot.h"
#include "resource.h"
#include "widgets/win/Dialog.h"
#include "widgets/win/ImageButton.h"

using namespace tarnix;
using Look = ImageButton::Look;
using tarnix::testing::Snapshot;
using tarnix::testing::snapshot;

namespace {

constexpr COLORREF kPageColour = RGB(0, 128, 0);  // no face or caption uses it
constexpr COLORREF kMagenta = RGB(255, 0, 255);

struct Faces {
    int normal, hover, pressed, disabled;
};
Faces facesOf(int id) {
    if (id == IDC_CONNECT)
        return {IDB_CONNECT_NORMAL, IDB_CONNECT_HOT, IDB_CONNECT_HOT, IDB_CONNECT_DISABLED};
    return {IDB_DISCONNECT_NORMAL, IDB_DISCONNECT_HOT, IDB_DISCONNECT_HOT, IDB_DISCONNECT_DISABLED};
}

// The login page on a plain green background, noting what reaches it from its buttons.
class PlainLoginPage : public Dialog {
  public:
    PlainLoginPage() : Dialog(IDD_LOGIN) {}

    ImageButton connect, disconnect;
    std::vector<std::pair<int, int>> commands;  // id, notification code
    int drawItems = 0;
    std::function<void(int id)> onClick;

    ImageButton& widget(int id) { return id == IDC_CONNECT ? connect : disconnect; }

  protected:
    BOOL onInitDialog() override {
        for (int id : {IDC_CONNECT, IDC_DISCONNECT}) {
            Faces f = facesOf(id);
            widget(id).attach(item(id), f.normal, f.hover, f.pressed, f.disabled);
        }
        return TRUE;
    }
    bool onCommand(int id, int code, HWND) override {
        commands.emplace_back(id, code);
        if (code == BN_CLICKED && onClick) onClick(id);
        return true;
    }
    bool onMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        if (msg == WM_DRAWITEM) ++drawItems;
        if (msg != WM_CTLCOLORDLG) return false;
        result = reinterpret_cast<LRESULT>(brush_.get());
        return true;
    }

  private:
    ScopedBrush brush_{CreateSolidBrush(kPageColour)};
};

bool whitish(COLORREF c) {
    return GetRValue(c) >= 230 && GetGValue(c) >= 230 && GetBValue(c) >= 230;
}
bool bluish(COLORREF c) {
    return GetBValue(c) > GetRValue(c) + 40 && GetBValue(c) > GetGValue(c);
}
bool greyish(COLORREF c) {
    return std::abs(GetBValue(c) - GetRValue(c)) < 30 && std::abs(GetGValue(c) - GetRValue(c)) < 30;
}

class ImageButtonTest : public ::testing::TestWithParam<int> {
  protected:
    // One host window for the suite: under a display without a window manager, destroying
    // a visible top-level window waits seconds for it to be withdrawn.
    static void SetUpTestSuite() {
        host_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 20, 20, 260, 560, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(host_);
        SetCursorPos(1900, 1000);  // out of the way of later tests' windows
    }

    void SetUp() override {
        // Away from the window: only the messages a test sends reach the buttons.
        SetCursorPos(1900, 1000);
        ASSERT_NE(host_, nullptr);
        ASSERT_NE(page.create(host_), nullptr);
        ShowWindow(page.hwnd(), SW_SHOW);
        UpdateWindow(host_);
        pump();
    }
    void TearDown() override {
        pump();
        DestroyWindow(page.hwnd());
    }

    static void pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    // Handles messages until `done` or a few seconds have passed.
    static void pumpUntil(const std::function<bool()>& done) {
        for (DWORD start = GetTickCount(); !done() && GetTickCount() - start < 3000;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            pump();
        }
    }
    HWND button() const { return page.item(GetParam()); }
    ImageButton& widget() { return page.widget(GetParam()); }
    void send(UINT msg, int x, int y, WPARAM keys = 0) {
        SendMessageW(button(), msg, keys, MAKELPARAM(x, y));
    }
    int clicks() const {
        int n = 0;
        for (auto [id, code] : page.commands) n += id == GetParam() && code == BN_CLICKED;
        return n;
    }

    static inline HWND host_ = nullptr;
    PlainLoginPage page;
};

TEST_P(ImageButtonTest, LookFollowsTheMouseAndClicksStillReachThePage) {
    EXPECT_EQ(widget().look(), Look::Normal);
    send(WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(widget().look(), Look::Hover);
    send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_EQ(widget().look(), Look::Pressed);
    send(WM_MOUSEMOVE, -20, -20, MK_LBUTTON);  // dragged off while held
    EXPECT_EQ(widget().look(), Look::Normal);
    send(WM_MOUSEMOVE, 6, 6, MK_LBUTTON);  // and back
    EXPECT_EQ(widget().look(), Look::Pressed);
    send(WM_LBUTTONUP, 6, 6);
    EXPECT_EQ(widget().look(), Look::Hover);
    EXPECT_EQ(clicks(), 1);
    SendMessageW(button(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(widget().look(), Look::Normal);

    // Pressed, then the mouse leaves and is let go elsewhere: no click, back to normal.
    send(WM_MOUSEMOVE, 5, 5);
    send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    SendMessageW(button(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(widget().look(), Look::Normal);
    send(WM_LBUTTONUP, -30, -30);
    EXPECT_EQ(widget().look(), Look::Normal);
    EXPECT_EQ(clicks(), 1);

    // The keyboard's press (space bar) pushes the button through its own state.
    SendMessageW(button(), BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(widget().look(), Look::Pressed);
    SendMessageW(button(), BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(widget().look(), Look::Normal);
    SendMessageW(button(), BM_CLICK, 0, 0);
    EXPECT_EQ(clicks(), 2);
}

TEST_P(ImageButtonTest, RealMouseOverAndAwayFromTheButton) {
    // The real cursor, not sent messages: the leave notice comes only if it was asked for.
    RECT onScreen;
    GetWindowRect(button(), &onScreen);
    auto look = [this](Look wanted) {
        return [this, wanted] { return widget().look() == wanted; };
    };
    for (int round = 0; round < 2; ++round) {  // asked again after each leave
        SetCursorPos((onScreen.left + onScreen.right) / 2, (onScreen.top + onScreen.bottom) / 2);
        pumpUntil(look(Look::Hover));
        EXPECT_EQ(widget().look(), Look::Hover) << "round " << round;
        SetCursorPos(onScreen.left + 5, onScreen.bottom + 40);  // onto the page below
        pumpUntil(look(Look::Normal));
        EXPECT_EQ(widget().look(), Look::Normal) << "round " << round;
    }
}

TEST_P(ImageButtonTest, DisabledShowsDisabledWhateverTheMouseDoes) {
    send(WM_MOUSEMOVE, 5, 5);
    EnableWindow(button(), FALSE);
    EXPECT_EQ(widget().look(), Look::Disabled);
    send(WM_MOUSEMOVE, 5, 5);
    EXPECT_EQ(widget().look(), Look::Disabled);
    send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    EXPECT_EQ(widget().look(), Look::Disabled);
    send(WM_LBUTTONUP, 5, 5);
    SendMessageW(button(), BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(widget().look(), Look::Disabled);
    SendMessageW(button(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(widget().look(), Look::Disabled);
    Snapshot shot = snapshot(button());
    EXPECT_TRUE(greyish(shot.at(shot.width / 2, 3)));

    // Enabled again, with no mouse news since, it is at rest rather than stuck as it was.
    SendMessageW(button(), BM_SETSTATE, FALSE, 0);
    EnableWindow(button(), TRUE);
    EXPECT_EQ(widget().look(), Look::Normal);
}

TEST_P(ImageButtonTest, PageMayDisableOrDestroyTheButtonInItsClickHandler) {
    page.onClick = [this](int) { EnableWindow(button(), FALSE); };
    send(WM_MOUSEMOVE, 5, 5);
    send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    send(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(clicks(), 1);
    EXPECT_EQ(widget().look(), Look::Disabled);

    EnableWindow(button(), TRUE);
    page.onClick = [this](int) { DestroyWindow(button()); };
    send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    send(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(clicks(), 2);
    EXPECT_EQ(widget().hwnd(), nullptr) << "a destroyed button lets go of the widget";
    EXPECT_EQ(widget().look(), Look::Normal);
}

TEST_P(ImageButtonTest, PaintsTheFaceOverThePageWithAWhiteCentredCaption) {
    Snapshot shot = snapshot(button());
    ASSERT_GT(shot.width, 40);
    ASSERT_GT(shot.height, 16);
    EXPECT_EQ(shot.count([](COLORREF c) { return c == kMagenta; }), 0);
    for (auto [x, y] : {std::pair{0, 0},
                        {shot.width - 1, 0},
                        {0, shot.height - 1},
                        {shot.width - 1, shot.height - 1}})
        EXPECT_EQ(shot.at(x, y), kPageColour) << "the page shows in the corner " << x << "," << y;
    const COLORREF normal = shot.at(shot.width / 2, 3);
    EXPECT_TRUE(bluish(normal)) << std::hex << normal;

    // The caption: white, about the middle of the button.
    int left = shot.width, right = -1, top = shot.height, bottom = -1;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (whitish(shot.at(x, y))) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    ASSERT_GE(right, 0) << "no white caption";
    EXPECT_GT(shot.count(whitish), 15);
    EXPECT_NEAR((left + right) / 2.0, shot.width / 2.0, 3);
    EXPECT_NEAR((top + bottom) / 2.0, shot.height / 2.0, 3);

    send(WM_MOUSEMOVE, 5, 5);
    const COLORREF hover = snapshot(button()).at(shot.width / 2, 3);
    EXPECT_TRUE(bluish(hover));
    EXPECT_NE(hover, normal) << "the mouse-over face is another bitmap";

    // On the screen too, and an owner-drawn button does not ask the page to draw it.
    InvalidateRect(button(), nullptr, TRUE);
    UpdateWindow(button());
    EXPECT_EQ(page.drawItems, 0);
    HDC dc = GetDC(button());
    EXPECT_EQ(GetPixel(dc, 0, 0), kPageColour);
    EXPECT_EQ(GetPixel(dc, shot.width / 2, 3), hover);
    ReleaseDC(button(), dc);
}

// A keyboard user sees which button Space would press: a focus rectangle inside the face.
// (Wine keeps no focus-cue state, so the hidden cues of Windows cannot be shown here.)
TEST_P(ImageButtonTest, TheFocusedButtonShowsAFocusRectangle) {
    const Snapshot plain = snapshot(button());
    SetFocus(button());
    ASSERT_EQ(GetFocus(), button());
    const Snapshot focused = snapshot(button());
    int changed = 0, outside = 0;
    for (int y = 0; y < plain.height; ++y)
        for (int x = 0; x < plain.width; ++x) {
            if (plain.at(x, y) == focused.at(x, y)) continue;
            ++changed;
            const bool onRing = (x == 3 || x == plain.width - 4 || y == 3 || y == plain.height - 4);
            if (!onRing) ++outside;
        }
    EXPECT_GT(changed, plain.width) << "a dotted rectangle round the face";
    EXPECT_EQ(outside, 0) << "only the rectangle changes";
    SetFocus(nullptr);
    EXPECT_EQ(snapshot(button()).pixels, plain.pixels) << "and goes with the focus";
}

TEST_P(ImageButtonTest, MissingBitmapsGiveAPlainFaceWithTheCaption) {
    widget().attach(button(), 9999, 0, -1, 70000);
    for (Look look : {Look::Normal, Look::Hover, Look::Pressed, Look::Disabled}) {
        if (look == Look::Hover) send(WM_MOUSEMOVE, 5, 5);
        if (look == Look::Pressed) send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
        if (look == Look::Disabled) EnableWindow(button(), FALSE);
        ASSERT_EQ(widget().look(), look);
        Snapshot shot = snapshot(button());
        EXPECT_EQ(shot.at(0, 0), shot.at(shot.width / 2, 3)) << "one flat face to the corners";
        EXPECT_NE(shot.at(0, 0), kPageColour);
        EXPECT_GT(shot.count(whitish), 15) << "the caption is still there";
    }

    // Some bitmaps present: those looks use them, the others are flat.
    EnableWindow(button(), TRUE);
    Faces f = facesOf(GetParam());
    widget().attach(button(), f.normal, 9999, f.pressed, f.disabled);
    EXPECT_EQ(snapshot(button()).at(0, 0), kPageColour);
    send(WM_MOUSEMOVE, 5, 5);
    EXPECT_NE(snapshot(button()).at(0, 0), kPageColour);
}

TEST_P(ImageButtonTest, DetachedOrDestroyedWidgetLeavesTheButtonToItself) {
    widget().detach();
    EXPECT_EQ(widget().hwnd(), nullptr);
    {
        ImageButton passing;
        passing.attach(button(), IDB_CONNECT_NORMAL, IDB_CONNECT_HOT, IDB_CONNECT_HOT,
                       IDB_CONNECT_DISABLED);
        EXPECT_EQ(snapshot(button()).at(0, 0), kPageColour);
    }
    // Nothing of either is left on the button: it takes the mouse and paints as before.
    send(WM_MOUSEMOVE, 5, 5);
    send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    send(WM_LBUTTONUP, 5, 5);
    EXPECT_EQ(clicks(), 1);
    EXPECT_NE(snapshot(button()).at(0, 0), kPageColour);
    if (GetParam() == IDC_DISCONNECT) {
        EXPECT_GT(page.drawItems, 0) << "owner draw is back";
    }
}

// In high contrast the button is the system's, in its colours: no art, and the caption in
// the button text's colour.
TEST_P(ImageButtonTest, InHighContrastTheFaceAndCaptionTakeTheSystemsColours) {
    tarnix::testing::HighContrastOn highContrast;
    Snapshot shot = snapshot(button());
    EXPECT_EQ(shot.at(shot.width / 2, 3), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(shot.count(bluish), 0);
    // The caption in the (black) button text, smoothed into greys; the frame's darkest
    // line is the system's own colour.
    const COLORREF frame = GetSysColor(COLOR_3DDKSHADOW);
    EXPECT_GT(shot.count([frame](COLORREF c) { return GetGValue(c) < 0x80 && c != frame; }), 15)
        << "the caption";
}

// A screen reader hears a push button named by its caption (the spacing gone), with its
// state, and may press it.
TEST_P(ImageButtonTest, ScreenReadersHearANamedPushButtonAndMayPressIt) {
    using tarnix::testing::hear;
    tarnix::testing::Heard heard = hear(button());
    EXPECT_EQ(heard.name, GetParam() == IDC_CONNECT ? L"登录" : L"断开");
    EXPECT_EQ(heard.role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(heard.state & STATE_SYSTEM_DEFAULT, GetParam() == IDC_CONNECT ? STATE_SYSTEM_DEFAULT : 0);

    EnableWindow(button(), FALSE);
    EXPECT_TRUE(hear(button()).state & STATE_SYSTEM_UNAVAILABLE);
    EnableWindow(button(), TRUE);

    ComPtr<IAccessible> object = tarnix::testing::accessibleOf(button());
    ASSERT_TRUE(object);
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
    pump();
    EXPECT_EQ(clicks(), 1);

    // An object a reader still holds after the button went answers, without a crash.
    DestroyWindow(button());
    BSTR name = nullptr;
    EXPECT_TRUE(FAILED(object->get_accName(self, &name)));
    EXPECT_EQ(name, nullptr);
}

INSTANTIATE_TEST_SUITE_P(ImageButton, ImageButtonTest, ::testing::Values(IDC_CONNECT, IDC_DISCONNECT),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return info.param == IDC_CONNECT ? "Connect" : "Disconnect";
                         });

}  // namespace
