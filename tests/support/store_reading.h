// The day notes as the registry holds them under a root key, read straight
// from the registry rather than through the program.
#pragma once

#include "calendar_dates.h"

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace velmi::test {

using Notes = std::map<Serial, std::wstring>;

struct StoreContents {
    Notes notes;                       // every day key with the note of its "task" key
    std::vector<std::wstring> faults;  // whatever breaks the key layout, one line each
};

// Reads root\Software\Tolvane\Ruviruve: day keys named by a blank and the
// serial, each holding only "task", whose one value is the unnamed REG_SZ
// note, not empty and stored with its terminating zero.
[[nodiscard]] StoreContents ReadStore(HKEY root);

}  // namespace velmi::test
