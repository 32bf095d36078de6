#include "calendar_host.h"

#include "nuv_h.h"
#include "nuv_contract.h"
#include "win_handle.h"

#include <ocidl.h>
#include <olectl.h>

#include <new>

namespace velmi {
namespace {

// The stored definition of the main window carries the control's property
// bag with an empty text, so the control starts without a date.
class EmptyTextBag final : public IPropertyBag, public ComRefCount {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) noexcept override {
        return QueryInterfaces<EmptyTextBag, IPropertyBag>(this, riid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return ReleaseImpl(); }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) noexcept override {
        if (!name || !value) return E_POINTER;
        if (_wcsicmp(name, L"Text") != 0) return E_INVALIDARG;
        unique_variant empty;
        empty.vt = VT_BSTR;
        empty.bstrVal = SysAllocString(L"");
        if (!empty.bstrVal) return E_OUTOFMEMORY;
        return VariantCopy(value, &empty);  // releases what the caller had there
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) noexcept override { return S_OK; }
};

// An IDispatch reached only by DISPID: the control never asks for names or
// type information.
class DispatchByIdOnly : public IDispatch {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) noexcept override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
        return E_NOTIMPL;
    }
};

// Hears the control's events and hands Change on.
class ChangeSink final : public DispatchByIdOnly, public ComRefCount {
public:
    explicit ChangeSink(std::function<void()> change) : change_(std::move(change)) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) noexcept override {
        if (out && riid == DIID___Nuvender) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return QueryInterfaces<ChangeSink, IDispatch>(this, riid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return ReleaseImpl(); }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) noexcept override {
        if (id != nuv::kChangeDispId) return DISP_E_MEMBERNOTFOUND;
        try {
            change_();
        } catch (...) {
            // A handler that ran out of memory loses this change only.
        }
        return S_OK;
    }
    void Disconnect() {
        change_ = [] {};
    }

private:
    std::function<void()> change_;
};

}  // namespace

// The site the control lives in: client site, in-place site and frame,
// control site, and the ambient properties.
class CalendarHost::Site final : public IOleClientSite,
                                 public IOleInPlaceSite,
                                 public IOleInPlaceFrame,
                                 public IOleControlSite,
                                 public DispatchByIdOnly,
                                 public ComRefCount {
public:
    Site(HWND parent, const RECT& position, Callbacks callbacks)
        : parent_(parent), position_(position), callbacks_(std::move(callbacks)) {}

    HRESULT Attach();
    void Detach() noexcept;

    STDMETHODIMP QueryInterface(REFIID riid, void** out) noexcept override {
        if (out && riid == IID_IOleWindow) {
            *out = static_cast<IOleInPlaceSite*>(this);
            AddRef();
            return S_OK;
        }
        if (out && riid == IID_IOleInPlaceUIWindow) {
            *out = static_cast<IOleInPlaceFrame*>(this);
            AddRef();
            return S_OK;
        }
        return QueryInterfaces<Site, IOleClientSite, IOleInPlaceSite, IOleInPlaceFrame,
                               IOleControlSite, IDispatch>(this, riid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return ReleaseImpl(); }

    // IOleClientSite
    STDMETHODIMP SaveObject() noexcept override { return S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) noexcept override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) noexcept override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() noexcept override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) noexcept override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceSite
    STDMETHODIMP GetWindow(HWND* window) noexcept override {
        if (!window) return E_POINTER;
        *window = parent_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() noexcept override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() noexcept override { return S_OK; }
    STDMETHODIMP OnUIActivate() noexcept override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) noexcept override;
    STDMETHODIMP Scroll(SIZE) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) noexcept override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() noexcept override { return S_OK; }
    STDMETHODIMP DiscardUndoState() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) noexcept override { return S_OK; }

    // IOleInPlaceUIWindow, IOleInPlaceFrame: we have no toolbars or menus to merge.
    STDMETHODIMP GetBorder(LPRECT) noexcept override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) noexcept override {
        return INPLACE_E_NOTOOLSPACE;
    }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) noexcept override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) noexcept override {
        active_ = object;
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) noexcept override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) noexcept override { return S_OK; }
    STDMETHODIMP SetStatusText(LPCOLESTR) noexcept override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) noexcept override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) noexcept override { return S_FALSE; }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() noexcept override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) noexcept override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** out) noexcept override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg, DWORD modifiers) noexcept override {
        if (!msg || msg->message != WM_KEYDOWN || msg->wParam != VK_TAB) return S_FALSE;
        if (callbacks_.tabOut) callbacks_.tabOut((modifiers & 1) != 0);
        return S_OK;
    }
    STDMETHODIMP OnFocus(BOOL) noexcept override { return S_OK; }
    STDMETHODIMP ShowPropertyFrame() noexcept override { return E_NOTIMPL; }

    // IDispatch: the ambient properties. We run the control, never design it.
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) noexcept override {
        if (id != DISPID_AMBIENT_USERMODE || !result) return DISP_E_MEMBERNOTFOUND;
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
        return S_OK;
    }

    IOleObject* Control() const noexcept { return control_.Get(); }
    _Nuvender* Calendar() const noexcept { return calendar_.Get(); }
    _Nuvender2* Marker() const noexcept { return marker_.Get(); }
    IOleInPlaceActiveObject* Active() const noexcept { return active_.Get(); }
    HWND ControlWindow() const noexcept;
    void Move(const RECT& position) noexcept;

private:
    HRESULT Advise();

    HWND parent_;
    RECT position_;
    Callbacks callbacks_;
    ComPtr<IOleObject> control_;
    ComPtr<_Nuvender> calendar_;
    ComPtr<_Nuvender2> marker_;  // null for a control from before marks
    ComPtr<IOleInPlaceActiveObject> active_;
    ComPtr<ChangeSink> sink_;
    DWORD cookie_ = 0;
};

