// The day notes as the registry holds them under a root key, read straight
// from the registry rather than through the program.
#pragma once

#include "calendar_dates.h"

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace velmi::reliability {

using Notes = std::map<Serial, std::wstring>;

struct StoreContents {
    Notes notes;                       // every day key with the note of its "task" key
    std::vector<std::wstring> faults;  // whatever breaks the key layout, one line each
};

// Reads root\Software\Tolvane\Ruviruve: day keys named by a blank and the
// serial, each holding only "task", whose one value is the unnamed REG_SZ
// note, stored without a terminating zero.
[[nodiscard]] StoreContents ReadStore(HKEY root);

// The differences between two sets of notes, for a failure message.
[[nodiscard]] std::wstring DescribeDifference(const Notes& expected, const Notes& actual);

// Where a text first differs from the expected one, shown around that place.
[[nodiscard]] std::wstring FirstDifference(const std::wstring& actual,
                                           const std::wstring& expected);

// A note made printable: line breaks and other controls escaped, long ones cut.
[[nodiscard]] std::wstring Printable(std::wstring_view text, size_t limit = 80);

}  // namespace velmi::reliability
