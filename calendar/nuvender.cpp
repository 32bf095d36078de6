#include "nuvender.h"

#include "nuvender_object.h"
#include "win_date.h"

#include <optional>

namespace nuv {
namespace {

constexpr DWORD kKeyModShift = 1;  // IOleControlSite::TranslateAccelerator's Shift

int TwipsToHimetric(int twips) {
    return MulDiv(twips, 2540, 1440);
}

class WindowsPlatform final : public CalendarPlatform {
public:
    std::optional<DateSerial> ReadDate(std::wstring_view text) const override {
        return velmi::ReadDate(text);
    }
    std::wstring MonthName(int month) const override { return velmi::MonthName(month); }
    DateSerial Today() const override { return velmi::Today(velmi::SystemClock{}); }
};

}  // namespace

const CalendarPlatform& Platform() noexcept {
    static const WindowsPlatform platform;
    return platform;
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
        // The day may have changed while the control had no window to time it.
        calendar_.SetToday(Platform().Today());
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
    (calendar_.*kGoTo[static_cast<int>(arrow)])();
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