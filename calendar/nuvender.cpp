#include "nuvender.h"

#include "calendar_model.h"
#include "events.h"
#include "face_view.h"
#include "layout.h"
#include "module.h"
#include "nuv_h.h"
#include "win_date.h"
#include "win_handle.h"

#include <ocidl.h>
#include <olectl.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <optional>

namespace nuv {
namespace {

constexpr wchar_t kTextProperty[] = L"Text";
constexpr wchar_t kTextMember[] = L"text";
constexpr DWORD kStreamMagic = 0x3156554E;  // "NUV1"
constexpr DWORD kKeyModShift = 1;           // IOleControlSite::TranslateAccelerator's Shift

int TwipsToHimetric(int twips) {
    return MulDiv(twips, 2540, 1440);
}

// Dates come from the platform's date reading in the user's locale.
class WindowsPlatform final : public CalendarPlatform {
public:
    std::optional<DateSerial> ReadDate(std::wstring_view text) const override {
        return velmi::ReadDate(text);
    }
    std::wstring MonthName(int month) const override { return velmi::MonthName(month); }
    DateSerial Today() const override { return velmi::Today(velmi::SystemClock{}); }
};

const WindowsPlatform g_platform;

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

    // FaceViewHost: the user's actions, each kept alive against a container
    // that lets go of the control from inside its Change handler.
    void OnDayClicked(int index) override {
        Guarded([&] { calendar_.GoToCell(index); });
    }
    void OnArrowClicked(Arrow arrow) override;
    void OnDayKey(DayKey key) override {
        Guarded([&] { calendar_.MoveByKey(key); });
    }
    void OnFrameClicked() override {
        Guarded([&] { calendar_.GoToToday(); });
    }
    void OnDateBoxEdited(const std::wstring& text) override {
        Guarded([&] { calendar_.TypeDateBoxText(text); });
    }
    void OnDateBoxCommitted() override {
        Guarded([&] { calendar_.CommitDateBox(); });
    }
    void OnFocusEnter() override;
    bool OnTabOut(const MSG& tab) override;

    template <typename F>
    void Guarded(F&& action) {
        ComPtr<Nuvender> self(this);
        try {
            action();
        } catch (...) {
            // Out of memory in the middle of an action: the face shows what it had.
        }
    }

    HRESULT InPlaceActivate(IOleClientSite* site, bool uiActivate);
    HRESULT UIActivate();
    HWND MessageOwner();
    HRESULT ApplyStoredText(VARIANT& value);
    static HRESULT ReadStoredText(IPropertyBag* bag, IErrorLog* log, velmi::unique_variant& value);

