#include "store_reading.h"

#include <cwchar>
#include <memory>
#include <type_traits>

namespace velmi::reliability {
namespace {

constexpr wchar_t kStoreKey[] = L"Software\\Tolvane\\Ruviruve";

struct KeyCloser {
    void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

[[nodiscard]] LSTATUS Open(HKEY parent, const wchar_t* name, Key& out) {
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExW(parent, name, 0, KEY_READ, &key);
    out.reset(key);
    return status;
}

struct Counts {
    DWORD subkeys = 0, values = 0;
};

[[nodiscard]] Counts CountsOf(HKEY key) {
    Counts c;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &c.subkeys, nullptr, nullptr, &c.values,
                     nullptr, nullptr, nullptr, nullptr);
    return c;
}

// " 46361" names the day 46361; anything else is no day key.
[[nodiscard]] bool ParseDayName(const std::wstring& name, Serial& serial) {
    if (name.size() < 2 || name[0] != L' ') return false;
    for (size_t i = 1; i < name.size(); ++i)
        if (name[i] < L'0' || name[i] > L'9') return false;
    if (name.size() > 2 && name[1] == L'0') return false;  // no leading zeros
    serial = std::wcstol(name.c_str() + 1, nullptr, 10);
    return true;
}

// The note of one day key, or a line saying what is wrong with it.
[[nodiscard]] bool ReadDay(HKEY store, const std::wstring& name, std::wstring& note,
                           std::vector<std::wstring>& faults) {
    auto fault = [&](const std::wstring& what) { faults.push_back(L"'" + name + L"': " + what); };
    Key day, task;
    if (Open(store, name.c_str(), day) != ERROR_SUCCESS) {
        fault(L"does not open");
        return false;
    }
    const Counts dayCounts = CountsOf(day.get());
    if (dayCounts.subkeys != 1 || dayCounts.values != 0) {
        fault(L"holds more than its \"task\" key");
    }
    if (Open(day.get(), L"task", task) != ERROR_SUCCESS) {
        fault(L"has no \"task\" key");
        return false;
    }
    const Counts taskCounts = CountsOf(task.get());
    if (taskCounts.subkeys != 0 || taskCounts.values != 1) {
        fault(L"note key holds more than its note");
    }
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(task.get(), L"", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size % sizeof(wchar_t) != 0) {
        fault(L"note is no whole REG_SZ value");
        return false;
    }
    note.assign(size / sizeof(wchar_t), L'\0');
    if (RegQueryValueExW(task.get(), L"", nullptr, &type, reinterpret_cast<BYTE*>(note.data()),
                         &size) != ERROR_SUCCESS) {
        fault(L"note does not read");
        return false;
    }
    if (!note.empty() && note.back() == L'\0') {
        fault(L"note is stored with a terminating zero");
    }
    return true;
}

}  // namespace

StoreContents ReadStore(HKEY root) {
    StoreContents contents;
    Key store;
    const LSTATUS opened = Open(root, kStoreKey, store);
    if (opened == ERROR_FILE_NOT_FOUND) return contents;
    if (opened != ERROR_SUCCESS) {
        contents.faults.push_back(L"the store key does not open");
        return contents;
    }
    if (CountsOf(store.get()).values != 0) contents.faults.push_back(L"the store key has values");
    for (DWORD i = 0;; ++i) {
        wchar_t name[256] = {};
        DWORD length = 256;
        const LSTATUS status =
            RegEnumKeyExW(store.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) break;
        if (status != ERROR_SUCCESS) {
            contents.faults.push_back(L"the store's keys do not enumerate");
            break;
        }
        Serial serial = 0;
        if (!ParseDayName(name, serial)) {
            contents.faults.push_back(L"'" + std::wstring(name) + L"' is no day key");
            continue;
        }
        std::wstring note;
        if (ReadDay(store.get(), name, note, contents.faults)) contents.notes[serial] = note;
    }
    return contents;
}

std::wstring Printable(std::wstring_view text, size_t limit) {
    std::wstring out = L"\"";
    for (size_t i = 0; i < text.size(); ++i) {
        if (out.size() > limit) {
            out += L"...(" + std::to_wstring(text.size()) + L" characters)";
            break;
        }
        const wchar_t c = text[i];
        if (c == L'\r') {
            out += L"\\r";
        } else if (c == L'\n') {
            out += L"\\n";
        } else if (c < L' ') {
            out += L"\\x" + std::to_wstring(static_cast<int>(c));
        } else {
            out += c;
        }
    }
    return out + L"\"";
}

std::wstring FirstDifference(const std::wstring& actual, const std::wstring& expected) {
    size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    const size_t from = at < 20 ? 0 : at - 20;
    return L"differs from character " + std::to_wstring(at) + L" on: holds " +
           Printable(std::wstring_view(actual).substr(from), 60) + L", expected " +
           Printable(std::wstring_view(expected).substr(from), 60);
}

std::wstring DescribeDifference(const Notes& expected, const Notes& actual) {
    std::wstring out;
    int shown = 0;
    auto line = [&](Serial day, const std::wstring& what) {
        if (++shown <= 8)
            out += L"\n  " + CalendarText(day) + L" (" + std::to_wstring(day) + L"): " + what;
    };
    for (const auto& [day, note] : expected) {
        const auto found = actual.find(day);
        if (found == actual.end()) {
            line(day, L"missing, expected " + Printable(note));
        } else if (found->second != note) {
            line(day, FirstDifference(found->second, note));
        }
    }
    for (const auto& [day, note] : actual) {
        if (!expected.count(day)) line(day, L"should not exist, holds " + Printable(note));
    }
    if (shown > 8) out += L"\n  ... " + std::to_wstring(shown - 8) + L" more";
    return out;
}

}  // namespace velmi::reliability
