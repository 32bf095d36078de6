// Self-registration: the type library, the class with its ProgID, and the
// keys that mark it as an in-process control.
#include "module.h"
#include "nuv_contract.h"
#include "nuv_h.h"
#include "win_handle.h"

#include <string>
#include <vector>

namespace nuv {
namespace {

constexpr wchar_t kProgId[] = L"Ruviruve.Nuvender";
constexpr wchar_t kClassName[] = L"Nuvender";

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// One default or named string value under HKEY_CLASSES_ROOT.
struct Entry {
    std::wstring key;
    std::wstring name;  // empty: the key's default value
    std::wstring value;
};

std::vector<Entry> Entries() {
    const std::wstring clsidKey = L"CLSID\\" + GuidText(CLSID_Nuvender);
    const std::wstring path = ModulePath();
    return {
        {clsidKey, L"", kClassName},
        {clsidKey + L"\\InprocServer32", L"", path},
        {clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {clsidKey + L"\\ProgID", L"", kProgId},
        {clsidKey + L"\\Control", L"", L""},
        {clsidKey + L"\\MiscStatus", L"", L"0"},
        {clsidKey + L"\\MiscStatus\\1", L"", std::to_wstring(kMiscStatus)},
        {clsidKey + L"\\ToolboxBitmap32", L"", path + L", " + std::to_wstring(kToolboxBitmapId)},
        {clsidKey + L"\\TypeLib", L"", GuidText(LIBID_Ruviruve)},
        {clsidKey + L"\\Version", L"", L"1.1"},
        {kProgId, L"", kClassName},
        {std::wstring(kProgId) + L"\\CLSID", L"", GuidText(CLSID_Nuvender)},
    };
}

HRESULT WriteEntry(const Entry& e) {
    velmi::unique_hkey key;
    LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, e.key.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    const auto bytes = static_cast<DWORD>((e.value.size() + 1) * sizeof(wchar_t));
    status = RegSetValueExW(key.get(), e.name.empty() ? nullptr : e.name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(e.value.c_str()), bytes);
    return HRESULT_FROM_WIN32(status);
}

HRESULT DeleteTree(const std::wstring& key) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        return HRESULT_FROM_WIN32(status);
    const LSTATUS own = RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    if (own != ERROR_SUCCESS && own != ERROR_FILE_NOT_FOUND) return HRESULT_FROM_WIN32(own);
    return S_OK;
}

// Version 1.0 of the type library, which this one replaces; gone already is fine.
void RemoveFirstTypeLib() {
    (void)UnRegisterTypeLib(LIBID_Ruviruve, 1, 0, 0x0409, SYS_WIN64);
}

HRESULT Unregister() {
    // Each removal is tried even when an earlier one failed.
    HRESULT result = DeleteTree(L"CLSID\\" + GuidText(CLSID_Nuvender));
    const HRESULT progId = DeleteTree(kProgId);
    if (SUCCEEDED(result)) result = progId;
    const HRESULT lib = UnRegisterTypeLib(LIBID_Ruviruve, 1, 1, 0x0409, SYS_WIN64);
    if (SUCCEEDED(result) && FAILED(lib) && lib != TYPE_E_REGISTRYACCESS) result = lib;
    RemoveFirstTypeLib();
    return result;
}

}  // namespace
}  // namespace nuv

STDAPI DllRegisterServer() {
    using namespace nuv;
    try {
        RemoveFirstTypeLib();
        ComPtr<ITypeLib> lib;
        VELMI_RETURN_IF_FAILED(GetTypeLib(&lib));
        std::wstring path = ModulePath();
        VELMI_RETURN_IF_FAILED(RegisterTypeLib(lib.Get(), path.data(), nullptr));
        for (const Entry& e : Entries())
            VELMI_RETURN_IF_FAILED(WriteEntry(e));
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

STDAPI DllUnregisterServer() {
    try {
        return nuv::Unregister();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
