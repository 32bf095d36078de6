// Day notes kept in the registry under a chosen root key.
#pragma once

#include "note_store.h"

#include <windows.h>

namespace velmi {

class RegistryNoteStore final : public NoteStore {
public:
    // The root is not owned: HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER or a test's key.
    explicit RegistryNoteStore(HKEY root) noexcept : root_(root) {}
    [[nodiscard]] HKEY Root() const noexcept { return root_; }

    [[nodiscard]] RegText ReadNote(DateSerial day) override;
    [[nodiscard]] RegResult WriteNote(DateSerial day, std::wstring_view note) override;
    [[nodiscard]] RegResult RemoveDay(DateSerial day) override;

private:
    HKEY root_;
};

}  // namespace velmi
