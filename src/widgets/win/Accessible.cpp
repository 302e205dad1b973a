#include "widgets/win/Accessible.h"

#include <commctrl.h>

#include "base/win/Scoped.h"

namespace tarnix {
namespace {

// mingw's import library declares IID_IAccessible as data of oleacc.dll but links it to
// the import thunk, so the interface's own id is taken from its declaration instead.
const IID kAccessibleId = __uuidof(IAccessible);

// oleacc.dll is loaded the first time something asks for an object, not at every start.
struct Oleacc {
    using FromObject = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using StandardObject = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    FromObject fromObject = nullptr;
    StandardObject standardObject = nullptr;

    static const Oleacc& get() {
        static const Oleacc loaded = [] {
            Oleacc o;
            // Kept loaded for the program's life: objects handed out live in it.
            if (HMODULE library = LoadLibraryW(L"oleacc.dll")) {
                o.fromObject = reinterpret_cast<FromObject>(
                    reinterpret_cast<void*>(GetProcAddress(library, "LresultFromObject")));
                o.standardObject = reinterpret_cast<StandardObject>(reinterpret_cast<void*>(
                    GetProcAddress(library, "CreateStdAccessibleObject")));
            }
            return o;
        }();
        return loaded;
    }
};

HRESULT textOut(const std::wstring& text, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT numberOut(long value, VARIANT* out) {
    if (!out) return E_INVALIDARG;
    VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

}  // namespace

// The IAccessible handed to screen readers. It may outlive the control (a reader keeps its
// reference): then every question is answered "not connected".
class AccessibleObject final : public IAccessible {
  public:
    AccessibleObject(HWND control, AccessibleSource& source) : control_(control), source_(&source) {}

    void disconnect() {
        control_ = nullptr;
        source_ = nullptr;
        standard_.reset();
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kAccessibleId) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IDispatch: screen readers call the interface directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_INVALIDARG;
        *parent = nullptr;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        IAccessible* standard = standardObject();
        return standard ? standard->get_accParent(parent) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        if (!count) return E_INVALIDARG;
        if (!source_) return CO_E_OBJNOTCONNECTED;
        *count = source_->partCount();
        return S_OK;
    }
    // The parts are simple elements, not objects of their own.
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_INVALIDARG;
        *out = nullptr;
        int id = 0;
        HRESULT checked = check(child, id);
        return FAILED(checked) ? checked : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        return text(child, out, &AccessiblePart::name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        return text(child, out, &AccessiblePart::value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return text(child, out, &AccessiblePart::description);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return text(child, out, &AccessiblePart::shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return text(child, out, &AccessiblePart::defaultAction);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return text(child, out, nullptr);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        if (out) VariantInit(out);
        int id = 0;
        HRESULT checked = check(child, id);
        if (FAILED(checked)) return checked;
        return numberOut(source_->describe(id).role, out);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        if (out) VariantInit(out);
        int id = 0;
        HRESULT checked = check(child, id);
        if (FAILED(checked)) return checked;
        long state = source_->describe(id).state;
        if (!IsWindowVisible(control_)) state |= STATE_SYSTEM_INVISIBLE;
        if (!IsWindowEnabled(control_)) state |= STATE_SYSTEM_UNAVAILABLE;
        if (id == CHILDID_SELF) {
            state |= STATE_SYSTEM_FOCUSABLE;
            if (GetFocus() == control_) state |= STATE_SYSTEM_FOCUSED;
        } else if (GetFocus() == control_ && source_->focusedPart() == id) {
            state |= STATE_SYSTEM_FOCUSED;
        }
        return numberOut(state, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        if (!out) return E_INVALIDARG;
        VariantInit(out);
        if (!source_) return CO_E_OBJNOTCONNECTED;
        if (GetFocus() != control_) return S_FALSE;
        return numberOut(source_->focusedPart(), out);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        if (!out) return E_INVALIDARG;
        VariantInit(out);
        if (!source_) return CO_E_OBJNOTCONNECTED;
        for (int id = 1; id <= source_->partCount(); ++id)
            if (source_->describe(id).state & STATE_SYSTEM_SELECTED) return numberOut(id, out);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height) return E_INVALIDARG;
        *left = *top = *width = *height = 0;
        int id = 0;
        HRESULT checked = check(child, id);
        if (FAILED(checked)) return checked;
        RECT area = source_->describe(id).area;
        if (id == CHILDID_SELF || IsRectEmpty(&area)) GetClientRect(control_, &area);
        MapWindowPoints(control_, nullptr, reinterpret_cast<POINT*>(&area), 2);
        *left = area.left;
        *top = area.top;
        *width = area.right - area.left;
        *height = area.bottom - area.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
        if (!out) return E_INVALIDARG;
        VariantInit(out);
        int id = 0;
        HRESULT checked = check(start, id);
        if (FAILED(checked)) return checked;
        const int count = source_->partCount();
        int to = 0;
        switch (direction) {
            case NAVDIR_FIRSTCHILD:
                to = id == CHILDID_SELF && count > 0 ? 1 : 0;
                break;
            case NAVDIR_LASTCHILD:
                to = id == CHILDID_SELF ? count : 0;
                break;
            case NAVDIR_NEXT:
            case NAVDIR_DOWN:
            case NAVDIR_RIGHT:
                to = id != CHILDID_SELF && id < count ? id + 1 : 0;
                break;
            case NAVDIR_PREVIOUS:
            case NAVDIR_UP:
            case NAVDIR_LEFT:
                to = id > 1 ? id - 1 : 0;
                break;
            default:
                break;
        }
        if (to == 0) {
            // The control among its siblings is the standard object's to tell.
            IAccessible* standard = id == CHILDID_SELF ? standardObject() : nullptr;
            return standard ? standard->accNavigate(direction, start, out) : S_FALSE;
        }
        return numberOut(to, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        if (!out) return E_INVALIDARG;
        VariantInit(out);
        if (!source_) return CO_E_OBJNOTCONNECTED;
        POINT at{x, y};
        ScreenToClient(control_, &at);
        RECT client;
        GetClientRect(control_, &client);
        if (!PtInRect(&client, at)) return S_FALSE;
        for (int id = 1; id <= source_->partCount(); ++id) {
            RECT area = source_->describe(id).area;
            if (PtInRect(&area, at)) return numberOut(id, out);
        }
        return numberOut(CHILDID_SELF, out);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        int id = 0;
        HRESULT checked = check(child, id);
        if (FAILED(checked)) return checked;
        if (!IsWindowEnabled(control_)) return E_FAIL;
        return source_->doDefaultAction(id) ? S_OK : DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

  private:
    ~AccessibleObject() = default;

    // A child id the control has: CHILDID_SELF or 1..partCount().
    HRESULT check(const VARIANT& child, int& id) const {
        if (!source_ || !IsWindow(control_)) return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal < 0 || child.lVal > source_->partCount()) return E_INVALIDARG;
        id = static_cast<int>(child.lVal);
        return S_OK;
    }
    HRESULT text(const VARIANT& child, BSTR* out, std::wstring AccessiblePart::*field) const {
        if (!out) return E_INVALIDARG;
        *out = nullptr;
        int id = 0;
        HRESULT checked = check(child, id);
        if (FAILED(checked)) return checked;
        return field ? textOut(source_->describe(id).*field, out) : S_FALSE;
    }
    IAccessible* standardObject() {
        if (!standard_ && Oleacc::get().standardObject)
            Oleacc::get().standardObject(control_, OBJID_CLIENT, kAccessibleId,
                                         standard_.putVoid());
        return standard_.get();
    }

    ULONG references_ = 1;
    HWND control_;
    AccessibleSource* source_;
    ComPtr<IAccessible> standard_;
};

void AccessibleHook::attach(HWND control, AccessibleSource& source) {
    detach();
    if (!control || !IsWindow(control)) return;
    if (!SetWindowSubclass(control, subclassProc, reinterpret_cast<UINT_PTR>(this),
                           reinterpret_cast<DWORD_PTR>(this)))
        return;
    control_ = control;
    source_ = &source;
}

void AccessibleHook::detach() {
    if (control_) RemoveWindowSubclass(control_, subclassProc, reinterpret_cast<UINT_PTR>(this));
    if (object_) {
        object_->disconnect();
        object_->Release();
        object_ = nullptr;
    }
    control_ = nullptr;
    source_ = nullptr;
}

void AccessibleHook::notify(DWORD event, int child) const {
    if (control_) NotifyWinEvent(event, control_, OBJID_CLIENT, child);
}

LRESULT CALLBACK AccessibleHook::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR, DWORD_PTR self) {
    auto* hook = reinterpret_cast<AccessibleHook*>(self);
    // The object id travels in the low 32 bits, as a signed value.
    if (msg == WM_GETOBJECT && static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT)
        if (LRESULT answer = hook->answer(wParam)) return answer;
    if (msg == WM_NCDESTROY) {
        LRESULT result = DefSubclassProc(hwnd, msg, wParam, lParam);
        hook->detach();
        return result;
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT AccessibleHook::answer(WPARAM flags) {
    if (!Oleacc::get().fromObject || !source_) return 0;
    if (!object_) object_ = new AccessibleObject(control_, *source_);
    // LresultFromObject takes its own reference; a failure is a negative HRESULT, which
    // must not reach the caller as a reference.
    LRESULT result = Oleacc::get().fromObject(kAccessibleId, flags, object_);
    if (result == CO_E_NOTINITIALIZED) {
        // The reference goes through COM, which this thread may not have started: it is
        // started now, for the rest of the thread's life.
        static thread_local ComScope com;
        result = Oleacc::get().fromObject(kAccessibleId, flags, object_);
    }
    return result > 0 ? result : 0;
}

}  // namespace tarnix
