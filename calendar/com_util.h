// Small helpers that keep COM code on its happy path.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <wrl/client.h>

#include <atomic>

namespace nuv {

using Microsoft::WRL::ComPtr;

#define NUV_RETURN_IF_FAILED(expr)           \
    do {                                     \
        const HRESULT nuv_hr_ = (expr);      \
        if (FAILED(nuv_hr_)) return nuv_hr_; \
    } while (false)

// Takes over a reference the caller already owns. (mingw's ComPtr::Attach
// adds a reference of its own, unlike the platform's.)
template <typename T>
[[nodiscard]] ComPtr<T> Adopt(T* owned) noexcept {
    ComPtr<T> result;
    *result.GetAddressOf() = owned;
    return result;
}

// Live objects and server locks of this library; it may unload when both are zero.
class ModuleCount {
public:
    static void Add() noexcept { ++count_; }
    static void Remove() noexcept { --count_; }
    [[nodiscard]] static long Value() noexcept { return count_; }

private:
    static inline std::atomic<long> count_{0};
};

// Reference counting for our objects; each one keeps the library loaded.
class RefCounted {
public:
    RefCounted() noexcept { ModuleCount::Add(); }
    virtual ~RefCounted() { ModuleCount::Remove(); }
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

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

// QueryInterface for an object that answers the listed interfaces.
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

}  // namespace nuv
