// A registry key of a test's own under HKEY_CURRENT_USER, removed with
// everything below it when the test ends; and looks at what is stored.
#pragma once

#include "registry.h"

#include <gtest/gtest.h>

#include <string>

namespace velmi::testing {

class ScratchKey {
public:
    explicit ScratchKey(const std::wstring& name) : path_(L"Software\\VelmiTests\\" + name) {
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());  // left over from a crashed run
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        key_.reset(key);
    }
    ~ScratchKey() {
        key_.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    [[nodiscard]] HKEY get() const noexcept { return key_.get(); }
    [[nodiscard]] const std::wstring& Path() const noexcept { return path_; }

private:
    std::wstring path_;
    UniqueHkey key_;
};

[[nodiscard]] inline UniqueHkey Open(HKEY root, const std::wstring& path, REGSAM access) {
    HKEY key = nullptr;
    RegOpenKeyExW(root, path.c_str(), 0, access, &key);
    return UniqueHkey(key);
}

// The type and byte size of a default value as stored (RegGetValueW would
// count room for a terminator into the size); REG_NONE when there is none.
struct StoredValue {
    DWORD type = REG_NONE;
    DWORD size = 0;
};

[[nodiscard]] inline StoredValue Stored(HKEY root, const std::wstring& path) {
    StoredValue v;
    const UniqueHkey key = Open(root, path, KEY_QUERY_VALUE);
    if (RegQueryValueExW(key.get(), L"", nullptr, &v.type, nullptr, &v.size) != ERROR_SUCCESS) {
        v = {};
    }
    return v;
}

}  // namespace velmi::testing
