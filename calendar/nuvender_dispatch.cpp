#include "nuvender_object.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace nuv {

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

namespace {

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

}  // namespace

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

// ---- _Nuvender, _Nuvender2 -------------------------------------------------

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

}  // namespace nuv
