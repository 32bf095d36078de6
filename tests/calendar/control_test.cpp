// The control as containers see it: what only a real control shows on top of
// the rules its model is tested for. Real clicks on each kind of part, the
// text a container reads inside Change, the Change counts that the date box
// window would otherwise break, tab order, drawing without a window, the
// message box's owner, persistence and the class factory. Then hostile
// callers: random IDispatch::Invoke calls and property bags.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <random>

#include "calendar_dates.h"
#include "calendar_model.h"
#include "layout.h"
#include "message_box_answerer.h"
#include "nuv_contract.h"
#include "nuv_h.h"
#include "proc_address.h"
#include "resource_usage.h"
#include "screenshot.h"
#include "win_com.h"
#include "win_gdi.h"
#include "win_handle.h"
#include "window_input.h"

namespace nuv::test {
namespace {

using Microsoft::WRL::ComPtr;
using namespace std::chrono_literals;
using velmi::test::MessageBoxAnswerer;
using velmi::test::ProcAddress;
using velmi::test::Pump;
using Texts = std::vector<std::wstring>;
using Date = velmi::CivilDate;

constexpr COLORREF kGreen = RGB(0, 255, 0);

DATE Serial(const Date& d) {
    return velmi::SerialFromCivil(d);
}

ComPtr<_Nuvender> CreateControl() {
    ComPtr<_Nuvender> c;
    EXPECT_EQ(CoCreateInstance(CLSID_Nuvender, nullptr, CLSCTX_INPROC, IID_PPV_ARGS(&c)), S_OK);
    return c;
}

std::wstring GetText(_Nuvender* control) {
    velmi::unique_bstr text;
    EXPECT_EQ(control->get_text(text.put()), S_OK);
    return {text ? text.get() : L"", SysStringLen(text.get())};
}

void PutText(_Nuvender* control, const std::wstring& text) {
    const velmi::unique_bstr value(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    EXPECT_EQ(control->put_text(value.get()), S_OK);
}

HRESULT PutDate(_Nuvender* control, DATE date) {
    return control->putdate(&date);
}

// A COM object on the test's stack: it counts references, so that a test
// can see the control give back all it took, and never deletes itself. As
// an IDispatch it is reached only by DISPID.
template <typename Interface>
class OnStack : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        return velmi::QueryInterfaces<OnStack, Interface>(this, riid, out);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        if (--refs_ == 1 && onLetGo) std::exchange(onLetGo, nullptr)();
        return refs_;
    }
    STDMETHODIMP GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
    [[nodiscard]] ULONG Refs() const { return refs_; }
    std::function<void()> onLetGo;  // runs when the control gives back its last reference

private:
    ULONG refs_ = 1;
};

// Records the control's text at each Change event.
class ChangeSink final : public OnStack<IDispatch> {
public:
    explicit ChangeSink(_Nuvender* control) : control_(control) { Connect(true); }
    ~ChangeSink() { Connect(false); }
    // The control asks its sinks for the event interface, which is IDispatch.
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        return OnStack::QueryInterface(riid == DIID___Nuvender ? IID_IDispatch : riid, out);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        EXPECT_EQ(id, kChangeDispId);
        EXPECT_EQ(params->cArgs, 0u);
        texts.push_back(GetText(control_));
        if (onChange) onChange();
        return S_OK;
    }
    // Advises or unadvises; a sink may leave from inside the event.
    void Connect(bool on) {
        if (!on && !cookie_) return;
        ComPtr<IConnectionPointContainer> container;
        ComPtr<IConnectionPoint> point;
        ASSERT_EQ(control_->QueryInterface(IID_PPV_ARGS(&container)), S_OK);
        ASSERT_EQ(container->FindConnectionPoint(DIID___Nuvender, &point), S_OK);
        EXPECT_EQ(on ? point->Advise(this, &cookie_) : point->Unadvise(std::exchange(cookie_, 0)),
                  S_OK);
    }

    std::vector<std::wstring> texts;  // the control's text at each Change
    std::function<void()> onChange;   // runs inside the event

private:
    _Nuvender* control_;
    DWORD cookie_ = 0;
};

