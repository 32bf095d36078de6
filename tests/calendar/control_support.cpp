#include "control_support.h"

#include "proc_address.h"

#include <gtest/gtest.h>
#include <oleauto.h>

namespace nuv::test {
namespace {

// The control's own interface, behind the IDispatch that containers call.
ComPtr<_Nuvender> Typed(IDispatch* control) {
    ComPtr<_Nuvender> typed;
    EXPECT_EQ(control->QueryInterface(IID_PPV_ARGS(&typed)), S_OK);
    return typed;
}

}  // namespace

ComPtr<IDispatch> CreateControl() {
    ComPtr<IDispatch> control;
    EXPECT_EQ(
        CoCreateInstance(CLSID_Nuvender, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control)),
        S_OK);
    return control;
}

std::wstring GetText(IDispatch* control) {
    BSTR text = nullptr;
    EXPECT_EQ(Typed(control)->get_text(&text), S_OK);
    const std::wstring copy = text ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return copy;
}

void PutText(IDispatch* control, const std::wstring& text) {
    BSTR value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    EXPECT_EQ(Typed(control)->put_text(value), S_OK);
    SysFreeString(value);
}

HRESULT PutDate(IDispatch* control, DATE date) {
    return Typed(control)->putdate(&date);
}

STDMETHODIMP ChangeSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                EXCEPINFO*, UINT*) {
    EXPECT_EQ(id, kChangeDispId);
    EXPECT_EQ(params->cArgs, 0u);
    texts.push_back(GetText(control_));
    if (onChange) onChange();
    return S_OK;
}

void ChangeSink::Connect(bool on) {
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(control_->QueryInterface(IID_PPV_ARGS(&container)), S_OK);
    ASSERT_EQ(container->FindConnectionPoint(DIID___Nuvender, &point), S_OK);
    if (on) {
        ASSERT_EQ(point->Advise(this, &cookie_), S_OK);
    } else if (cookie_) {
        ASSERT_EQ(point->Unadvise(std::exchange(cookie_, 0)), S_OK);
    }
}

AtlHost::AtlHost() {
    static HMODULE atl = LoadLibraryW(L"atl.dll");
    static const bool registered = [] {
        auto init = velmi::test::ProcAddress<BOOL(WINAPI*)()>(atl, "AtlAxWinInit");
        return init && init();
    }();
    EXPECT_TRUE(registered);
    top_ = CreateWindowExW(0, L"Static", L"Calendar host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                           20, 20, 300, 380, nullptr, nullptr, nullptr, nullptr);
    host_ = CreateWindowExW(0, L"AtlAxWin", L"Ruviruve.Nuvender", WS_CHILD | WS_VISIBLE, 0, 0, 260,
                            320, top_, nullptr, nullptr, nullptr);
    EXPECT_NE(host_, nullptr);
    ShowWindow(top_, SW_SHOW);
    // Real input reaches only the foreground window.
    SetForegroundWindow(top_);
    auto get = velmi::test::ProcAddress<HRESULT(WINAPI*)(HWND, IUnknown**)>(atl, "AtlAxGetControl");
    ComPtr<IUnknown> unknown;
    EXPECT_TRUE(SUCCEEDED(get(host_, &unknown)) && SUCCEEDED(unknown.As(&control_)));
    Pump();
}

AtlHost::~AtlHost() {
    control_.Reset();
    DestroyWindow(top_);
    Pump();
}

HWND AtlHost::Part(int id) const {
    HWND surface = FindWindowExW(host_, nullptr, L"NuvenderSurface", nullptr);
    if (id == kDateBoxId || id == kFrameId) return GetDlgItem(surface, id);
    return GetDlgItem(GetDlgItem(surface, kFrameId), id);
}

int AtlHost::GreenCell() const {
    for (int i = 0; i < kDayCount; ++i) {
        HWND day = Day(i);
        UpdateWindow(day);
        HDC dc = GetDC(day);
        // Inside the dotted focus rectangle a clicked cell draws one pixel in.
        const bool green = GetPixel(dc, 2, 2) == RGB(0, 255, 0);
        ReleaseDC(day, dc);
        if (IsWindowVisible(day) && green) return i;
    }
    return -1;
}

bool RealClick(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT inputs[2]{{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    EXPECT_EQ(SendInput(2, inputs, sizeof(INPUT)), 2u);
    // The input is queued for the thread that owns the window under the
    // pointer; it is handled only while we pump.
    bool released = false;
    EXPECT_TRUE(velmi::test::PumpUntil([&] { return released; }, std::chrono::seconds(3),
                                       [&](MSG& msg) {
                                           released = released || msg.message == WM_LBUTTONUP;
                                           return false;
                                       }))
        << "the click never came";
    Pump();
    return released;
}

}  // namespace nuv::test
