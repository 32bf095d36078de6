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
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, key_.put(), nullptr),
                  ERROR_SUCCESS);
    }
    ~ScratchKey() {
        key_.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    }
    [[nodiscard]] HKEY get() const noexcept { return key_.get(); }
    [[nodiscard]] const std::wstring& Path() const noexcept { return path_; }

private:
    std::wstring path_;
    unique_hkey key_;
};

[[nodiscard]] inline unique_hkey Open(HKEY root, const std::wstring& path, REGSAM access) {
    unique_hkey key;
    (void)RegOpenKeyExW(root, path.c_str(), 0, access, key.put());
    return key;
}

// The type and byte size of a default value as stored (RegGetValueW would
// count room for a terminator into the size); REG_NONE when there is none.
struct StoredValue {
    DWORD type = REG_NONE;
    DWORD size = 0;
};

[[nodiscard]] inline StoredValue Stored(HKEY root, const std::wstring& path) {
    StoredValue v;
    const unique_hkey key = Open(root, path, KEY_QUERY_VALUE);
    if (RegQueryValueExW(key.get(), L"", nullptr, &v.type, nullptr, &v.size) != ERROR_SUCCESS) {
        v = {};
    }
    return v;
}

}  // namespace velmi::testing