    Calendar calendar_{g_platform, *this};
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

// ---- IDispatch -------------------------------------------------------------

STDMETHODIMP Nuvender::GetTypeInfoCount(UINT* count) noexcept {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP Nuvender::GetTypeInfo(UINT index, LCID, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return GetTypeInfoOf(IID__Nuvender2, info);
}

STDMETHODIMP Nuvender::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                     DISPID* ids) noexcept {
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (count > 0 && (!names || !ids)) return E_POINTER;
    ComPtr<ITypeInfo> info;
    VELMI_RETURN_IF_FAILED(GetTypeInfoOf(IID__Nuvender2, &info));
    return DispGetIDsOfNames(info.Get(), names, count, ids);
}

// The platform lets surplus arguments through; a member that takes fewer
// than were sent refuses the call here.
HRESULT CheckArgumentCount(ITypeInfo* info, DISPID id, WORD flags, UINT args) {
    TYPEATTR* attr = nullptr;
    VELMI_RETURN_IF_FAILED(info->GetTypeAttr(&attr));
    const UINT functions = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    bool member = false, fits = false;
    for (UINT i = 0; i < functions; ++i) {
        FUNCDESC* f = nullptr;
        if (FAILED(info->GetFuncDesc(i, &f))) continue;
        if (f->memid == id && (f->invkind & flags)) {
            member = true;
            UINT params = 0;
            for (SHORT p = 0; p < f->cParams; ++p)
                if (!(f->lprgelemdescParam[p].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) ++params;
            fits = fits || args <= params;
        }
        info->ReleaseFuncDesc(f);
    }
    return member && !fits ? DISP_E_BADPARAMCOUNT : S_OK;
}

STDMETHODIMP Nuvender::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                              VARIANT* result, EXCEPINFO* exception, UINT* argError) noexcept {
    // The platform trusts the counts in DISPPARAMS; we do not.
    if (!params) return E_POINTER;
    if ((params->cArgs > 0 && !params->rgvarg) ||
        (params->cNamedArgs > 0 && !params->rgdispidNamedArgs) ||
        params->cNamedArgs > params->cArgs) {
        return E_INVALIDARG;
    }
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    ComPtr<ITypeInfo> info;
    VELMI_RETURN_IF_FAILED(GetTypeInfoOf(IID__Nuvender2, &info));
    VELMI_RETURN_IF_FAILED(CheckArgumentCount(info.Get(), id, flags, params->cArgs));
    ComPtr<Nuvender> self(this);  // the call may end in a container that releases us
    return info->Invoke(static_cast<_Nuvender2*>(this), id, flags, params, result, exception,
                        argError);
}

// ---- _Nuvender -------------------------------------------------------------

STDMETHODIMP Nuvender::get_text(BSTR* value) noexcept {
    if (!value) return E_POINTER;
    const std::wstring& text = calendar_.Text();
    *value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *value ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP Nuvender::put_text(BSTR value) noexcept {
    ComPtr<Nuvender> self(this);
    try {
        const std::wstring_view text(value ? value : L"", SysStringLen(value));
        if (calendar_.PutText(text) == Calendar::PutResult::kInvalidDate) {
            MessageBoxW(MessageOwner(), kInvalidDateText, kMessageTitle, MB_OK);
        }
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

namespace {

// Only the day counts; a value outside the years 100 .. 9999 names no day.
std::optional<DateSerial> DayOfDate(DATE date) {
    const double day = std::trunc(date);
    if (!std::isfinite(day) ||
        !velmi::IsSerialInRange(static_cast<std::int64_t>(std::clamp(day, -1e12, 1e12)))) {
        return std::nullopt;
    }
    return static_cast<DateSerial>(day);
}

}  // namespace

STDMETHODIMP Nuvender::putdate(DATE* indate) noexcept {
    if (!indate) return E_POINTER;
    const auto day = DayOfDate(*indate);
    if (!day) return E_INVALIDARG;
    ComPtr<Nuvender> self(this);
    try {
        calendar_.PutDate(*day);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// ---- _Nuvender2 ------------------------------------------------------------

STDMETHODIMP Nuvender::markday(DATE date, VARIANT_BOOL marked) noexcept {
    const auto day = DayOfDate(date);
    if (!day) return E_INVALIDARG;
    try {
        calendar_.MarkDay(*day, marked != VARIANT_FALSE);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HWND Nuvender::MessageOwner() {
    if (HWND window = view_.Window()) return GetAncestor(window, GA_ROOT);
    ComPtr<IOleWindow> siteWindow;
    HWND owner = nullptr;
    if (site_ && SUCCEEDED(site_.As(&siteWindow)) && SUCCEEDED(siteWindow->GetWindow(&owner)) &&
        owner) {
        return GetAncestor(owner, GA_ROOT);
    }
    return nullptr;
}

// ---- IOleObject ------------------------------------------------------------

STDMETHODIMP Nuvender::SetClientSite(IOleClientSite* site) noexcept {
    if (!site) (void)InPlaceDeactivate();
    site_ = site;
    return S_OK;
}

STDMETHODIMP Nuvender::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND,
                              LPCRECT) noexcept {
    switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
            return InPlaceActivate(site, false);
        case OLEIVERB_UIACTIVATE:
            return InPlaceActivate(site, true);
        case OLEIVERB_HIDE:
            return InPlaceDeactivate();
        default:
            return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
    }
}

HRESULT Nuvender::InPlaceActivate(IOleClientSite* site, bool uiActivate) {
    if (!site) site = site_.Get();
    if (!site) return E_UNEXPECTED;
    if (!view_.Window()) {
        ComPtr<IOleInPlaceSite> inPlace;
        VELMI_RETURN_IF_FAILED(site->QueryInterface(IID_PPV_ARGS(&inPlace)));
        if (inPlace->CanInPlaceActivate() != S_OK) return E_FAIL;
        VELMI_RETURN_IF_FAILED(inPlace->OnInPlaceActivate());
        inPlaceSite_ = inPlace;

        HWND parent = nullptr;
        VELMI_RETURN_IF_FAILED(inPlace->GetWindow(&parent));
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof(frameInfo);
        frame_.Reset();
        document_.Reset();
        VELMI_RETURN_IF_FAILED(
            inPlace->GetWindowContext(&frame_, &document_, &position, &clip, &frameInfo));
        const HRESULT created = view_.Create(parent, position);
        if (FAILED(created)) {
            (void)InPlaceDeactivate();
            return created;
        }
    }
    return uiActivate ? UIActivate() : S_OK;
}

HRESULT Nuvender::UIActivate() {
    if (uiActive_ || !inPlaceSite_) return S_OK;
    uiActive_ = true;
    (void)inPlaceSite_->OnUIActivate();
    if (frame_) (void)frame_->SetActiveObject(this, nullptr);
    if (document_) (void)document_->SetActiveObject(this, nullptr);
    return S_OK;
}

STDMETHODIMP Nuvender::UIDeactivate() noexcept {
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (frame_) (void)frame_->SetActiveObject(nullptr, nullptr);
    if (document_) (void)document_->SetActiveObject(nullptr, nullptr);
    if (inPlaceSite_) (void)inPlaceSite_->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP Nuvender::InPlaceDeactivate() noexcept {
    (void)UIDeactivate();
    view_.Destroy();
    if (inPlaceSite_) {
        const ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
        (void)site->OnInPlaceDeactivate();
    }
    frame_.Reset();
    document_.Reset();
    return S_OK;
}

STDMETHODIMP Nuvender::GetExtent(DWORD aspect, SIZEL* size) noexcept {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    size->cx = TwipsToHimetric(kSurfaceWidth);
    size->cy = TwipsToHimetric(kSurfaceHeight);
    return S_OK;
}

STDMETHODIMP Nuvender::Advise(IAdviseSink* sink, DWORD* cookie) noexcept {
    if (!adviseHolder_) VELMI_RETURN_IF_FAILED(CreateOleAdviseHolder(&adviseHolder_));
    return adviseHolder_->Advise(sink, cookie);
}

STDMETHODIMP Nuvender::Unadvise(DWORD cookie) noexcept {
    if (!adviseHolder_) return OLE_E_NOCONNECTION;
    return adviseHolder_->Unadvise(cookie);
}

STDMETHODIMP Nuvender::EnumAdvise(IEnumSTATDATA** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!adviseHolder_) return E_FAIL;
    return adviseHolder_->EnumAdvise(out);
}

// ---- Keyboard and focus ----------------------------------------------------

STDMETHODIMP Nuvender::TranslateAccelerator(LPMSG msg) noexcept {
    if (!msg) return E_POINTER;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && view_.Contains(GetFocus())) {
        // At the last stop the container moves the focus on.
        return view_.MoveFocus(GetKeyState(VK_SHIFT) < 0) ? S_OK : S_FALSE;
    }
    return S_FALSE;
}

void Nuvender::OnFocusEnter() {
    (void)UIActivate();
    ComPtr<IOleControlSite> controlSite;
    if (site_ && SUCCEEDED(site_.As(&controlSite))) (void)controlSite->OnFocus(TRUE);
}

bool Nuvender::OnTabOut(const MSG& tab) {
    ComPtr<IOleControlSite> controlSite;
    if (!site_ || FAILED(site_.As(&controlSite))) return false;
    MSG copy = tab;
    const DWORD modifiers = GetKeyState(VK_SHIFT) < 0 ? kKeyModShift : 0;
    return controlSite->TranslateAccelerator(&copy, modifiers) == S_OK;
}

void Nuvender::OnArrowClicked(Arrow arrow) {
    // In the order of the arrows.
    static constexpr void (Calendar::*kGoTo[kArrowCount])() = {
        &Calendar::GoToPreviousYear, &Calendar::GoToNextYear, &Calendar::GoToPreviousMonth,
        &Calendar::GoToNextMonth};
    Guarded([&] { (calendar_.*kGoTo[static_cast<int>(arrow)])(); });
}

// ---- Drawing ---------------------------------------------------------------

STDMETHODIMP Nuvender::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                            LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                            ULONG_PTR) noexcept {
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc || !bounds) return E_INVALIDARG;
    DrawFace(calendar_.face(), dc, RECT{bounds->left, bounds->top, bounds->right, bounds->bottom});
    return S_OK;
}

// ---- Persistence -----------------------------------------------------------

HRESULT Nuvender::ApplyStoredText(VARIANT& value) {
    velmi::unique_variant text;
    VELMI_RETURN_IF_FAILED(VariantChangeType(&text, &value, VARIANT_ALPHABOOL, VT_BSTR));
    ComPtr<Nuvender> self(this);
    try {
        // Assigned to the date box as it is: no check, no message.
        calendar_.SetDateBoxText(std::wstring_view(text.bstrVal, SysStringLen(text.bstrVal)));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

// The text a container stored, or today's date where it stored none.
HRESULT Nuvender::ReadStoredText(IPropertyBag* bag, IErrorLog* log, velmi::unique_variant& value) {
    // Containers also store the key as the property is spelled.
    for (const wchar_t* name : {kTextProperty, kTextMember}) {
        VARIANT* read = value.put();
        read->vt = VT_BSTR;
        read->bstrVal = nullptr;
        const HRESULT hr = bag->Read(name, read, log);
        if (hr != E_INVALIDARG) return hr;
    }
    VARIANT* today = value.put();
    today->vt = VT_BSTR;
    try {
        const std::wstring text = velmi::ShortDateText(g_platform.Today());
        today->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return today->bstrVal ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP Nuvender::Load(IPropertyBag* bag, IErrorLog* log) noexcept {
    if (!bag) return E_POINTER;
    velmi::unique_variant value;
    VELMI_RETURN_IF_FAILED(ReadStoredText(bag, log, value));
    return ApplyStoredText(value);
}

STDMETHODIMP Nuvender::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) noexcept {
    if (!bag) return E_POINTER;
    velmi::unique_variant value;
    VELMI_RETURN_IF_FAILED(get_text(&value.bstrVal));
    value.vt = VT_BSTR;
    const HRESULT hr = bag->Write(kTextProperty, &value);
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
}

STDMETHODIMP Nuvender::Load(LPSTREAM stream) noexcept {
    if (!stream) return E_POINTER;
    DWORD header[2] = {};
    ULONG read = 0;
    VELMI_RETURN_IF_FAILED(stream->Read(header, sizeof(header), &read));
    if (read != sizeof(header) || header[0] != kStreamMagic || header[1] > 0x100000) {
        return E_FAIL;
    }
    try {
        std::wstring text(header[1], L'\0');
        const ULONG bytes = header[1] * sizeof(wchar_t);
        VELMI_RETURN_IF_FAILED(stream->Read(text.data(), bytes, &read));
        if (read != bytes) return E_FAIL;
        ComPtr<Nuvender> self(this);
        calendar_.SetDateBoxText(text);
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDMETHODIMP Nuvender::Save(LPSTREAM stream, BOOL clearDirty) noexcept {
    if (!stream) return E_POINTER;
    const std::wstring& text = calendar_.Text();
    const DWORD header[2] = {kStreamMagic, static_cast<DWORD>(text.size())};
    VELMI_RETURN_IF_FAILED(stream->Write(header, sizeof(header), nullptr));
    VELMI_RETURN_IF_FAILED(
        stream->Write(text.data(), static_cast<ULONG>(text.size() * sizeof(wchar_t)), nullptr));
    if (clearDirty) dirty_ = false;
    return S_OK;
}

}  // namespace

HRESULT CreateNuvender(REFIID riid, void** out) noexcept {
    Nuvender* control = nullptr;
    try {
        control = new Nuvender();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = control->QueryInterface(riid, out);
    control->Release();
    return hr;
}

}  // namespace nuv
