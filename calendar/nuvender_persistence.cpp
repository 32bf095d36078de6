#include "nuvender_object.h"

#include "win_date.h"

namespace nuv {
namespace {

constexpr wchar_t kTextProperty[] = L"Text";
constexpr wchar_t kTextMember[] = L"text";
constexpr DWORD kStreamMagic = 0x3156554E;  // "NUV1"

}  // namespace

HRESULT Nuvender::ApplyStoredText(VARIANT& value) {
    velmi::unique_variant text;
    VELMI_RETURN_IF_FAILED(VariantChangeType(&text, &value, VARIANT_ALPHABOOL, VT_BSTR));
    // What Save could never have written is refused, without a message.
    if (SysStringLen(text.bstrVal) > kMaxTextLength) return E_INVALIDARG;
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
        const std::wstring text = velmi::ShortDateText(Platform().Today());
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
    if (read != sizeof(header) || header[0] != kStreamMagic) return E_FAIL;
    if (header[1] > kMaxTextLength) return E_INVALIDARG;
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
    if (text.size() > kMaxTextLength) return E_UNEXPECTED;  // the box never holds more
    const DWORD header[2] = {kStreamMagic, static_cast<DWORD>(text.size())};
    VELMI_RETURN_IF_FAILED(stream->Write(header, sizeof(header), nullptr));
    VELMI_RETURN_IF_FAILED(
        stream->Write(text.data(), static_cast<ULONG>(text.size() * sizeof(wchar_t)), nullptr));
    if (clearDirty) dirty_ = false;
    return S_OK;
}

}  // namespace nuv
