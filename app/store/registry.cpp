#include "registry.h"

#include <array>
#include <limits>
#include <vector>

namespace velmi {
namespace {

[[nodiscard]] bool IsMissing(LSTATUS status) noexcept {
    return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

[[nodiscard]] RegResult Failure(LSTATUS status) noexcept {
    return {RegStatus::kFailed, static_cast<unsigned long>(status)};
}

[[nodiscard]] RegResult FromStatus(LSTATUS status) noexcept {
    if (status == ERROR_SUCCESS) return {};
    if (IsMissing(status)) return {RegStatus::kMissing, 0};
    return Failure(status);
}

// The key to work on: the caller's handle for an empty path, else one we own.
struct KeyInUse {
    unique_hkey owned;
    HKEY handle = nullptr;
    LSTATUS status = ERROR_SUCCESS;
};

[[nodiscard]] KeyInUse OpenKey(HKEY root, std::wstring_view path, REGSAM access) {
    if (path.empty()) return {unique_hkey(), root, ERROR_SUCCESS};
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExW(root, std::wstring(path).c_str(), 0, access, &key);
    return {unique_hkey(key), key, status};
}

[[nodiscard]] KeyInUse CreateKey(HKEY root, std::wstring_view path, REGSAM access) {
    if (path.empty()) return {unique_hkey(), root, ERROR_SUCCESS};
    HKEY key = nullptr;
    const LSTATUS status = RegCreateKeyExW(root, std::wstring(path).c_str(), 0, nullptr,
                                           REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
    return {unique_hkey(key), key, status};
}

// A note's text: REG_SZ data with or without its terminating zeros. A zero
// inside the text would hide the rest of it from the user, so such a value
// counts as unreadable, as does a value of another type.
[[nodiscard]] RegText NoteFromData(DWORD type, std::wstring_view data) {
    if (type != REG_SZ) return {Failure(ERROR_UNSUPPORTED_TYPE), {}};
    while (!data.empty() && data.back() == L'\0')
        data.remove_suffix(1);
    if (data.find(L'\0') != std::wstring_view::npos) return {Failure(ERROR_INVALID_DATA), {}};
    return {{}, std::wstring(data)};
}

// Reads a value whole; it may grow between asking for its size and reading
// it, so the read is repeated until the buffer is big enough.
[[nodiscard]] RegText QueryText(HKEY key, const std::wstring& name) {
    DWORD type = 0;
    // Most notes fit this first read, so one call to the registry reads them.
    std::array<wchar_t, 1024> first;
    DWORD size = sizeof(first);
    LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(first.data()), &size);
    if (status == ERROR_SUCCESS)
        return NoteFromData(type, std::wstring_view(first.data(), size / sizeof(wchar_t)));
    std::wstring buffer;
    while (status == ERROR_MORE_DATA) {
        buffer.assign((size + 1) / sizeof(wchar_t), L'\0');
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size);
        // An odd last byte belongs to no character.
        if (status == ERROR_SUCCESS)
            return NoteFromData(type, std::wstring_view(buffer.data(), size / sizeof(wchar_t)));
    }
    return {FromStatus(status), {}};
}

// RegSetValueExW counts a terminating zero in when the character right after
// the given size of a string value is one (Windows and Wine alike, and so
// RegCopyTreeW under Wine). A character other than zero there keeps the
// stored data at exactly the bytes given.
[[nodiscard]] LSTATUS SetValueExactly(HKEY key, const wchar_t* name, DWORD type, const BYTE* data,
                                      DWORD size) {
    std::vector<BYTE> buffer(data, data + size);
    buffer.insert(buffer.end(), {0xFF, 0xFF});
    return RegSetValueExW(key, name, 0, type, buffer.data(), size);
}

[[nodiscard]] LSTATUS CopyValues(HKEY source, HKEY target) {
    DWORD maxName = 0;
    DWORD maxData = 0;
    const LSTATUS info = RegQueryInfoKeyW(source, nullptr, nullptr, nullptr, nullptr, nullptr,
                                          nullptr, nullptr, &maxName, &maxData, nullptr, nullptr);
    if (info != ERROR_SUCCESS) return info;
    std::wstring name(maxName + 1, L'\0');
    std::vector<BYTE> data(maxData + 1);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = maxName + 1;
        DWORD size = maxData;
        DWORD type = REG_NONE;
        LSTATUS status =
            RegEnumValueW(source, i, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (status == ERROR_SUCCESS)
            status = SetValueExactly(target, name.c_str(), type, data.data(), size);
        if (status != ERROR_SUCCESS) return status;
    }
}

[[nodiscard]] LSTATUS CopyTree(HKEY source, HKEY target);

[[nodiscard]] LSTATUS CopySubkey(HKEY source, HKEY target, const wchar_t* name) {
    const KeyInUse from = OpenKey(source, name, KEY_READ);
    if (from.status != ERROR_SUCCESS) return from.status;
    const KeyInUse to = CreateKey(target, name, KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
    if (to.status != ERROR_SUCCESS) return to.status;
    return CopyTree(from.handle, to.handle);
}

LSTATUS CopyTree(HKEY source, HKEY target) {
    LSTATUS status = CopyValues(source, target);
    for (DWORD i = 0; status == ERROR_SUCCESS; ++i) {
        std::array<wchar_t, 256> name{};  // key names hold at most 255 characters
        auto length = static_cast<DWORD>(name.size());
        status = RegEnumKeyExW(source, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (status == ERROR_SUCCESS) status = CopySubkey(source, target, name.data());
    }
    return status;
}

}  // namespace

RegText ReadRegText(HKEY root, std::wstring_view path, std::wstring_view valueName,
                    std::wstring_view defaultText) {
    const KeyInUse key = OpenKey(root, path, KEY_QUERY_VALUE);
    RegText read = key.status == ERROR_SUCCESS ? QueryText(key.handle, std::wstring(valueName))
                                               : RegText{FromStatus(key.status), {}};
    if (read.result.status != RegStatus::kDone) read.text = defaultText;
    return read;
}

RegResult WriteRegText(HKEY root, std::wstring_view path, std::wstring_view valueName,
                       std::wstring_view text) {
    if (text.size() >= std::numeric_limits<DWORD>::max() / sizeof(wchar_t) - 1) {
        return Failure(ERROR_INVALID_PARAMETER);
    }
    const KeyInUse key = CreateKey(root, path, KEY_SET_VALUE);
    if (key.status != ERROR_SUCCESS) return Failure(key.status);
    // With its terminating zero, so that every reader, an export among them,
    // takes the whole text.
    const std::wstring data(text);
    return FromStatus(RegSetValueExW(key.handle, std::wstring(valueName).c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(data.c_str()),
                                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))));
}

RegResult RemoveRegKey(HKEY root, std::wstring_view path) {
    if (path.empty()) return Failure(ERROR_INVALID_PARAMETER);
    // RegDeleteKeyW refuses a key that has subkeys, such as a day key with
    // its "task"; the tree deletion also removes the named key itself.
    return FromStatus(RegDeleteTreeW(root, std::wstring(path).c_str()));
}

RegResult CopyRegTree(HKEY source, HKEY target) {
    return FromStatus(CopyTree(source, target));
}

std::wstring FillInserts(std::wstring_view text, std::wstring_view subject) {
    std::wstring filled;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%' || i + 1 == text.size()) {
            filled += text[i];
            continue;
        }
        const wchar_t next = text[++i];
        if (next >= L'1' && next <= L'9') {
            while (i + 1 < text.size() && text[i + 1] >= L'0' && text[i + 1] <= L'9')
                ++i;
            // "%1!s!": the insert's format goes with it.
            if (i + 1 < text.size() && text[i + 1] == L'!') {
                const size_t end = text.find(L'!', i + 2);
                if (end != std::wstring_view::npos) i = end;
            }
            filled += subject;
        } else if (next == L'n' || next == L'r') {
            filled += L' ';
        } else if (next == L'0') {
            break;
        } else {
            filled += next;  // "%%", "%.", "%!"
        }
    }
    return filled;
}

std::wstring SystemErrorText(unsigned long error, std::wstring_view subject) {
    std::wstring text(512, L'\0');
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    text = FillInserts(std::wstring_view(text.data(), length), subject);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) text = L"System error " + std::to_wstring(error);
    return text;
}

}  // namespace velmi
