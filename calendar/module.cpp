#include "module.h"

#include "class_factory.h"
#include "nuv_h.h"
#include "win_system.h"

#include <mutex>

namespace nuv {
namespace {

HINSTANCE g_instance = nullptr;

}  // namespace

HINSTANCE ModuleInstance() noexcept {
    return g_instance;
}

std::wstring ModulePath() {
    return velmi::ModulePath(g_instance);
}

HRESULT GetTypeLib(ITypeLib** lib) noexcept {
    if (!lib) return E_POINTER;
    // Kept for the life of the process, like the module itself.
    static ITypeLib* loaded = nullptr;
    static HRESULT result = E_FAIL;
    static std::once_flag once;
    try {
        std::call_once(once, [] {
            // The full path loads the embedded library without registering it.
            result = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &loaded);
        });
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    if (FAILED(result)) return result;
    loaded->AddRef();
    *lib = loaded;
    return S_OK;
}

HRESULT GetTypeInfoOf(REFGUID guid, ITypeInfo** info) noexcept {
    if (!info) return E_POINTER;
    *info = nullptr;
    ComPtr<ITypeLib> lib;
    VELMI_RETURN_IF_FAILED(GetTypeLib(&lib));
    return lib->GetTypeInfoOfGuid(guid, info);
}

}  // namespace nuv

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        nuv::g_instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() {
    return nuv::ModuleCount::Value() == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_Nuvender) return CLASS_E_CLASSNOTAVAILABLE;
    return nuv::CreateClassFactory(riid, out);
}
