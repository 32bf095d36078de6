// Where the day notes live: one day key per day under the store root, the
// note as the default value of the day key's subkey "task".
#pragma once

#include "date_core.h"

#include <string>

namespace velmi {

// The day keys are named by joining this text and the serial text, so their
// names begin with a blank: "Software\Tolvane\Ruviruve\ 36526".
inline constexpr std::wstring_view kStoreRootPath = L"Software\\Tolvane\\Ruviruve\\";

// The store root key itself, without the joining backslash.
inline constexpr std::wstring_view kStoreKeyPath = L"Software\\Tolvane\\Ruviruve";

[[nodiscard]] std::wstring DayKeyPath(DateSerial day);
[[nodiscard]] std::wstring NoteKeyPath(DateSerial day);

}  // namespace velmi
