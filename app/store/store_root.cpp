#include "store_root.h"

#include "note_keys.h"
#include "registry.h"

#include <string>

namespace velmi {
namespace {

const std::wstring kStoreKey(kStoreKeyPath);

[[nodiscard]] LSTATUS OpenKey(HKEY root, const wchar_t* path, REGSAM access, unique_hkey& out) {
    return RegOpenKeyExW(root, path, 0, access, out.put());
}

[[nodiscard]] bool StoreExists(HKEY root) {
    unique_hkey key;
    return OpenKey(root, kStoreKey.c_str(), KEY_READ, key) == ERROR_SUCCESS;
}

[[nodiscard]] RegResult Failure(LSTATUS status) noexcept {
    return {RegStatus::kFailed, static_cast<unsigned long>(status)};
}

// Copies the machine's whole store key, day keys and notes, into the user root.
[[nodiscard]] RegResult CopyStore(HKEY machine, HKEY user) {
    unique_hkey source;
    const LSTATUS opened = OpenKey(machine, kStoreKey.c_str(), KEY_READ, source);
    if (opened == ERROR_FILE_NOT_FOUND) return {RegStatus::kMissing, 0};
    if (opened != ERROR_SUCCESS) return Failure(opened);
    unique_hkey target;
    const LSTATUS status =
        RegCreateKeyExW(user, kStoreKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, target.put(), nullptr);
    if (status != ERROR_SUCCESS) return Failure(status);
    return CopyRegTree(source.get(), target.get());
}

}  // namespace

bool CanWriteStore(HKEY machine) {
    unique_hkey key;
    const LSTATUS status =
        OpenKey(machine, kStoreKey.c_str(), KEY_SET_VALUE | KEY_CREATE_SUB_KEY, key);
    if (status == ERROR_SUCCESS) return true;
    if (status != ERROR_FILE_NOT_FOUND) return false;
    return OpenKey(machine, L"Software", KEY_CREATE_SUB_KEY, key) == ERROR_SUCCESS;
}

StoreRootChoice ChooseStoreRoot(HKEY machine, HKEY user, bool machineWritable) {
    if (StoreExists(user)) return {user, false, {RegStatus::kMissing, 0}};
    if (machineWritable) return {machine, false, {RegStatus::kMissing, 0}};
    const RegResult copy = CopyStore(machine, user);
    return {user, copy.status == RegStatus::kDone, copy};
}

}  // namespace velmi