// The control hosted in place by Wine's ActiveX host window (atl.dll's
// "AtlAxWin") inside a top-level window of its own.
class AtlHost {
public:
    AtlHost() {
        static HMODULE atl = LoadLibraryW(L"atl.dll");
        static const BOOL registered = ProcAddress<BOOL(WINAPI*)()>(atl, "AtlAxWinInit")();
        EXPECT_TRUE(registered);
        const auto scaled = [](int pixels) { return MulDiv(pixels, GetDpiForSystem(), 96); };
        top_ =
            CreateWindowExW(0, L"Static", L"Calendar host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            20, 20, scaled(300), scaled(380), nullptr, nullptr, nullptr, nullptr);
        host_ = CreateWindowExW(0, L"AtlAxWin", L"Ruviruve.Nuvender", WS_CHILD | WS_VISIBLE, 0, 0,
                                scaled(260), scaled(320), top_, nullptr, nullptr, nullptr);
        ShowWindow(top_, SW_SHOW);
        SetForegroundWindow(top_);  // real input reaches only the foreground window
        auto get = ProcAddress<HRESULT(WINAPI*)(HWND, IUnknown**)>(atl, "AtlAxGetControl");
        ComPtr<IUnknown> unknown;
        EXPECT_TRUE(host_ && SUCCEEDED(get(host_, &unknown)) && SUCCEEDED(unknown.As(&control_)));
        Pump();
    }
    ~AtlHost() {
        control_.Reset();
        DestroyWindow(top_);
        Pump();
    }

    [[nodiscard]] _Nuvender* Control() const { return control_.Get(); }
    [[nodiscard]] HWND Top() const { return top_; }
    // A part of the control by its identifier.
    [[nodiscard]] HWND Part(int id) const { return velmi::test::Child(host_, id); }
    [[nodiscard]] HWND Day(int index) const { return Part(kDayIdBase + index); }
    [[nodiscard]] std::wstring Text(int id) const { return velmi::test::WindowText(Part(id)); }

private:
    HWND top_ = nullptr;
    HWND host_ = nullptr;
    ComPtr<_Nuvender> control_;
};

std::wstring TodayText() {
    wchar_t text[64] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, L"MMMM  d,  yyyy", text, 64, nullptr);
    return text;
}

// The single-line date box reports a change on every write, the same text
// included: only the shell's compare-before-write keeps these counts. A text
// that is no date is refused in a box owned by the container's window.
TEST(HostedControl, ChangeComesOnlyForARealChangeOfTheText) {
    AtlHost host;
    ChangeSink sink(host.Control()), leaver(host.Control());
    leaver.onChange = [&] { leaver.Connect(false); };  // a sink may leave inside the event
    MessageBoxAnswerer answerer;
    enum How { kPut, kPutDate };
    const struct {
        How how;
        const wchar_t* text;
        Texts raised;
    } rows[] = {
        {kPut, L"11-15-1999", Texts(2, L"November  15,  1999")},
        {kPut, L"November  15,  1999", {}},
        {kPut, L"tomorrow", {}},
        {kPutDate, L"36957.75", {L"March  7,  2001"}},  // 6 p.m. on 7 March 2001
        {kPutDate, L"36957", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        sink.texts.clear();
        if (row.how == kPut) PutText(host.Control(), row.text);
        if (row.how == kPutDate) (void)PutDate(host.Control(), std::stod(row.text));
        Pump();
        EXPECT_EQ(sink.texts, row.raised);
        EXPECT_EQ(host.Text(kDateBoxId), GetText(host.Control()));
    }
    EXPECT_EQ(leaver.texts.size(), 1u);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].owner, host.Top());
}

// A sink let go of may advise another from inside its release, as a
// container's may: the control's list is whole before it lets go.
TEST(Control, ASinkLetGoMayAdviseAnother) {
    ComPtr<_Nuvender> control = CreateControl();
    ChangeSink leaving(control.Get()), staying(control.Get());
    std::optional<ChangeSink> late;
    leaving.onLetGo = [&] { late.emplace(control.Get()); };
    leaving.Connect(false);
    ASSERT_TRUE(late);
    PutDate(control.Get(), Serial({2001, 3, 7}));
    EXPECT_EQ(staying.texts, Texts{L"March  7,  2001"});
    EXPECT_EQ(late->texts, Texts{L"March  7,  2001"});
}

