#include "events.h"

#include "nuv_contract.h"
#include "nuv_h.h"

#include <olectl.h>

#include <algorithm>
#include <new>

namespace nuv {
namespace {

// A snapshot enumerator over a list of items, as IEnumConnections and
// IEnumConnectionPoints both need. It holds a reference on each item.
template <typename Enum, typename Item, const IID& kIid>
class ListEnum final : public Enum, public RefCounted {
public:
    using Copy = void (*)(const Item& from, Item* to);
    ListEnum(Copy copy, void (*release)(Item&)) noexcept : copy_(copy), release_(release) {}

    // A new enumerator over copies of the items, or null when there is no
    // memory for it; nothing is left counted then.
    [[nodiscard]] static ListEnum* Create(const std::vector<Item>& items, Copy copy,
                                          void (*release)(Item&)) noexcept {
        auto* list = new (std::nothrow) ListEnum(copy, release);
        if (!list) return nullptr;
        try {
            list->items_.reserve(items.size());
        } catch (...) {
            list->Release();
            return nullptr;
        }
        for (const Item& item : items)
            copy(item, &list->items_.emplace_back());  // within the room reserved
        return list;
    }
    ~ListEnum() override {
        for (Item& item : items_)
            release_(item);
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid != IID_IUnknown && riid != kIid) return E_NOINTERFACE;
        *out = static_cast<Enum*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() noexcept override { return AddRefImpl(); }
    STDMETHODIMP_(ULONG) Release() noexcept override { return ReleaseImpl(); }

    STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) noexcept override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && next_ < items_.size(); ++n, ++next_)
            copy_(items_[next_], &out[n]);
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) noexcept override {
        const size_t left = items_.size() - next_;
        next_ += std::min<size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() noexcept override {
        next_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Enum** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        ListEnum* clone = Create(items_, copy_, release_);
        if (!clone) return E_OUTOFMEMORY;
        clone->next_ = next_;
        *out = clone;
        return S_OK;
    }

private:
    std::vector<Item> items_;
    size_t next_ = 0;
    Copy copy_;
    void (*release_)(Item&);
};

void CopyConnectData(const CONNECTDATA& from, CONNECTDATA* to) {
    *to = from;
    if (to->pUnk) to->pUnk->AddRef();
}
void ReleaseConnectData(CONNECTDATA& item) {
    if (item.pUnk) item.pUnk->Release();
}
void CopyPoint(IConnectionPoint* const& from, IConnectionPoint** to) {
    *to = from;
    from->AddRef();
}
void ReleasePoint(IConnectionPoint*& item) {
    item->Release();
}

using ConnectionsEnum = ListEnum<IEnumConnections, CONNECTDATA, IID_IEnumConnections>;
using PointsEnum = ListEnum<IEnumConnectionPoints, IConnectionPoint*, IID_IEnumConnectionPoints>;

}  // namespace

void ChangeConnectionPoint::FireChange() noexcept {
    if (sinks_.empty()) return;
    try {
        ComPtr<ChangeConnectionPoint> self(this);  // a sink may release the control meanwhile
        const auto snapshot = sinks_;
        for (const auto& [cookie, sink] : snapshot) {
            const auto still = std::find_if(sinks_.begin(), sinks_.end(),
                                            [&](const auto& s) { return s.first == cookie; });
            if (still == sinks_.end()) continue;
            DISPPARAMS none{};
            // A sink's own failure is its business; the next one still hears of it.
            (void)sink->Invoke(kChangeDispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none,
                               nullptr, nullptr, nullptr);
        }
    } catch (...) {
        // Out of memory for the snapshot: nobody hears of this change.
    }
}

STDMETHODIMP ChangeConnectionPoint::GetConnectionInterface(IID* iid) noexcept {
    if (!iid) return E_POINTER;
    *iid = DIID___Nuvender;
    return S_OK;
}

STDMETHODIMP ChangeConnectionPoint::GetConnectionPointContainer(
    IConnectionPointContainer** out) noexcept {
    if (!out) return E_POINTER;
    *out = container_;
    if (!container_) return E_UNEXPECTED;
    container_->AddRef();
    return S_OK;
}

STDMETHODIMP ChangeConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) noexcept {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    ComPtr<IDispatch> dispatch;
    if (FAILED(sink->QueryInterface(DIID___Nuvender, &dispatch)) &&
        FAILED(sink->QueryInterface(IID_PPV_ARGS(&dispatch)))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    try {
        sinks_.emplace_back(nextCookie_, std::move(dispatch));
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    *cookie = nextCookie_++;
    return S_OK;
}

STDMETHODIMP ChangeConnectionPoint::Unadvise(DWORD cookie) noexcept {
    const auto it = std::find_if(sinks_.begin(), sinks_.end(),
                                 [&](const auto& s) { return s.first == cookie; });
    if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
    // The sink is let go only once it is off the list: its release may call
    // back into this connection point.
    const ComPtr<IDispatch> leaving = std::move(it->second);
    sinks_.erase(it);
    return S_OK;
}

STDMETHODIMP ChangeConnectionPoint::EnumConnections(IEnumConnections** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::vector<CONNECTDATA> items;  // not counted: the enumerator counts its copies
    try {
        for (const auto& [cookie, sink] : sinks_)
            items.push_back({sink.Get(), cookie});
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    *out = ConnectionsEnum::Create(items, CopyConnectData, ReleaseConnectData);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT CreateConnectionPointEnum(IConnectionPoint* point, IEnumConnectionPoints** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        *out = PointsEnum::Create({point}, CopyPoint, ReleasePoint);
    } catch (...) {
        // No room for the list of one.
    }
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace nuv
