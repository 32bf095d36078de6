// The control's outgoing interface: one connection point for __Nuvender.
#pragma once

#include "com_util.h"

#include <ocidl.h>

#include <utility>
#include <vector>

namespace nuv {

class ChangeConnectionPoint final : public IConnectionPoint, public RefCounted {
public:
    // The container is not counted: the control owns this object and lives
    // at least as long as anybody raises events through it.
    explicit ChangeConnectionPoint(IConnectionPointContainer* container) noexcept
        : container_(container) {}

    // Raises Change on every sink, synchronously. A sink may unadvise itself
    // or another sink meanwhile; a sink gone before its turn is skipped.
    void FireChange() noexcept;
    void Disconnect() noexcept { container_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID riid, void** out) noexcept override {
        return QueryInterfaces<ChangeConnectionPoint, IConnectionPoint>(this, riid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return ReleaseImpl(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) noexcept override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) noexcept override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) noexcept override;
    STDMETHODIMP Unadvise(DWORD cookie) noexcept override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) noexcept override;

private:
    IConnectionPointContainer* container_;
    std::vector<std::pair<DWORD, ComPtr<IDispatch>>> sinks_;
    DWORD nextCookie_ = 1;
};

// An enumerator over the one connection point of a control.
[[nodiscard]] HRESULT CreateConnectionPointEnum(IConnectionPoint* point,
                                                IEnumConnectionPoints** out) noexcept;

}  // namespace nuv