TEST(Control, PutDateRefusesValuesThatNameNoDay) {
    ComPtr<_Nuvender> control = CreateControl();
    ASSERT_EQ(PutDate(control.Get(), velmi::SerialFromCivil({2001, 3, 7})), S_OK);
    for (double bad : {1e300, -1e300, 2958466.0, -657435.0, std::nan("")})
        EXPECT_EQ(PutDate(control.Get(), bad), E_INVALIDARG) << bad;
    EXPECT_EQ(PutDate(control.Get(), -1.25), S_OK);  // 29 December 1899, 6 a.m.
    EXPECT_EQ(GetText(control.Get()), L"December  29,  1899");
    // markday, on the newer interface, takes the same days.
    ComPtr<_Nuvender2> marker;
    ASSERT_EQ(control.As(&marker), S_OK);
    for (double bad : {1e300, 2958466.0, -657435.0, std::nan(""), HUGE_VAL})
        EXPECT_EQ(marker->markday(bad, VARIANT_TRUE), E_INVALIDARG) << bad;
    EXPECT_EQ(marker->markday(-1.25, VARIANT_TRUE), S_OK);
    EXPECT_EQ(GetText(control.Get()), L"December  29,  1899");
}

// A marked day's cell looks otherwise, on its own month's page only, until
// it is unmarked; the selected day can be marked too.
TEST(HostedControl, MarkedDaysLookOtherwiseUntilUnmarked) {
    AtlHost host;
    const DATE tenth = velmi::SerialFromCivil({2015, 2, 10});  // cell 9; the 11th in cell 10
    PutDate(host.Control(), tenth);
    ComPtr<_Nuvender2> marker;
    ASSERT_EQ(host.Control()->QueryInterface(IID_PPV_ARGS(&marker)), S_OK);
    const auto pixels = [&](int cell) { return velmi::test::ClientPixels(host.Day(cell)); };
    const auto plain = pixels(10), plainSelected = pixels(9);
    ASSERT_EQ(marker->markday(tenth + 1.5, VARIANT_TRUE), S_OK);
    ASSERT_EQ(marker->markday(tenth, VARIANT_TRUE), S_OK);
    EXPECT_NE(pixels(10), plain);
    EXPECT_NE(pixels(9), plainSelected);
    PutDate(host.Control(), tenth + 28);  // March: cell 10 holds the unmarked 11th
    EXPECT_EQ(pixels(10), plain);
    PutDate(host.Control(), tenth + 1);
    PutDate(host.Control(), tenth);
    EXPECT_NE(pixels(10), plain);
    ASSERT_EQ(marker->markday(tenth + 1, VARIANT_FALSE), S_OK);
    EXPECT_EQ(pixels(10), plain);
}

// Labels and weekday initials take the click (one that let it through to the
// frame would jump to today), each arrow and a day navigate, and the place of
// a hidden cell is the frame's. Inside Change the container already sees the new date box,
// year label and green cell.
TEST(HostedControl, RealClicksOnEachKindOfPart) {
    AtlHost host;
    PutDate(host.Control(), velmi::SerialFromCivil({2001, 3, 7}));
    ChangeSink sink(host.Control());
    Texts seen;
    sink.onChange = [&] {
        int green = -1;  // the cell drawn green one pixel inside its dotted focus rectangle
        for (int i = kDayCount - 1; i >= 0; --i) {
            HWND day = host.Day(i);
            HDC dc = (UpdateWindow(day), GetDC(day));
            if (IsWindowVisible(day) && GetPixel(dc, 2, 2) == RGB(0, 255, 0)) green = i;
            ReleaseDC(day, dc);
        }
        seen.push_back(host.Text(kDateBoxId) + L"|" + host.Text(kYearLabelId) + L"|" +
                       std::to_wstring(green));
    };
    for (int id : {kYearLabelId, kMonthLabelId})
        ASSERT_TRUE(velmi::test::RealClick(host.Part(id))) << "the click never came";
    // The frame draws the weekday initials: the tall Sunday one, where it
    // reaches into the hidden first cell, is clicked in the frame.
    const RECT sunday = velmi::TwipsToRect(WeekdayInitialRect(0), GetDpiForWindow(host.Top()));
    velmi::test::Click(host.Part(kFrameId), {(sunday.left + sunday.right) / 2, sunday.bottom - 2});
    EXPECT_TRUE(seen.empty());
    const struct {
        int part;
        Texts seen;
    } clicks[] = {
        {kArrowIdBase + 3, Texts(2, L"April  1,  2001| 2001|0")},    // next month
        {kArrowIdBase, {L"April  1,  2000| 2000|6"}},                // previous year
        {kArrowIdBase + 1, {L"April  1,  2001| 2001|0"}},            // next year
        {kArrowIdBase + 2, Texts(2, L"March  31,  2001| 2001|34")},  // previous month
        {kDayIdBase + 20, {L"March  17,  2001| 2001|20"}},           // Thursday the 1st in cell 4
    };
    for (const auto& click : clicks) {
        seen.clear();
        ASSERT_TRUE(velmi::test::RealClick(host.Part(click.part))) << "the click never came";
        EXPECT_EQ(seen, click.seen) << click.part;
    }
    velmi::test::SaveScreenshot(host.Top(), L"calendar_march_17_2001");
    sink.texts.clear();
    ASSERT_FALSE(IsWindowVisible(host.Day(1)));
    ASSERT_TRUE(velmi::test::RealClick(host.Day(1))) << "the click never came";
    EXPECT_EQ(sink.texts, Texts{TodayText()});
}

