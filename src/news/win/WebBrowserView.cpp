// The system's web browser control in a window of ours, hosted through OLE with the least
// a container must offer: a client site, an in-place site and a frame that asks for no
// menus, tools or borders. The control draws itself in the host window; the host
// receives nothing from it.
//
// The control goes only where the news window belongs: the host of the first address it
// was asked to show. Its navigation events are watched: a top-level navigation anywhere
// else is cancelled (a link, a script, a refresh), a frame may load only web pages, a new
// window opens as a web address in the user's browser and never as a window of the
// control, and a page that arrived from elsewhere (a redirect no event announced) is
// replaced by a blank one. Files dropped on the control are not opened.
#include <windows.h>

#include <exdisp.h>
#include <exdispid.h>
#include <ole2.h>
#include <oleidl.h>

#include <atomic>
#include <functional>
#include <string>

#include "base/ShellOpen.h"
#include "base/win/Scoped.h"
#include "news/NewsPage.h"
#include "news/win/BrowserView.h"

namespace tarnix {
namespace {

// OLE on this thread while the view lives; the control needs it, not only COM.
class OleScope {
  public:
    OleScope() : started_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleScope() {
        if (started_) OleUninitialize();
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    bool started() const { return started_; }

  private:
    bool started_;
};

// The container's side of the conversation. The control holds references to it, which it
// may keep a little beyond the view's close, so it counts its own references; after
// detach() it no longer names the host window.
class BrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
  public:
    explicit BrowserSite(HWND host) : host_(host) {}
    void detach() { host_ = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (of both the in-place site and the frame)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = host_;
        return host_ ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return host_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip,
                                               LPOLEINPLACEFRAMEINFO info) override {
        if (!frame || !document || !position || !clip || !info) return E_POINTER;
        *frame = this;
        AddRef();
        *document = nullptr;  // the frame is the only window the control deals with
        RECT area{};
        if (host_) GetClientRect(host_, &area);
        *position = area;
        *clip = area;
        info->cb = sizeof(OLEINPLACEFRAMEINFO);
        info->fMDIApp = FALSE;
        info->hwndFrame = host_ ? GetAncestor(host_, GA_ROOT) : nullptr;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no tools, borders or menus to share.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  private:
    ~BrowserSite() = default;

    std::atomic<ULONG> references_{1};
    HWND host_;
};

// The strings of OLE automation, from the library the browser control loads anyway: the
// program does not import it, so that it costs nothing at start-up.
class Automation {
  public:
    Automation() : library_(LoadLibraryW(L"oleaut32.dll")) {
        if (!library_) return;
        alloc_ = reinterpret_cast<Alloc>(
            reinterpret_cast<void*>(GetProcAddress(library_.get(), "SysAllocString")));
        free_ = reinterpret_cast<Free>(
            reinterpret_cast<void*>(GetProcAddress(library_.get(), "SysFreeString")));
    }
    // Null when the library or the memory is missing.
    BSTR allocString(const wchar_t* text) const {
        return alloc_ && free_ ? alloc_(text) : nullptr;
    }
    void freeString(BSTR text) const {
        if (free_ && text) free_(text);
    }

  private:
    using Alloc = BSTR(WINAPI*)(const OLECHAR*);
    using Free = void(WINAPI*)(BSTR);
    ScopedLibrary library_;
    Alloc alloc_ = nullptr;
    Free free_ = nullptr;
};

// ASCII text of an address; anything else becomes a character no address check passes.
std::string asciiOf(const wchar_t* text) {
    std::string ascii;
    for (; text && *text; ++text) ascii += *text < 0x80 ? char(*text) : '\x01';
    return ascii;
}

// The text of an event's address argument: a BSTR, or a VARIANT* that holds one.
std::string addressOf(const VARIANT& argument) {
    const VARIANT* value = &argument;
    if (value->vt == (VT_BYREF | VT_VARIANT) && value->pvarVal) value = value->pvarVal;
    return value->vt == VT_BSTR ? asciiOf(value->bstrVal) : std::string("\x01");
}

void cancel(const VARIANT& argument) {
    if (argument.vt == (VT_BYREF | VT_BOOL) && argument.pboolVal) *argument.pboolVal = VARIANT_TRUE;
}

bool isWebAddress(const std::string& address) {
    return address.rfind("http://", 0) == 0 || address.rfind("https://", 0) == 0;
}

// The control's DWebBrowserEvents2, judged by the view's rules. The control holds a
// reference while connected; the guard only calls back while the view is attached.
class NavigationGuard final : public IDispatch {
  public:
    struct Rules {
        std::function<bool(IDispatch* frame)> isTopLevel;
        std::function<bool(const std::string& address)> mayShow;
        std::function<void()> showBlank;
    };
    explicit NavigationGuard(Rules rules) : rules_(std::move(rules)) {}
    void detach() { rules_ = {}; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID_DWebBrowserEvents2)
            return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }

    // The arguments come last to first.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (!params || !rules_.mayShow) return S_OK;
        const VARIANT* a = params->rgvarg;
        const UINT n = params->cArgs;
        switch (id) {
            case DISPID_BEFORENAVIGATE2:
                if (n == 7 && !allowed(a[6], addressOf(a[5]))) cancel(a[0]);
                break;
            case DISPID_NEWWINDOW2:
                if (n == 2) cancel(a[0]);
                break;
            case DISPID_NEWWINDOW3:
                if (n == 5) {
                    cancel(a[3]);
                    // A link meant for a new window opens in the user's own browser.
                    const std::string address = addressOf(a[0]);
                    if (isWebAddress(address)) shellOpen(address);
                }
                break;
            case DISPID_NAVIGATECOMPLETE2:
            case DISPID_DOCUMENTCOMPLETE:
                if (n == 2 && isTopLevel(a[1]) && !rules_.mayShow(addressOf(a[0])))
                    rules_.showBlank();
                break;
            default:
                break;
        }
        return S_OK;
    }

