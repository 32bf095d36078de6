// The library's own state: its module handle and its type library.
#pragma once

#include "com_util.h"

#include <string>

namespace nuv {

[[nodiscard]] HINSTANCE ModuleInstance() noexcept;
[[nodiscard]] std::wstring ModulePath();

// The type library embedded in this module (loaded once, never registered by
// loading). Fails when the resource cannot be read.
[[nodiscard]] HRESULT GetTypeLib(ITypeLib** lib) noexcept;
[[nodiscard]] HRESULT GetTypeInfoOf(REFGUID guid, ITypeInfo** info) noexcept;

}  // namespace nuv
