#include "store_reading.h"

#include <cwchar>

namespace velmi::test {
namespace {

// The numbers of subkeys and values of root\name, or nothing when it does not open.
bool Counts(HKEY root, const std::wstring& name, DWORD& subkeys, DWORD& values) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return true;
}

// " 46361" names the day 46361, without leading zeros; anything else is no day key.
bool ParseDayName(const std::wstring& name, Serial& serial) {
    if (name.size() < 2 || name[0] != L' ' || (name.size() > 2 && name[1] == L'0')) return false;
    for (size_t i = 1; i < name.size(); ++i)
        if (name[i] < L'0' || name[i] > L'9') return false;
    serial = std::wcstol(name.c_str() + 1, nullptr, 10);
    return true;
}

// The unnamed value of root\task, exactly as stored.
bool ReadNote(HKEY root, const std::wstring& task, std::wstring& note) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, task.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = 0;
    bool read = RegQueryValueExW(key, L"", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
                type == REG_SZ && size % sizeof(wchar_t) == 0;
    note.assign(size / sizeof(wchar_t), L'\0');
    read = read && RegQueryValueExW(key, L"", nullptr, &type, reinterpret_cast<BYTE*>(note.data()),
                                    &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read;
}

}  // namespace

StoreContents ReadStore(HKEY root) {
    const std::wstring store = L"Software\\Tolvane\\Ruviruve";
    StoreContents contents;
    DWORD subkeys = 0, values = 0;
    if (!Counts(root, store, subkeys, values)) return contents;
    if (values != 0) contents.faults.push_back(L"the store key has values");
    HKEY key = nullptr;
    RegOpenKeyExW(root, store.c_str(), 0, KEY_READ, &key);
    for (DWORD i = 0;; ++i) {
        wchar_t name[256] = {};
        DWORD length = 256;
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        const std::wstring day = store + L"\\" + name, task = day + L"\\task";
        auto fault = [&](const wchar_t* what) { contents.faults.push_back(day + L": " + what); };
        Serial serial = 0;
        if (!ParseDayName(name, serial)) {
            fault(L"is no day key");
            continue;
        }
        if (!Counts(root, day, subkeys, values) || subkeys != 1 || values != 0)
            fault(L"holds more than its \"task\" key");
        if (!Counts(root, task, subkeys, values) || subkeys != 0 || values != 1)
            fault(L"holds more than its note");
        std::wstring note;
        if (!ReadNote(root, task, note)) {
            fault(L"has no whole REG_SZ note");
            continue;
        }
        if (note.empty() || note.back() != L'\0') fault(L"is stored without a terminating zero");
        if (!note.empty()) note.pop_back();
        if (note.empty()) fault(L"holds an empty note");
        contents.notes[serial] = note;
    }
    RegCloseKey(key);
    return contents;
}

}  // namespace velmi::test
