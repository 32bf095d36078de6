// The one copy of Velmi that may run on this machine, named by a mutex.
#pragma once

#include "win_handle.h"

#include <string>

namespace velmi {

class SingleInstance {
public:
    // True when another copy holds the name already; this copy holds it
    // from now on either way, until it ends.
    [[nodiscard]] bool AnotherCopyRuns(const std::wstring& name);

private:
    unique_handle mutex_;
};

// Restores the running copy's shown window, the main window or the products
// window, and brings it to the front.
void BringRunningCopyForward();

}  // namespace velmi
