// The Nuvender control object, declared for the files that implement it:
// nuvender.cpp (embedding, activation, keyboard, drawing), nuvender_dispatch.cpp
// (IDispatch and the interface's members) and nuvender_persistence.cpp.
#pragma once

#include "calendar_model.h"
#include "events.h"
#include "face_view.h"
#include "layout.h"
#include "module.h"
#include "nuv_h.h"
#include "win_handle.h"

#include <ocidl.h>
#include <olectl.h>

#include <string>

namespace nuv {

// Dates come from the one date reader in the user's locale; today from the clock.
[[nodiscard]] const CalendarPlatform& Platform() noexcept;

class Nuvender final : public _Nuvender2,
                       public IProvideClassInfo2,
                       public IConnectionPointContainer,
                       public IOleObject,
                       public IOleInPlaceObject,
                       public IOleInPlaceActiveObject,
                       public IOleControl,
                       public IViewObject2,
                       public IPersistPropertyBag,
                       public IPersistStreamInit,
                       public RefCounted,
                       private CalendarEvents,
                       private FaceViewHost {
public:
    Nuvender() : events_(Adopt(new ChangeConnectionPoint(this))) {}
    ~Nuvender() override {
        view_.Destroy();
        events_->Disconnect();
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** out) noexcept override {
        if (IUnknown* base = SharedBase(riid); base && out) {
            *out = base;
            AddRef();
            return S_OK;
        }
        return QueryInterfaces<Nuvender, _Nuvender2, _Nuvender, IProvideClassInfo2,
                               IConnectionPointContainer, IOleObject, IOleInPlaceObject,
                               IOleInPlaceActiveObject, IOleControl, IViewObject2,
                               IPersistPropertyBag, IPersistStreamInit>(this, riid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return ReleaseImpl(); }

    // IDispatch, served from the type library.
    STDMETHODIMP GetTypeInfoCount(UINT* count) noexcept override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                               DISPID* ids) noexcept override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argError) noexcept override;

    // _Nuvender
    STDMETHODIMP get_text(BSTR* value) noexcept override;
    STDMETHODIMP put_text(BSTR value) noexcept override;
    STDMETHODIMP putdate(DATE* indate) noexcept override;
    // _Nuvender2
    STDMETHODIMP markday(DATE day, VARIANT_BOOL marked) noexcept override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) noexcept override {
        return GetTypeInfoOf(CLSID_Nuvender, info);
    }
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) noexcept override {
        if (!guid) return E_POINTER;
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
        *guid = DIID___Nuvender;
        return S_OK;
    }

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) noexcept override {
        return CreateConnectionPointEnum(events_.Get(), out);
    }
    STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid != DIID___Nuvender) return CONNECT_E_NOCONNECTION;
        return events_.CopyTo(out);
    }

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* site) noexcept override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) noexcept override {
        if (!site) return E_POINTER;
        return site_.CopyTo(site);
    }
    STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) noexcept override { return S_OK; }
    STDMETHODIMP Close(DWORD) noexcept override { return InPlaceDeactivate(); }
    STDMETHODIMP SetMoniker(DWORD, IMoniker*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) noexcept override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP GetClipboardData(DWORD, IDataObject** out) noexcept override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                        LPCRECT position) noexcept override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** out) noexcept override {
        return OleRegEnumVerbs(CLSID_Nuvender, out);
    }
    STDMETHODIMP Update() noexcept override { return S_OK; }
    STDMETHODIMP IsUpToDate() noexcept override { return S_OK; }
    STDMETHODIMP GetUserClassID(CLSID* clsid) noexcept override { return GetClassID(clsid); }
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) noexcept override {
        return OleRegGetUserType(CLSID_Nuvender, form, type);
    }
    // The calendar has one size; containers are told so.
    STDMETHODIMP SetExtent(DWORD, SIZEL*) noexcept override { return E_FAIL; }
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) noexcept override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) noexcept override;
    STDMETHODIMP Unadvise(DWORD cookie) noexcept override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** out) noexcept override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) noexcept override {
        if (!status) return E_POINTER;
        *status = aspect == DVASPECT_CONTENT ? kMiscStatus : 0;
        return S_OK;
    }
    STDMETHODIMP SetColorScheme(LOGPALETTE*) noexcept override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
    STDMETHODIMP GetWindow(HWND* window) noexcept override {
        if (!window) return E_POINTER;
        *window = view_.Window();
        return *window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP InPlaceDeactivate() noexcept override;
    STDMETHODIMP UIDeactivate() noexcept override;
    STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT) noexcept override {
        if (!position) return E_POINTER;
        view_.SetPosition(*position);
        return S_OK;
    }
    STDMETHODIMP ReactivateAndUndo() noexcept override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(LPMSG msg) noexcept override;
    STDMETHODIMP OnFrameWindowActivate(BOOL) noexcept override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) noexcept override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) noexcept override {
        return S_OK;
    }
    STDMETHODIMP EnableModeless(BOOL) noexcept override { return S_OK; }

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) noexcept override {
        if (!info) return E_POINTER;
        info->hAccel = nullptr;
        info->cAccel = 0;
        info->dwFlags = 0;
        return S_OK;
    }
    STDMETHODIMP OnMnemonic(LPMSG) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP OnAmbientPropertyChange(DISPID) noexcept override { return S_OK; }
    STDMETHODIMP FreezeEvents(BOOL freeze) noexcept override {
        frozen_ += freeze ? 1 : (frozen_ > 0 ? -1 : 0);
        return S_OK;
    }

    // IViewObject2
    STDMETHODIMP Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                      LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) noexcept override;
    STDMETHODIMP GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                             LOGPALETTE** set) noexcept override {
        if (set) *set = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP Freeze(DWORD, LONG, void*, DWORD*) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP Unfreeze(DWORD) noexcept override { return E_NOTIMPL; }
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) noexcept override {
        viewSink_ = sink;
        viewAspects_ = aspects;
        viewFlags_ = flags;
        return S_OK;
    }
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) noexcept override {
        if (aspects) *aspects = viewAspects_;
        if (flags) *flags = viewFlags_;
        if (sink) return viewSink_.CopyTo(sink);
        return S_OK;
    }
    STDMETHODIMP GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) noexcept override {
        return GetExtent(aspect, size);
    }

    // IPersist, IPersistPropertyBag, IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) noexcept override {
        if (!clsid) return E_POINTER;
        *clsid = CLSID_Nuvender;
        return S_OK;
    }
    STDMETHODIMP InitNew() noexcept override { return S_OK; }
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) noexcept override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL) noexcept override;
    STDMETHODIMP IsDirty() noexcept override { return dirty_ ? S_OK : S_FALSE; }
    STDMETHODIMP Load(LPSTREAM stream) noexcept override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) noexcept override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) noexcept override {
        if (!size) return E_POINTER;
        size->QuadPart = 2 * sizeof(DWORD) + calendar_.Text().size() * sizeof(wchar_t);
        return S_OK;
    }

