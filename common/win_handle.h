// One owner for each handle the program holds: the handle is released exactly
// once, when its owner goes, and never by hand.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace velmi {

// Owns a handle of type T and releases it with Close unless it is Invalid.
template <typename T, auto Close, T Invalid = T{}>
class unique_any {
public:
    unique_any() noexcept = default;
    explicit unique_any(T handle) noexcept : handle_(handle) {}
    ~unique_any() { reset(); }
    unique_any(unique_any&& other) noexcept : handle_(other.release()) {}
    unique_any& operator=(unique_any&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    unique_any(const unique_any&) = delete;
    unique_any& operator=(const unique_any&) = delete;

    [[nodiscard]] T get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Invalid; }

    // Releases what is held and takes over the given handle.
    void reset(T handle = Invalid) noexcept {
        if (handle_ != Invalid) Close(handle_);
        handle_ = handle;
    }
    [[nodiscard]] T release() noexcept { return std::exchange(handle_, Invalid); }

    // For functions that hand out a handle through a pointer: releases what
    // is held first.
    [[nodiscard]] T* put() noexcept {
        reset();
        return &handle_;
    }

private:
    T handle_ = Invalid;
};

namespace handle_detail {
inline void CloseKey(HKEY key) noexcept {
    ::RegCloseKey(key);
}
inline void DeleteGdiObject(HGDIOBJ object) noexcept {
    ::DeleteObject(object);
}
inline void DestroyIconHandle(HICON icon) noexcept {
    ::DestroyIcon(icon);
}
inline void CloseKernelHandle(HANDLE handle) noexcept {
    ::CloseHandle(handle);
}
inline void FreeString(BSTR text) noexcept {
    ::SysFreeString(text);
}
}  // namespace handle_detail

using unique_hkey = unique_any<HKEY, handle_detail::CloseKey>;
using unique_hfont = unique_any<HFONT, handle_detail::DeleteGdiObject>;
using unique_hbrush = unique_any<HBRUSH, handle_detail::DeleteGdiObject>;
using unique_hbitmap = unique_any<HBITMAP, handle_detail::DeleteGdiObject>;
using unique_hicon = unique_any<HICON, handle_detail::DestroyIconHandle>;
// Mutexes, events, processes and threads: their "no handle" is null.
using unique_handle = unique_any<HANDLE, handle_detail::CloseKernelHandle>;
using unique_bstr = unique_any<BSTR, handle_detail::FreeString>;

// A VARIANT that clears itself: its contents are released with it.
class unique_variant : public VARIANT {
public:
    unique_variant() noexcept { VariantInit(this); }
    ~unique_variant() { VariantClear(this); }
    unique_variant(const unique_variant&) = delete;
    unique_variant& operator=(const unique_variant&) = delete;

    // Clears what is held, for functions that fill a VARIANT they are given.
    [[nodiscard]] VARIANT* put() noexcept {
        VariantClear(this);
        return this;
    }
};

// A failed call's last error as an HRESULT; a failure that set no error is
// still a failure.
[[nodiscard]] inline HRESULT LastErrorResult() noexcept {
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

}  // namespace velmi
