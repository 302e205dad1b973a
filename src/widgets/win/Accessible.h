#pragma once
// What a control the program paints itself tells screen readers: its name, role, value and
// state, and those of the parts drawn inside it (tabs, toolbar buttons, the outlook bar's
// folders and shortcuts) as the simple elements 1..N of one accessible object. A control
// answers through an AccessibleHook, which serves WM_GETOBJECT for its window; the control
// describes itself in an AccessibleSource. What the hook does not know (the parent, the
// window's own frame) comes from the system's standard object for the window.
//
// Threads: a hook and its object belong to the window's thread; the system calls the object
// there (it is handed out through LresultFromObject, which marshals calls from other
// processes onto that thread).

#include <windows.h>

#include <oleacc.h>

#include <functional>
#include <string>

namespace tarnix {

// One part of a control, or the control itself (child 0).
struct AccessiblePart {
    std::wstring name;
    long role = ROLE_SYSTEM_CLIENT;
    std::wstring value;
    std::wstring description;
    std::wstring defaultAction;  // empty: the part has none
    std::wstring shortcut;       // its key, "Alt+L"
    // State bits besides those the window itself gives the control (disabled, hidden,
    // focused, focusable), which the hook adds for child 0.
    long state = 0;
    RECT area{};  // in client coordinates; empty for child 0: the whole window
};

class AccessibleSource {
  public:
    virtual ~AccessibleSource() = default;
    // Child 0 is the control; 1..partCount() its parts.
    virtual AccessiblePart describe(int child) const = 0;
    virtual int partCount() const { return 0; }
    // The part that has the keyboard's attention while the control has the focus; 0: none.
    virtual int focusedPart() const { return 0; }
    // Does the part's default action (a click, a change of tab); false when it has none. The
    // caller expects it to return at once, so whatever shows a window is posted.
    virtual bool doDefaultAction(int child) { return false; }
};

class AccessibleObject;

class AccessibleHook {
  public:
    AccessibleHook() = default;
    ~AccessibleHook() { detach(); }
    AccessibleHook(const AccessibleHook&) = delete;
    AccessibleHook& operator=(const AccessibleHook&) = delete;

    // Answers WM_GETOBJECT of `control` from `source`, which must outlive the hook's
    // attachment. The hook ends by itself with the window.
    void attach(HWND control, AccessibleSource& source);
    // Screen readers that still hold the object hear that it is gone.
    void detach();
    HWND hwnd() const { return control_; }

    // Tells listening screen readers that something of `child` changed
    // (EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, ...).
    void notify(DWORD event, int child = CHILDID_SELF) const;

  private:
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR self);
    LRESULT answer(WPARAM flags);

    HWND control_ = nullptr;
    AccessibleSource* source_ = nullptr;
    AccessibleObject* object_ = nullptr;  // made at the first question, one reference held
};

// A control that is one thing to a screen reader (a chart, a picture of a state): it
// answers from `describe`, asked afresh at each question.
class AccessibleSingle : private AccessibleSource {
  public:
    void attach(HWND control, std::function<AccessiblePart()> describe) {
        describe_ = std::move(describe);
        hook_.attach(control, *this);
    }
    void notify(DWORD event) const { hook_.notify(event); }

  private:
    AccessiblePart describe(int) const override { return describe_ ? describe_() : AccessiblePart{}; }

    std::function<AccessiblePart()> describe_;
    AccessibleHook hook_;
};

}  // namespace tarnix
