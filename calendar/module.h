// The library's own state: its module handle and its type library.
#pragma once

#include "com_util.h"

#include <string>

namespace nuv {

[[nodiscard]] HINSTANCE ModuleInstance() noexcept;
// The full path of Nuv.ocx itself.
[[nodiscard]] std::wstring ModulePath();

// What the control asks of its container (IOleObject::GetMiscStatus), also
// written to the registry for containers that read it from there.
inline constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                                     OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_CANTLINKINSIDE |
                                     OLEMISC_RECOMPOSEONRESIZE;
static_assert(kMiscStatus == 0x20191);

// The type library embedded in this module (loaded once, never registered by
// loading). Fails when the resource cannot be read.
[[nodiscard]] HRESULT GetTypeLib(ITypeLib** lib) noexcept;
[[nodiscard]] HRESULT GetTypeInfoOf(REFGUID guid, ITypeInfo** info) noexcept;

}  // namespace nuv
