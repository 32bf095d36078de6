#include "control_support.h"

#include "proc_address.h"

#include <gtest/gtest.h>
#include <oleauto.h>

#include <cstdio>

namespace nuv::test {
namespace {

using AtlAxWinInitFn = BOOL(WINAPI*)();
using AtlAxGetControlFn = HRESULT(WINAPI*)(HWND, IUnknown**);

HMODULE Atl() {
    static HMODULE atl = LoadLibraryW(L"atl.dll");
    return atl;
}

VARIANT Invoke(IDispatch* control, DISPID id, WORD flags, std::vector<VARIANT> args,
               HRESULT expected = S_OK) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, nullptr,
                              nullptr),
              expected);
    return result;
}

}  // namespace

std::wstring BinDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path);
    return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

ComPtr<IDispatch> CreateControl() {
    ComPtr<IDispatch> control;
    EXPECT_EQ(
        CoCreateInstance(CLSID_Nuvender, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control)),
        S_OK);
    return control;
}

std::wstring GetText(IDispatch* control) {
    VARIANT v = Invoke(control, kTextDispId, DISPATCH_PROPERTYGET, {});
    std::wstring text;
    if (v.vt == VT_BSTR) text.assign(v.bstrVal, SysStringLen(v.bstrVal));
    VariantClear(&v);
    return text;
}

void PutText(IDispatch* control, const std::wstring& text) {
    VARIANT arg;
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    VARIANT r = Invoke(control, kTextDispId, DISPATCH_PROPERTYPUT, {arg});
    VariantClear(&arg);
    VariantClear(&r);
}

void PutDate(IDispatch* control, DATE date) {
    VARIANT arg;
    arg.vt = VT_DATE | VT_BYREF;
    arg.pdate = &date;
    VARIANT r = Invoke(control, kPutDateDispId, DISPATCH_METHOD, {arg});
    VariantClear(&r);
}

DATE Date(int year, int month, int day) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    DATE d = 0;
    SystemTimeToVariantTime(&st, &d);
    return d;
}

STDMETHODIMP ChangeSink::QueryInterface(REFIID riid, void** out) {
    // The control asks its sinks for the event interface, which is IDispatch.
    return OnStack::QueryInterface(riid == DIID___Nuvender ? IID_IDispatch : riid, out);
}

STDMETHODIMP ChangeSink::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

STDMETHODIMP ChangeSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                EXCEPINFO*, UINT*) {
    EXPECT_EQ(id, kChangeDispId);
    EXPECT_EQ(params->cArgs, 0u);
    texts.push_back(GetText(control_));
    if (onChange) onChange();
    return S_OK;
}

void ChangeSink::Advise() {
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(control_->QueryInterface(IID_PPV_ARGS(&container)), S_OK);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(DIID___Nuvender, &point), S_OK);
    ASSERT_EQ(point->Advise(this, &cookie), S_OK);
}

void ChangeSink::Unadvise() {
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(control_->QueryInterface(IID_PPV_ARGS(&container)), S_OK);
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(DIID___Nuvender, &point), S_OK);
    ASSERT_EQ(point->Unadvise(cookie), S_OK);
}

AtlHost::AtlHost(int clientWidth, int clientHeight) {
    static const bool registered = [] {
        auto init = velmi::test::ProcAddress<AtlAxWinInitFn>(Atl(), "AtlAxWinInit");
        return init && init();
    }();
    EXPECT_TRUE(registered);
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, FALSE, 0);
    top_ =
        CreateWindowExW(0, L"Static", L"Calendar host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 20,
                        20, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
    host_ = CreateWindowExW(0, L"AtlAxWin", L"Ruviruve.Nuvender", WS_CHILD | WS_VISIBLE, 0, 0,
                            clientWidth, clientHeight, top_, nullptr, nullptr, nullptr);
    EXPECT_NE(host_, nullptr);
    ShowWindow(top_, SW_SHOW);
    UpdateWindow(top_);
    auto get = velmi::test::ProcAddress<AtlAxGetControlFn>(Atl(), "AtlAxGetControl");
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(get(host_, &unknown), S_OK);
    if (unknown) {
        EXPECT_EQ(unknown.As(&control_), S_OK);
    }
    Pump();
}

AtlHost::~AtlHost() {
    control_.Reset();
    DestroyWindow(top_);
    Pump();
}

HWND AtlHost::Surface() const {
    return FindWindowExW(host_, nullptr, L"NuvenderSurface", nullptr);
}

HWND AtlHost::Part(int id) const {
    HWND surface = Surface();
    if (id == kDateBoxId || id == kFrameId) return GetDlgItem(surface, id);
    return GetDlgItem(GetDlgItem(surface, kFrameId), id);
}

std::wstring AtlHost::Text(int id) const {
    wchar_t text[256] = {};
    GetWindowTextW(Part(id), text, 256);
    return text;
}

void Pump() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

void Click(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    ClickAt(window, {(r.right - r.left) / 2, (r.bottom - r.top) / 2});
}

void ClickAt(HWND window, POINT client) {
    const LPARAM at = MAKELPARAM(client.x, client.y);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(window, WM_LBUTTONUP, 0, at);
    Pump();
}

POINT ScreenCentre(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void BringToFront(HWND top) {
    SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(top);
    Pump();
}

bool RealClick(POINT screen) {
    // Absolute input is normalised to 0 .. 65535 across the screen; rounding
    // up makes the platform's truncating scale-back land on the same pixel.
    const LONG width = GetSystemMetrics(SM_CXSCREEN);
    const LONG height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3]{};
    for (INPUT& input : inputs)
        input.type = INPUT_MOUSE;
    inputs[0].mi.dx = (screen.x * 65536 + width - 1) / width;
    inputs[0].mi.dy = (screen.y * 65536 + height - 1) / height;
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    if (SendInput(3, inputs, sizeof(INPUT)) != 3) {
        ADD_FAILURE() << "SendInput refused the click";
        return false;
    }
    // The input is queued for whichever thread owns the window under the
    // pointer; it is handled only while we pump.
    bool released = false;
    const DWORD start = GetTickCount();
    while (!released && GetTickCount() - start < 3000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            released = released || msg.message == WM_LBUTTONUP;
        }
        if (!released) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    Pump();
    POINT at{};
    GetCursorPos(&at);
    EXPECT_TRUE(at.x == screen.x && at.y == screen.y)
        << "pointer at " << at.x << "," << at.y << " not " << screen.x << "," << screen.y;
    if (!released) ADD_FAILURE() << "the click at " << screen.x << "," << screen.y << " never came";
    return released;
}

COLORREF ColourAt(HWND window, int x, int y) {
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

int GreenCell(const AtlHost& host) {
    for (int i = 0; i < kDayCount; ++i) {
        HWND day = host.Day(i);
        // Inside the dotted focus rectangle a clicked cell draws one pixel in.
        if (IsWindowVisible(day) && ColourAt(day, 2, 2) == RGB(0, 255, 0)) return i;
    }
    return -1;
}

}  // namespace nuv::test
