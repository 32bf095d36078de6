// The Nuvender control: the COM object that containers and scripts see.
#pragma once

#include "com_util.h"

namespace nuv {

// Makes a new control and answers the requested interface of it.
[[nodiscard]] HRESULT CreateNuvender(REFIID riid, void** out) noexcept;

}  // namespace nuv
