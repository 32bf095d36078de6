// COM helpers for the calendar library: the shared ones, and the count of
// live objects and server locks that tells when the library may unload.
#pragma once

#include "win_com.h"

#include <atomic>

namespace nuv {

using velmi::Adopt;
using velmi::ComPtr;
using velmi::QueryInterfaces;

class ModuleCount {
public:
    static void Add() noexcept { ++count_; }
    static void Remove() noexcept { --count_; }
    [[nodiscard]] static long Value() noexcept { return count_; }

private:
    static inline std::atomic<long> count_{0};
};

// Reference counting for our objects; each one keeps the library loaded.
class RefCounted : public velmi::ComRefCount {
public:
    RefCounted() noexcept { ModuleCount::Add(); }
    ~RefCounted() override { ModuleCount::Remove(); }
};

}  // namespace nuv
