// The day notes as the main window sees them; tests put a failing store in
// the registry's place.
#pragma once

#include "date_core.h"
#include "reg_result.h"

#include <string_view>

namespace velmi {

class NoteStore {
public:
    virtual ~NoteStore() = default;
    // The note of a day; "" with kMissing when the day has none.
    [[nodiscard]] virtual RegText ReadNote(DateSerial day) = 0;
    // Creates the day key and its note key when needed; an empty note is kept as such.
    [[nodiscard]] virtual RegResult WriteNote(DateSerial day, std::wstring_view note) = 0;
    // Deletes the day key with its note key.
    [[nodiscard]] virtual RegResult RemoveDay(DateSerial day) = 0;
};

}  // namespace velmi