// Real typing: every edit raises Change with the text as typed while the
// grid stays (on its way "2/3/20" reads as a date); Enter draws and rewrites
// the date, once; Ctrl+A selects the whole box; Tab leaves a text that is no
// date for the date drawn, and the focus for its cell. Typing stops at the limit.
TEST(HostedControl, TypingCommitsOnceAtEnterOrTab) {
    AtlHost host;
    PutDate(host.Control(), Serial({2026, 12, 5}));
    ChangeSink sink(host.Control());
    HWND box = host.Part(kDateBoxId);
    const auto month = [&] { return host.Text(kMonthLabelId) + host.Text(kYearLabelId); };
    SetForegroundWindow(host.Top());
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 3, 3);
    Texts expected;
    for (const std::wstring typed : {L"3/15/2027\r", L"2/30/2027\t"}) {
        ASSERT_TRUE(velmi::test::PressKey('A', true) && velmi::test::Press(typed.substr(0, 9)));
        for (size_t n = 1; n <= 9; ++n)
            expected.push_back(typed.substr(0, n));
        EXPECT_EQ(sink.texts, expected);
        EXPECT_EQ(month(), expected.size() == 9 ? L"December 2026" : L"March 2027");
        ASSERT_TRUE(velmi::test::Press(typed.substr(9)));
        expected.push_back(L"March  15,  2027");
        EXPECT_EQ(sink.texts, expected);
        EXPECT_EQ(month(), L"March 2027");
    }
    EXPECT_EQ(GetFocus(), host.Day(velmi::test::CellOf(Serial({2027, 3, 15}))));
    const std::wstring full(kMaxTextLength, L'x');
    SetWindowTextW(box, full.c_str());
    SetFocus(box);
    ASSERT_TRUE(velmi::test::Press(L"y"));
    EXPECT_EQ(GetText(host.Control()), full);
}

