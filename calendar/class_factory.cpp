#include "class_factory.h"

#include "nuvender.h"

#include <new>

namespace nuv {
namespace {

class ClassFactory final : public IClassFactory, public RefCounted {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) noexcept override {
        return QueryInterfaces<ClassFactory, IClassFactory>(this, riid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return ReleaseImpl(); }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return CreateNuvender(riid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) noexcept override {
        lock ? ModuleCount::Add() : ModuleCount::Remove();
        return S_OK;
    }
};

}  // namespace

HRESULT CreateClassFactory(REFIID riid, void** out) noexcept {
    auto* factory = new (std::nothrow) ClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, out);
    factory->Release();
    return hr;
}

}  // namespace nuv
