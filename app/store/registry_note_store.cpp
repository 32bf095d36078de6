#include "registry_note_store.h"

#include "note_keys.h"
#include "registry.h"

namespace velmi {

RegText RegistryNoteStore::ReadNote(DateSerial day) {
    return ReadRegText(root_, NoteKeyPath(day), L"", L"");
}

RegResult RegistryNoteStore::WriteNote(DateSerial day, std::wstring_view note) {
    return WriteRegText(root_, NoteKeyPath(day), L"", note);
}

RegResult RegistryNoteStore::RemoveDay(DateSerial day) {
    return RemoveRegKey(root_, DayKeyPath(day));
}

}  // namespace velmi
