// Small helpers that keep COM code on its happy path, for both deliverables.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <wrl/client.h>

#include <atomic>
#include <type_traits>

namespace velmi {

using Microsoft::WRL::ComPtr;

#define VELMI_RETURN_IF_FAILED(expr)             \
    do {                                         \
        const HRESULT velmi_hr_ = (expr);        \
        if (FAILED(velmi_hr_)) return velmi_hr_; \
    } while (false)

// Takes over a reference the caller already owns. (mingw's ComPtr::Attach
// adds a reference of its own, unlike the platform's.)
template <typename T>
[[nodiscard]] ComPtr<T> Adopt(T* owned) noexcept {
    ComPtr<T> result;
    *result.GetAddressOf() = owned;
    return result;
}

// The reference count of an object of ours; it deletes the object at zero.
// A new object starts with the one reference its creator holds.
class ComRefCount {
public:
    ComRefCount() noexcept = default;
    virtual ~ComRefCount() = default;
    ComRefCount(const ComRefCount&) = delete;
    ComRefCount& operator=(const ComRefCount&) = delete;

protected:
    ULONG AddRefImpl() noexcept { return ++refs_; }
    ULONG ReleaseImpl() noexcept {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> refs_{1};
};

// QueryInterface for an object that answers the listed interfaces (the
// first one also stands for IUnknown).
template <typename Self, typename First, typename... Rest>
HRESULT QueryInterfaces(Self* self, REFIID riid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (riid == __uuidof(IUnknown)) {
        *out = static_cast<IUnknown*>(static_cast<First*>(self));
    } else {
        auto match = [&](auto* iface) {
            using I = std::remove_pointer_t<decltype(iface)>;
            if (!*out && riid == __uuidof(I)) *out = iface;
        };
        match(static_cast<First*>(self));
        (match(static_cast<Rest*>(self)), ...);
    }
    if (!*out) return E_NOINTERFACE;
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
}

}  // namespace velmi
