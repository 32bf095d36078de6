// Which root key holds the day notes. Notes used to live under
// HKEY_LOCAL_MACHINE, which a standard user cannot write on current Windows;
// such a user keeps them under HKEY_CURRENT_USER, starting from a copy of the
// machine's notes.
#pragma once

#include "reg_result.h"

#include <windows.h>

namespace velmi {

struct StoreRootChoice {
    HKEY root = nullptr;  // one of the two handles passed in, not owned
    bool copied = false;  // the machine's notes were copied to the user root just now
    // How that copy went: kMissing when there was nothing to copy; after
    // kFailed part of the notes may have been copied, and no later run copies again.
    RegResult copy;
};

// Whether the store under this root could be written: its key opens for
// writing, or, when it does not exist yet, "Software" opens for creating
// subkeys. Changes nothing.
[[nodiscard]] bool CanWriteStore(HKEY machine);

// Made once per run: the user root when the store already exists there; else
// the machine root when it is writable; else the user root, after copying the
// machine's day keys into it once.
[[nodiscard]] StoreRootChoice ChooseStoreRoot(HKEY machine, HKEY user, bool machineWritable);

}  // namespace velmi