// The grid is one tab stop, the selected day's cell, and the focus stays
// there with its dotted rectangle whatever a key, a click or putdate hides.
// A row starts by putdate from its date (none: where the last row ended);
// real keys and clicks follow.
TEST(HostedControl, TheFocusFollowsTheSelectedDayIntoEveryMonth) {
    AtlHost host;
    PutDate(host.Control(), Serial({2015, 2, 10}));
    ChangeSink sink(host.Control());
    SetForegroundWindow(host.Top());
    SetFocus(host.Part(kDateBoxId));
    ASSERT_TRUE(velmi::test::PressKey(VK_TAB));  // out, and round to the grid (Wine's host)
    enum How { kKey, kCtrlKey, kClick };
    const struct {
        Date from;
        How how;
        int what;  // a key, or the part clicked
        Date to;
    } rows[] = {
        {{2024, 3, 29}, kKey, VK_PRIOR, {2024, 2, 29}},
        {{}, kCtrlKey, VK_NEXT, {2025, 2, 28}},
        {{2023, 12, 31}, kKey, VK_PRIOR, {2023, 11, 30}},
        {{2026, 1, 30}, kKey, VK_NEXT, {2026, 2, 28}},
        {{2026, 1, 31}, kKey, VK_NEXT, {2026, 2, 28}},
        {{2024, 12, 15}, kKey, VK_HOME, {2024, 12, 1}},
        {{}, kKey, VK_NEXT, {2025, 1, 1}},
        {{2026, 1, 31}, kClick, kArrowIdBase + 2, {2025, 12, 31}},
        {{9999, 12, 31}, kKey, VK_NEXT, {9999, 12, 31}},
        {{}, kCtrlKey, VK_NEXT, {9999, 12, 31}},
        {{100, 1, 1}, kCtrlKey, VK_PRIOR, {100, 1, 1}},
        {{}, kKey, VK_PRIOR, {100, 1, 1}},
    };
    Date at{};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        if (row.from.year) PutDate(host.Control(), Serial(at = row.from));
        EXPECT_EQ(GetFocus(), host.Day(velmi::test::CellOf(Serial(at))));
        sink.texts.clear();
        const bool sent = row.how == kClick ? velmi::test::RealClick(host.Part(row.what))
                                            : velmi::test::PressKey(row.what, row.how == kCtrlKey);
        ASSERT_TRUE(sent) << "the input never came";
        const size_t changes = row.to == at ? 0 : row.how == kClick ? 2 : 1;
        EXPECT_EQ(sink.texts, Texts(changes, velmi::test::CalendarText(Serial(row.to))));
        HWND cell = host.Day(velmi::test::CellOf(Serial(row.to)));
        EXPECT_EQ(GetFocus(), cell);
        EXPECT_TRUE(row.to.month == at.month ||
                    !IsWindowVisible(host.Day(velmi::test::CellOf(Serial(at)))))
            << "a row whose cell stays in sight";
        RECT r{};
        GetClientRect(cell, &r);
        const auto inside = velmi::test::ClientPixels(cell).begin() + r.right;  // second row
        EXPECT_TRUE(std::any_of(inside + 1, inside + 8, [](COLORREF c) { return c != kGreen; }));
        at = row.to;
    }
    ASSERT_TRUE(velmi::test::PressKey(VK_TAB));
    EXPECT_EQ(GetFocus(), host.Part(kDateBoxId));
}

// Today's cell is outlined beside the selected day, and on it; the dpi runs
// repeat this at 144 and 192 and keep a screenshot of each.
TEST(HostedControl, TodayOutlinedBesideTheSelectedDay) {
    AtlHost host;
    const long today = velmi::test::RealToday();
    const long other = velmi::test::DateOf(today).wDay == 1 ? today + 1 : today - 1;
    const auto corner = [&](long day) {
        return velmi::test::ClientPixels(host.Day(velmi::test::CellOf(day)))[0];
    };
    PutDate(host.Control(), other);
    EXPECT_NE(corner(today), RGB(255, 255, 255));
    EXPECT_EQ(corner(other), kGreen);
    SetForegroundWindow(host.Top());
    SetFocus(host.Day(velmi::test::CellOf(other)));
    velmi::test::SaveScreenshot(
        host.Top(), L"today-outlined-" + std::to_wstring(GetDpiForWindow(host.Top())) + L"dpi");
    PutDate(host.Control(), today);
    EXPECT_NE(corner(today), kGreen);
}

// At a resolution change the date box is given its new font while the old
// one still exists.
TEST(HostedControl, TheDateBoxNeverHoldsADeletedFont) {
    AtlHost host;
    HWND box = host.Part(kDateBoxId);
    static WNDPROC original;
    static int deletedFontsHeld;
    original = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
        box, GWLP_WNDPROC,
        reinterpret_cast<LONG_PTR>(+[](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            const auto held = reinterpret_cast<HGDIOBJ>(SendMessageW(w, WM_GETFONT, 0, 0));
            if (m == WM_SETFONT && GetObjectType(held) != OBJ_FONT) ++deletedFontsHeld;
            return CallWindowProcW(original, w, m, wp, lp);
        })));
    SendMessageW(GetParent(box), WM_DPICHANGED_AFTERPARENT, 0, 0);
    EXPECT_EQ(deletedFontsHeld, 0);
}

// Every month's date, with a two-digit day, fits the date box at this scale
// (the dpi runs repeat this at 144 and 192); the arrows carry the names that
// accessibility clients read.
TEST(HostedControl, TheWholeDateFitsAndTheArrowsHaveNames) {
    AtlHost host;
    HWND box = host.Part(kDateBoxId);
    RECT room{};
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&room));
    const velmi::WindowDc dc(box);
    const velmi::Selected font(dc.Get(), HGDIOBJ(SendMessageW(box, WM_GETFONT, 0, 0)));
    for (int month = 1; month <= 12; ++month) {
        PutDate(host.Control(), velmi::SerialFromCivil({2026, month, 28}));
        const std::wstring text = host.Text(kDateBoxId);
        SIZE extent{};
        GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
        EXPECT_LE(extent.cx, room.right - room.left) << text << ", " << GetDpiForWindow(box);
    }
    const Texts names{L"Previous year", L"Next year", L"Previous month", L"Next month"};
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(host.Text(kArrowIdBase + static_cast<int>(i)), names[i]);
}

