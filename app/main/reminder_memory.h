// The reminders' memory under the user's own key, apart from the notes, so
// that each user is reminded once even when the notes are shared.
#pragma once

#include "alarm_check.h"

#include <windows.h>

#include <array>
#include <optional>
#include <string>

namespace velmi {

inline constexpr wchar_t kReminderMemoryPath[] = L"Software\\Tolvane\\Velmi";

class ReminderMemoryStore {
public:
    ReminderMemoryStore(HKEY root, std::wstring path) : root_(root), path_(std::move(path)) {}

    // A value that is missing, of another type or unreadable reads as empty;
    // one that is there but cannot be read is written again at the next save.
    [[nodiscard]] ReminderMemory Read();
    // Writes the values that changed since they were read or written.
    void Write(const ReminderMemory& memory);

private:
    HKEY root_;
    std::wstring path_;
    std::array<std::optional<std::wstring>, 4> stored_;  // as the registry holds them
};

}  // namespace velmi