  private:
    ~NavigationGuard() = default;

    bool isTopLevel(const VARIANT& frame) {
        return frame.vt == VT_DISPATCH && rules_.isTopLevel(frame.pdispVal);
    }
    // The window itself shows the news host only; its frames, web pages only.
    bool allowed(const VARIANT& frame, const std::string& address) {
        if (isTopLevel(frame)) return rules_.mayShow(address);
        return isWebAddress(address) || address == "about:blank";
    }

    std::atomic<ULONG> references_{1};
    Rules rules_;
};

class WebBrowserView final : public BrowserView {
  public:
    ~WebBrowserView() override { close(); }

    bool create(HWND host) override {
        if (!ole_.started() || !host) return false;
        *site_.put() = new BrowserSite(host);  // the one reference is the view's
        // The control keeps its state in a storage of the container's; one in memory
        // will do, as nothing of it is ever saved.
        ComPtr<ILockBytes> bytes;
        if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put())) ||
            FAILED(StgCreateDocfileOnILockBytes(
                bytes.get(), STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_READWRITE, 0,
                storage_.put())) ||
            FAILED(OleCreate(CLSID_WebBrowser, IID_IOleObject, OLERENDER_DRAW, nullptr,
                             static_cast<IOleClientSite*>(site_.get()), storage_.get(),
                             object_.putVoid()))) {
            close();
            return false;
        }
        OleSetContainedObject(object_.get(), TRUE);
        object_->SetHostNames(L"Tarnix", nullptr);
        RECT area{};
        GetClientRect(host, &area);
        if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                                   static_cast<IOleClientSite*>(site_.get()), 0, host, &area))) {
            close();
            return false;
        }
        browser_ = object_.query<IWebBrowser2>(IID_IWebBrowser2);
        if (!browser_) {
            close();
            return false;
        }
        // A fault in the provider's page is not the user's to answer: no script-error boxes.
        browser_->put_Silent(VARIANT_TRUE);
        // A file dropped on the news would be opened in it.
        browser_->put_RegisterAsDropTarget(VARIANT_FALSE);
        return watchNavigation();
    }

    void navigate(const std::wstring& address) override {
        if (!browser_ || address.empty()) return;
        // The first address names the one host this view will ever show.
        if (newsHost_.empty()) newsHost_ = httpAuthority(asciiOf(address.c_str()));
        go(address);
    }

    void close() override {
        if (guard_) {
            if (events_) events_->Unadvise(cookie_);
            guard_->detach();
            guard_.reset();
        }
        events_.reset();
        closeControl();
    }

  private:
    // Connects the guard to the control's events; without it the view is not used.
    bool watchNavigation() {
        *guard_.put() = new NavigationGuard({
            [this](IDispatch* frame) { return isTopLevel(frame); },
            [this](const std::string& address) { return isNewsHostAddress(address, newsHost_); },
            [this] { go(L"about:blank"); },
        });
        auto points = browser_.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
        if (!points || FAILED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, events_.put())) ||
            FAILED(events_->Advise(static_cast<IDispatch*>(guard_.get()), &cookie_))) {
            events_.reset();
            close();
            return false;
        }
        return true;
    }

    bool isTopLevel(IDispatch* frame) const {
        if (!frame || !browser_) return false;
        ComPtr<IUnknown> a, b;
        frame->QueryInterface(IID_IUnknown, a.putVoid());
        browser_->QueryInterface(IID_IUnknown, b.putVoid());
        return a && a.get() == b.get();
    }

    void go(const std::wstring& address) {
        Automation automation;
        VARIANT url{};
        url.vt = VT_BSTR;
        url.bstrVal = automation.allocString(address.c_str());
        if (!url.bstrVal) return;
        VARIANT none{};
        none.vt = VT_EMPTY;
        // No flags, target frame, post data or headers. The control loads the page on
        // its own and reports failure in its own page.
        browser_->Navigate2(&url, &none, &none, &none, &none);
        automation.freeString(url.bstrVal);
    }

    void closeControl() {
        if (browser_) browser_->Stop();
        browser_.reset();
        if (object_) {
            if (auto inPlace = object_.query<IOleInPlaceObject>(IID_IOleInPlaceObject))
                inPlace->InPlaceDeactivate();
            object_->Close(OLECLOSE_NOSAVE);
            object_->SetClientSite(nullptr);
            object_.reset();
        }
        storage_.reset();
        if (site_) {
            site_->detach();
            site_.reset();
        }
    }

    OleScope ole_;  // first: the last to go
    ComPtr<BrowserSite> site_;
    ComPtr<NavigationGuard> guard_;
    ComPtr<IConnectionPoint> events_;
    DWORD cookie_ = 0;
    std::string newsHost_;  // "name[:port]"; empty: nothing but the blank page
    ComPtr<IStorage> storage_;
    ComPtr<IOleObject> object_;
    ComPtr<IWebBrowser2> browser_;
};

}  // namespace

std::unique_ptr<BrowserView> makeWebBrowserView() {
    return std::make_unique<WebBrowserView>();
}

}  // namespace tarnix