TEST(Control, DrawsItselfIntoAForeignDeviceContextWithoutAWindow) {
    ComPtr<_Nuvender> control = CreateControl();
    PutText(control.Get(), L"March  7,  2001");
    ComPtr<IViewObject2> view;
    ASSERT_EQ(control.As(&view), S_OK);
    HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
    const RECTL bounds{0, 0, 372, 514};  // twice the size
    HGDIOBJ old = SelectObject(dc, CreateCompatibleBitmap(screen, bounds.right, bounds.bottom));
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    int green = 0;  // the marked day's cell
    for (int i = 0; i < 372 * 514; i += 7)
        green += GetPixel(dc, i % 372, i / 372) == RGB(0, 255, 0);
    EXPECT_GT(green, 100);
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 255, 192));  // the frame
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

// A bag that holds what it is given under the names it is given. A miss
// leaves an empty text behind, as the contract allows: the caller clears it.
class Bag final : public OnStack<IPropertyBag> {
public:
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        // The value is [in, out]: what it holds must be nothing to free.
        EXPECT_TRUE(value->vt == VT_EMPTY || (value->vt == VT_BSTR && !value->bstrVal));
        const auto entry = entries.find(name);
        const std::wstring text = entry == entries.end() ? L"" : entry->second;
        value->vt = VT_BSTR;
        value->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return entry == entries.end() ? E_INVALIDARG : S_OK;
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
        entries[name] = value->bstrVal ? value->bstrVal : L"";
        return S_OK;
    }
    std::map<std::wstring, std::wstring> entries;
};

// Every path holds to one length limit: a bag or a stream that holds more
// fails to load, without a message; a put of more says "Invalid date"; a
// text at the limit saves a stream that loads back.
TEST(Control, PropertyBagsAndStreams) {
    MessageBoxAnswerer answerer;
    const std::wstring full(kMaxTextLength, L'x');
    const struct {
        std::optional<std::wstring> stored;
        Texts raised;
        HRESULT loads = S_OK;
    } rows[] = {
        {L"tomorrow", {L"tomorrow"}},  // unchecked: no message box
        {std::wstring(L"3-8-2001\0x", 10), Texts(2, L"March  8,  2001")},  // ends at the zero
        {L"", {}},
        {std::nullopt, Texts(2, TodayText())},  // short form, then canonical
        {full, {full}},
        {full + L"x", {}, E_INVALIDARG},
    };
    for (const auto& row : rows) {
        ComPtr<_Nuvender> control = CreateControl(), loaded = CreateControl();
        ChangeSink sink(control.Get());
        ComPtr<IPersistPropertyBag> persist;
        ASSERT_EQ(control.As(&persist), S_OK);
        Bag bag;
        if (row.stored) bag.entries[L"text"] = *row.stored;  // as the property's member is spelled
        ASSERT_EQ(persist->Load(&bag, nullptr), row.loads);
        EXPECT_EQ(sink.texts, row.raised);
        if (FAILED(row.loads)) continue;
        ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
        EXPECT_EQ(bag.entries[L"Text"], GetText(control.Get()));
        // Containers that keep their controls in streams get the same text back.
        ComPtr<IPersistStreamInit> out, in;
        ComPtr<IStream> stream;
        ASSERT_TRUE(control.As(&out) == S_OK && loaded.As(&in) == S_OK);
        ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
        ASSERT_EQ(out->Save(stream.Get(), TRUE), S_OK);
        ASSERT_EQ(stream->Seek({}, STREAM_SEEK_SET, nullptr), S_OK);
        ASSERT_EQ(in->Load(stream.Get()), S_OK);
        EXPECT_EQ(GetText(loaded.Get()), GetText(control.Get()));
        // One more character than the limit, as a stream claims it.
        const DWORD longer[2] = {0x3156554E, kMaxTextLength + 1};
        ASSERT_EQ(stream->Seek({}, STREAM_SEEK_SET, nullptr), S_OK);
        ASSERT_EQ(stream->Write(longer, sizeof(longer), nullptr), S_OK);
        ASSERT_EQ(stream->Seek({}, STREAM_SEEK_SET, nullptr), S_OK);
        EXPECT_EQ(in->Load(stream.Get()), E_INVALIDARG);
    }
    EXPECT_TRUE(answerer.Seen().empty());
    ComPtr<_Nuvender> control = CreateControl();
    PutText(control.Get(), L"3/8/2001" + std::wstring(kMaxTextLength, L' '));  // a date, but long
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, L"Invalid date");
}