private:
    // The interfaces that more than one of our bases derive from, each
    // answered through one of them; null for any other.
    IUnknown* SharedBase(REFIID riid) noexcept {
        if (riid == IID_IDispatch) return static_cast<_Nuvender2*>(this);
        if (riid == IID_IPersist) return static_cast<IPersistStreamInit*>(this);
        if (riid == IID_IOleWindow) return static_cast<IOleInPlaceObject*>(this);
        if (riid == IID_IViewObject) return static_cast<IViewObject2*>(this);
        if (riid == IID_IProvideClassInfo) return static_cast<IProvideClassInfo2*>(this);
        return nullptr;
    }

    // CalendarEvents
    void GridChanged() override {
        view_.Refresh();
        ViewChanged();
    }
    void DateBoxChanged() override {
        dirty_ = true;
        view_.RefreshDateBox();
        ViewChanged();
    }
    void RaiseChange() override {
        if (frozen_ == 0) events_->FireChange();
    }
    void ViewChanged() {
        if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
    }

    // FaceViewHost: the user's actions. The face holds the control for the
    // whole window message and catches what these throw.
    void Hold() noexcept override { AddRef(); }
    void Unhold() noexcept override { Release(); }
    void OnDayClicked(int index) override { calendar_.GoToCell(index); }
    void OnArrowClicked(Arrow arrow) override;
    void OnDayKey(DayKey key) override { calendar_.MoveByKey(key); }
    void OnFrameClicked() override { calendar_.GoToToday(); }
    void OnDateBoxEdited(const std::wstring& text) override { calendar_.TypeDateBoxText(text); }
    void OnDateBoxCommitted() override { calendar_.CommitDateBox(); }
    void OnFocusEnter() override;
    void OnMidnight() override { calendar_.SetToday(Platform().Today()); }
    bool OnTabOut(const MSG& tab) override;

    HRESULT InPlaceActivate(IOleClientSite* site, bool uiActivate);
    HRESULT UIActivate();
    HWND MessageOwner();
    HRESULT ApplyStoredText(VARIANT& value);
    static HRESULT ReadStoredText(IPropertyBag* bag, IErrorLog* log, velmi::unique_variant& value);

    Calendar calendar_{Platform(), *this};
    FaceView view_{calendar_.face(), *this};
    ComPtr<ChangeConnectionPoint> events_;
    ComPtr<IOleClientSite> site_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> document_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewFlags_ = 0;
    int frozen_ = 0;
    bool uiActive_ = false;
    bool dirty_ = false;
};

}  // namespace nuv
