// Test helpers that use the calendar control the way containers do: through
// COM, IDispatch, a real event sink and Wine's own ActiveX host window.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <functional>
#include <string>
#include <vector>

#include "calendar_model.h"
#include "nuv_contract.h"
#include "window_input.h"
#include "win_com.h"
#include "nuv_h.h"

namespace nuv::test {

using Microsoft::WRL::ComPtr;

[[nodiscard]] ComPtr<IDispatch> CreateControl();
[[nodiscard]] std::wstring GetText(IDispatch* control);
void PutText(IDispatch* control, const std::wstring& text);
HRESULT PutDate(IDispatch* control, DATE date);
[[nodiscard]] inline DATE Date(int year, int month, int day) {
    return velmi::SerialFromCivil({year, month, day});
}

// A COM object on the test's stack: it counts references, so that a test
// can see the control give back all it took, and never deletes itself.
template <typename Interface>
class OnStack : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        return velmi::QueryInterfaces<OnStack, Interface>(this, riid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; }
    [[nodiscard]] ULONG Refs() const { return refs_; }

private:
    ULONG refs_ = 1;
};

// An IDispatch that is reached only by DISPID.
class DispatchOnStack : public OnStack<IDispatch> {
public:
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
};

// Records the control's text at each Change event.
class ChangeSink final : public DispatchOnStack {
public:
    explicit ChangeSink(IDispatch* control) : control_(control) { Connect(true); }
    ~ChangeSink() { Connect(false); }
    // The control asks its sinks for the event interface, which is IDispatch.
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        return OnStack::QueryInterface(riid == DIID___Nuvender ? IID_IDispatch : riid, out);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override;
    // Advises or unadvises; a sink may leave from inside the event.
    void Connect(bool on);

    std::vector<std::wstring> texts;  // the control's text at each Change
    std::function<void()> onChange;   // runs inside the event

private:
    IDispatch* control_;
    DWORD cookie_ = 0;
};

// The control hosted in place by Wine's ActiveX host window (atl.dll's
// "AtlAxWin") inside a top-level window of its own.
class AtlHost {
public:
    AtlHost();
    ~AtlHost();
    AtlHost(const AtlHost&) = delete;
    AtlHost& operator=(const AtlHost&) = delete;

    [[nodiscard]] IDispatch* Control() const { return control_.Get(); }
    [[nodiscard]] HWND Top() const { return top_; }
    [[nodiscard]] HWND Part(int id) const;  // a child of the control by its identifier
    [[nodiscard]] HWND Day(int index) const { return Part(kDayIdBase + index); }
    [[nodiscard]] std::wstring Text(int id) const { return velmi::test::WindowText(Part(id)); }
    [[nodiscard]] int GreenCell() const;  // the selected cell by its colour, or -1

private:
    HWND top_ = nullptr;
    HWND host_ = nullptr;
    ComPtr<IDispatch> control_;
};

using velmi::test::Pump;
// Real input: the pointer moves to the centre of the window and the left
// button is pressed and released there, so the window system's own
// hit-testing picks the window that gets it. False (with a test failure)
// when the input never arrived.
bool RealClick(HWND window);

}  // namespace nuv::test