TEST(Control, ClassFactoryServesOnlyTheCalendarAndCountsWhatLives) {
    HMODULE library = LoadLibraryW(L"Nuv.ocx");  // from the test's own folder
    auto getClass =
        ProcAddress<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(library, "DllGetClassObject");
    auto canUnload = ProcAddress<HRESULT(WINAPI*)()>(library, "DllCanUnloadNow");
    ASSERT_TRUE(library && getClass && canUnload);
    ComPtr<IClassFactory> factory;
    ComPtr<IUnknown> control, aggregate;
    EXPECT_EQ(getClass(IID_IDispatch, IID_PPV_ARGS(&factory)), CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(getClass(CLSID_Nuvender, IID_PPV_ARGS(&factory)), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&control)), S_OK);
    EXPECT_EQ(factory->CreateInstance(control.Get(), IID_PPV_ARGS(&aggregate)),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(canUnload(), S_FALSE);  // an instance lives
    control.Reset();
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(canUnload(), S_FALSE);  // locked
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(canUnload(), S_OK);
    FreeLibrary(library);
}

// Hostile but well-formed callers, on a bare control and on one hosted in
// place. What is ours on that path is the argument check, the four members
// and the bag reads, so the calls use the members' ids with any flags and
// counts, and texts, days and objects as arguments. Nothing may crash, memory
// and handles must not grow, every object handed over must come back, and
// afterwards the control must still work. Every run prints its seed;
// VELMI_FUZZ_SEED repeats a run.

// An object handed over in arguments: the control must give back every
// reference it takes. Asked for its value it answers with a date.
class Probe final : public OnStack<IDispatch> {
public:
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (!result) return E_FAIL;
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocString(L"March  1,  2000");
        return S_OK;
    }
};

// Random calls, and a bag whose entries hold random arguments, read or not.
class Fuzzer final : public OnStack<IPropertyBag> {
public:
    explicit Fuzzer(std::uint64_t seed) : random_(seed) {}
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(random_() % n); }

    // A text, a day, an object or nothing. Texts that are no date are rare:
    // each put of one costs a message box.
    void Argument(VARIANT& v) {
        static constexpr VARTYPE kTypes[] = {VT_BSTR, VT_BSTR, VT_DATE, VT_DISPATCH, VT_NULL};
        static constexpr std::wstring_view kTexts[] = {
            L"11-15-1999", L"  ", L"March  1,  2000", L"12/31/9999", {L"3-7-2001\0zz", 11}, {}};
        static const double kDays[] = {36600.75, -0.5, 2958465.99, -657435, 1e300, std::nan("")};
        const std::wstring_view text = Below(200) ? kTexts[Below(6)] : L"no date";
        VariantInit(&v);
        v.vt = kTypes[Below(5)];
        if (v.vt == VT_BSTR && !text.empty())
            v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        if (v.vt == VT_DATE) v.date = kDays[Below(6)];
        if (v.vt == VT_DISPATCH) v.pdispVal = (probe.AddRef(), &probe);
    }

    // A call to one of the members, or to none, in any shape; counts that do
    // not match their pointers are refused before any use.
    void Call(IDispatch* control) {
        static constexpr DISPID kIds[] = {kTextDispId, kPutDateDispId, kMarkDayDispId,
                                          DISPID_VALUE};
        VARIANT args[3], result{};
        DISPID named[3] = {DISPID_PROPERTYPUT, DISPID_PROPERTYPUT, 0};
        DISPPARAMS params{args, named, Below(4), 0};
        for (VARIANT& arg : args)
            Argument(arg);
        const auto flags = static_cast<WORD>(1 << Below(4));
        params.cNamedArgs = flags & DISPATCH_PROPERTYPUT ? 1 : Below(8) == 0;
        if (Below(20) == 0) params.cNamedArgs = params.cArgs + 1;
        if (Below(20) == 0) params.rgvarg = nullptr;
        if (Below(20) == 0) params.rgdispidNamedArgs = nullptr;
        EXCEPINFO exception{};
        UINT argError = 0;
        const bool noParams = Below(50) == 0;
        const HRESULT hr =
            control->Invoke(kIds[Below(4)], Below(30) ? IID_NULL : IID_IDispatch, 0, flags,
                            noParams ? nullptr : &params, Below(2) ? &result : nullptr,
                            Below(2) ? &exception : nullptr, &argError);
        const bool malformed = params.cNamedArgs > params.cArgs ||
                               (params.cArgs && !params.rgvarg) ||
                               (params.cNamedArgs && !params.rgdispidNamedArgs);
        EXPECT_EQ(hr, noParams ? E_POINTER : malformed ? E_INVALIDARG : hr);
        VariantClear(&result);
        for (BSTR text : {exception.bstrSource, exception.bstrDescription, exception.bstrHelpFile})
            SysFreeString(text);
        for (VARIANT& arg : args)
            VariantClear(&arg);
    }

    STDMETHODIMP Read(LPCOLESTR, VARIANT* value, IErrorLog*) override {
        // The value is [in, out]: what it holds must be nothing to free.
        foreign = foreign || (value->vt != VT_EMPTY && !(value->vt == VT_BSTR && !value->bstrVal));
        const std::uint32_t how = Below(6);
        Argument(*value);  // a failed read too may leave a value, for the caller to clear
        return how == 0 ? E_FAIL : how < 3 ? E_INVALIDARG : S_OK;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return Below(2) ? S_OK : E_FAIL; }

    Probe probe;
    bool foreign = false;  // a Read was handed a value the control never cleared

