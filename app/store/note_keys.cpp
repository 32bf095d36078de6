#include "note_keys.h"

namespace velmi {

std::wstring DayKeyPath(DateSerial day) {
    return std::wstring(kStoreRootPath) + SerialText(day);
}

std::wstring NoteKeyPath(DateSerial day) {
    return DayKeyPath(day) + L"\\task";
}

}  // namespace velmi
