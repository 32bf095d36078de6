#include "single_instance.h"

namespace velmi {

bool SingleInstance::AnotherCopyRuns(const std::wstring& name) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    const bool exists = mutex && GetLastError() == ERROR_ALREADY_EXISTS;
    mutex_.reset(mutex);
    return exists;
}

}  // namespace velmi