private:
    std::mt19937_64 random_;
};

TEST(InvokeFuzz, RandomCallsAndBagsNeitherCrashNorLeakAndTheControlStillWorks) {
    wchar_t seedText[32] = {};
    const unsigned long long seed = GetEnvironmentVariableW(L"VELMI_FUZZ_SEED", seedText, 32)
                                        ? std::wcstoull(seedText, nullptr, 0)
                                        : GetTickCount64();
    std::printf("seed %llu (VELMI_FUZZ_SEED repeats this run)\n", seed);
    MessageBoxAnswerer answerer;
    Fuzzer fuzzer(seed);
    {
        ComPtr<_Nuvender> bare = CreateControl();
        AtlHost host;
        // Each change redraws the hosted control, a hundred times slower.
        auto target = [&] { return fuzzer.Below(20) ? bare.Get() : host.Control(); };
        auto round = [&] {
            for (int i = 0; i < 20'000; ++i) {
                fuzzer.Call(target());
                if (i % 10 != 0) continue;
                ComPtr<IPersistPropertyBag> persist;
                ASSERT_EQ(target()->QueryInterface(IID_PPV_ARGS(&persist)), S_OK);
                (void)(fuzzer.Below(4) ? persist->Load(&fuzzer, nullptr)
                                       : persist->Save(&fuzzer, TRUE, TRUE));
                ASSERT_EQ(fuzzer.Refs(), 1u) << "the control kept or lost references to the bag";
            }
            Pump();
        };
        round();  // the platform's caches fill
        const velmi::test::ResourceUsage before = velmi::test::MeasureResources();
        round();
        const velmi::test::ResourceUsage after = velmi::test::MeasureResources();
        const std::string change = Describe(before) + " -> " + Describe(after);
        EXPECT_LE(after.heapBytes, before.heapBytes + 256 * 1024) << change;
        EXPECT_LE(after.handles + after.gdi, before.handles + before.gdi + 8) << change;
        EXPECT_LE(after.user, before.user + 2) << change;
        for (_Nuvender* control : {bare.Get(), host.Control()}) {
            ChangeSink sink(control);
            EXPECT_EQ(PutDate(control, velmi::SerialFromCivil({2002, 4, 8})), S_OK);
            EXPECT_EQ(sink.texts, Texts{L"April  8,  2002"});
        }
    }
    EXPECT_FALSE(fuzzer.foreign)
        << "IPropertyBag::Read was handed a value the control never cleared";
    EXPECT_EQ(fuzzer.probe.Refs(), 1u) << "the control kept or lost references to an argument";
}

}  // namespace
}  // namespace nuv::test