STDMETHODIMP CalendarHost::Site::GetWindowContext(IOleInPlaceFrame** frame,
                                                  IOleInPlaceUIWindow** document, LPRECT position,
                                                  LPRECT clip,
                                                  LPOLEINPLACEFRAMEINFO info) noexcept {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = this;
    AddRef();
    *document = nullptr;
    *position = position_;
    GetClientRect(parent_, clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(parent_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT CalendarHost::Site::Attach() {
    VELMI_RETURN_IF_FAILED(
        CoCreateInstance(CLSID_Nuvender, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control_)));
    VELMI_RETURN_IF_FAILED(control_.As(&calendar_));
    (void)control_.As(&marker_);
    // The control asks for its site before it loads its properties.
    VELMI_RETURN_IF_FAILED(control_->SetClientSite(this));
    VELMI_RETURN_IF_FAILED(Advise());
    ComPtr<IPersistPropertyBag> persist;
    VELMI_RETURN_IF_FAILED(control_.As(&persist));
    const ComPtr<EmptyTextBag> bag = Adopt(new (std::nothrow) EmptyTextBag());
    if (!bag) return E_OUTOFMEMORY;
    VELMI_RETURN_IF_FAILED(persist->Load(bag.Get(), nullptr));
    return control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, parent_, &position_);
}

HRESULT CalendarHost::Site::Advise() {
    sink_ = Adopt(new (std::nothrow) ChangeSink(callbacks_.change));
    if (!sink_) return E_OUTOFMEMORY;
    ComPtr<IConnectionPointContainer> container;
    VELMI_RETURN_IF_FAILED(control_.As(&container));
    ComPtr<IConnectionPoint> point;
    VELMI_RETURN_IF_FAILED(container->FindConnectionPoint(DIID___Nuvender, &point));
    return point->Advise(static_cast<IDispatch*>(sink_.Get()), &cookie_);
}

void CalendarHost::Site::Detach() noexcept {
    if (sink_) sink_->Disconnect();
    if (control_) {
        ComPtr<IConnectionPointContainer> container;
        ComPtr<IConnectionPoint> point;
        if (cookie_ && SUCCEEDED(control_.As(&container)) &&
            SUCCEEDED(container->FindConnectionPoint(DIID___Nuvender, &point))) {
            (void)point->Unadvise(cookie_);
        }
        (void)control_->Close(OLECLOSE_NOSAVE);
        (void)control_->SetClientSite(nullptr);
    }
    active_.Reset();
    calendar_.Reset();
    marker_.Reset();
    control_.Reset();
    sink_.Reset();
}

HWND CalendarHost::Site::ControlWindow() const noexcept {
    ComPtr<IOleInPlaceObject> inPlace;
    HWND window = nullptr;
    if (control_ && SUCCEEDED(control_.As(&inPlace))) (void)inPlace->GetWindow(&window);
    return window;
}

void CalendarHost::Site::Move(const RECT& position) noexcept {
    position_ = position;
    ComPtr<IOleInPlaceObject> inPlace;
    RECT clip{};
    GetClientRect(parent_, &clip);
    if (control_ && SUCCEEDED(control_.As(&inPlace)))
        (void)inPlace->SetObjectRects(&position, &clip);
}

CalendarHost::CalendarHost() = default;
CalendarHost::~CalendarHost() {
    Destroy();
}

HRESULT CalendarHost::Create(HWND parent, const RECT& position, Callbacks callbacks) {
    Destroy();
    ComPtr<Site> site = Adopt(new (std::nothrow) Site(parent, position, std::move(callbacks)));
    if (!site) return E_OUTOFMEMORY;
    const HRESULT hr = site->Attach();
    if (FAILED(hr)) {
        site->Detach();
        return hr;
    }
    site_ = std::move(site);
    return S_OK;
}

void CalendarHost::Destroy() noexcept {
    if (!site_) return;
    const ComPtr<Site> site = std::move(site_);
    site->Detach();
}

std::wstring CalendarHost::Text() const {
    if (!site_ || !site_->Calendar()) return {};
    unique_bstr text;
    if (FAILED(site_->Calendar()->get_text(text.put())) || !text) return {};
    return {text.get(), SysStringLen(text.get())};
}

HRESULT CalendarHost::PutText(std::wstring_view text) {
    if (!site_ || !site_->Calendar()) return E_UNEXPECTED;
    const unique_bstr value(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    if (!value) return E_OUTOFMEMORY;
    const ComPtr<Site> site = site_;  // the control's Change may end in anything
    return site->Calendar()->put_text(value.get());
}

bool CalendarHost::MarkDay(DateSerial day, bool marked) {
    if (!site_ || !site_->Marker()) return false;
    return SUCCEEDED(site_->Marker()->markday(day, marked ? VARIANT_TRUE : VARIANT_FALSE));
}

HWND CalendarHost::Window() const noexcept {
    return site_ ? site_->ControlWindow() : nullptr;
}

void CalendarHost::SetPosition(const RECT& position) noexcept {
    if (site_) site_->Move(position);
}

bool CalendarHost::HasFocus() const noexcept {
    HWND window = Window();
    HWND focus = GetFocus();
    return window && focus && (focus == window || IsChild(window, focus));
}

bool CalendarHost::TranslateAccelerator(MSG& msg) noexcept {
    if (!site_ || !site_->Active() || !HasFocus()) return false;
    const ComPtr<IOleInPlaceActiveObject> active = site_->Active();
    return active->TranslateAccelerator(&msg) == S_OK;
}

}  // namespace velmi
