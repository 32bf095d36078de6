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

#include "layout.h"
#include "screenshot.h"
#include "win_com.h"
#include "nuv_h.h"

namespace nuv::test {

using velmi::test::SaveScreenshot;

using Microsoft::WRL::ComPtr;

// Directory of the running test executable, where Nuv.ocx is built too.
[[nodiscard]] std::wstring BinDirectory();

[[nodiscard]] ComPtr<IDispatch> CreateControl();
[[nodiscard]] std::wstring GetText(IDispatch* control);
void PutText(IDispatch* control, const std::wstring& text);
void PutDate(IDispatch* control, DATE date);
[[nodiscard]] DATE Date(int year, int month, int day);

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

// Counts Change events and records the control's text at each one.
class ChangeSink final : public OnStack<IDispatch> {
public:
    explicit ChangeSink(IDispatch* control) : control_(control) {}
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override;
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override;

    void Advise();
    void Unadvise();
    [[nodiscard]] size_t Count() const { return texts.size(); }
    void Clear() { texts.clear(); }

    std::vector<std::wstring> texts;  // the control's text at each Change
    std::function<void()> onChange;   // runs inside the event
    DWORD cookie = 0;

private:
    IDispatch* control_;
};

// The control hosted in place by Wine's ActiveX host window (atl.dll's
// "AtlAxWin") inside a top-level window of its own.
class AtlHost {
public:
    AtlHost(int clientWidth = 260, int clientHeight = 320);
    ~AtlHost();
    AtlHost(const AtlHost&) = delete;
    AtlHost& operator=(const AtlHost&) = delete;

    [[nodiscard]] IDispatch* Control() const { return control_.Get(); }
    [[nodiscard]] HWND Top() const { return top_; }
    [[nodiscard]] HWND Host() const { return host_; }
    [[nodiscard]] HWND Surface() const;
    [[nodiscard]] HWND Part(int id) const;  // a child of the control by its identifier
    [[nodiscard]] HWND Day(int index) const { return Part(kDayIdBase + index); }
    [[nodiscard]] std::wstring Text(int id) const;

private:
    HWND top_ = nullptr;
    HWND host_ = nullptr;
    ComPtr<IDispatch> control_;
};

// Lets pending window messages run.
void Pump();
// A click as the mouse makes it: button down and up at the centre of a window.
void Click(HWND window);
// The same at a point of a window's client area.
void ClickAt(HWND window, POINT client);
// Where a window's centre is on the screen.
[[nodiscard]] POINT ScreenCentre(HWND window);
// Raises a top-level window above the others and makes it the foreground
// window, so real input at its place reaches it.
void BringToFront(HWND top);
// Real input: the pointer moves to a point of the screen and the left button
// is pressed and released there, so the window system's own hit-testing
// picks the window. Returns once the release has been handled; false (with a
// test failure) when the input never arrived.
bool RealClick(POINT screen);
// Where the green (selected) cell is, or -1.
[[nodiscard]] int GreenCell(const AtlHost& host);
[[nodiscard]] COLORREF ColourAt(HWND window, int x, int y);

}  // namespace nuv::test
