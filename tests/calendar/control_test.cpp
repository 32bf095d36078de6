// The control as containers see it: what only a real control shows on top of
// the rules its model is tested for. Real clicks on each kind of part, the
// text a container reads inside Change, the Change counts that the date box
// window would otherwise break, tab order, drawing without a window, the
// message box's owner, persistence and the class factory.
#include "control_support.h"
#include "message_box_answerer.h"
#include "proc_address.h"
#include "screenshot.h"

#include <gtest/gtest.h>
#include <olectl.h>

#include <cmath>
#include <map>
#include <optional>

namespace nuv::test {
namespace {

using namespace std::chrono_literals;
using velmi::test::MessageBoxAnswerer;
using Texts = std::vector<std::wstring>;

constexpr int kPreviousYear = kArrowIdBase, kNextYear = kArrowIdBase + 1;
constexpr int kPreviousMonth = kArrowIdBase + 2, kNextMonth = kArrowIdBase + 3;

std::wstring TodayText() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t month[40] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &now, L"MMMM", month, 40, nullptr);
    return std::wstring(month) + L"  " + std::to_wstring(now.wDay) + L",  " +
           std::to_wstring(now.wYear);
}

// The single-line date box reports a change on every write, the same text
// included: only the shell's compare-before-write keeps these counts.
TEST(HostedControl, ChangeComesOnlyForARealChangeOfTheText) {
    AtlHost host;
    ChangeSink sink(host.Control());
    HWND box = host.Part(kDateBoxId);
    auto paste = [&](const wchar_t* text) {
        SendMessageW(box, EM_SETSEL, 0, -1);
        SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    };
    const struct {
        const char* what;
        std::function<void()> act;
        Texts raised;
    } rows[] = {
        {"put of another form", [&] { PutText(host.Control(), L"11-15-1999"); },
         Texts(2, L"November  15,  1999")},
        {"put of the same text", [&] { PutText(host.Control(), L"November  15,  1999"); }, {}},
        {"putdate",
         [&] { PutDate(host.Control(), Date(2001, 3, 7) + 0.75); },
         {L"March  7,  2001"}},
        {"putdate of the shown day", [&] { PutDate(host.Control(), Date(2001, 3, 7)); }, {}},
        {"a keystroke at the start",
         [&] {
             SendMessageW(box, EM_SETSEL, 0, 0);
             SendMessageW(box, WM_CHAR, L'x', 0);
         },
         {L"xMarch  7,  2001"}},
        {"pasted canonical text", [&] { paste(L"March  9,  2001"); }, {L"March  9,  2001"}},
        {"pasted other form", [&] { paste(L"03-07-2001"); }, Texts(2, L"March  7,  2001")},
        {"blanks", [&] { PutText(host.Control(), L"  "); }, {L""}},
        {"empty into empty", [&] { PutText(host.Control(), L""); }, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        fflush(stdout);
        sink.texts.clear();
        row.act();
        Pump();
        EXPECT_EQ(sink.texts, row.raised);
        EXPECT_EQ(host.Text(kDateBoxId), GetText(host.Control()));
    }
}

TEST(HostedControl, ANonDateIsRefusedInABoxOwnedByTheContainersWindow) {
    AtlHost host;
    PutText(host.Control(), L"March  1,  2000");
    ChangeSink sink(host.Control());
    MessageBoxAnswerer answerer;
    PutText(host.Control(), L"tomorrow");
    ASSERT_TRUE(answerer.WaitForCount(1, 5s));
    EXPECT_EQ(answerer.Seen()[0].owner, host.Top());
    EXPECT_EQ(GetText(host.Control()), L"March  1,  2000");
    EXPECT_TRUE(sink.texts.empty());
}

TEST(Control, PutDateRefusesValuesThatNameNoDay) {
    ComPtr<IDispatch> control = CreateControl();
    ASSERT_EQ(PutDate(control.Get(), Date(2001, 3, 7)), S_OK);
    for (double bad : {1e300, -1e300, 2958466.0, -657435.0, std::nan("")})
        EXPECT_EQ(PutDate(control.Get(), bad), E_INVALIDARG) << bad;
    EXPECT_EQ(PutDate(control.Get(), -1.25), S_OK);  // 29 December 1899, 6 a.m.
    EXPECT_EQ(GetText(control.Get()), L"December  29,  1899");
}

// Real input, hit-tested by the window system: labels take the click (one
// that let it through to the frame would jump to today), each arrow and a
// day navigate, and the place of a hidden cell is the frame's.
TEST(HostedControl, RealClicksOnEachKindOfPart) {
    AtlHost host;
    PutDate(host.Control(), Date(2001, 3, 7));
    ChangeSink sink(host.Control());
    for (int id : {kYearLabelId, kMonthLabelId, kWeekdayIdBase, kWeekdayIdBase + 6})
        ASSERT_TRUE(RealClick(host.Part(id)));
    EXPECT_TRUE(sink.texts.empty());
    const struct {
        int part;
        Texts raised;
    } clicks[] = {
        {kNextMonth, Texts(2, L"April  1,  2001")},
        {kPreviousYear, {L"April  1,  2000"}},
        {kNextYear, {L"April  1,  2001"}},
        {kPreviousMonth, Texts(2, L"March  31,  2001")},
        {kDayIdBase + 4 + 16, {L"March  17,  2001"}},  // Thursday the 1st in cell 4
    };
    for (const auto& click : clicks) {
        sink.texts.clear();
        ASSERT_TRUE(RealClick(host.Part(click.part)));
        EXPECT_EQ(sink.texts, click.raised) << click.part;
    }
    EXPECT_EQ(host.GreenCell(), 20);
    velmi::test::SaveScreenshot(host.Top(), L"calendar_march_17_2001");
    sink.texts.clear();
    ASSERT_FALSE(IsWindowVisible(host.Day(1)));
    ASSERT_TRUE(RealClick(host.Day(1)));
    EXPECT_EQ(sink.texts, Texts{TodayText()});
}

TEST(HostedControl, TheContainerSeesTheNewDateInsideChange) {
    AtlHost host;
    PutDate(host.Control(), Date(2001, 1, 31));
    ChangeSink sink(host.Control());
    Texts seen;
    sink.onChange = [&] {
        seen.push_back(host.Text(kDateBoxId) + L"|" + host.Text(kMonthLabelId) + L"|" +
                       host.Text(kYearLabelId) + L"|" + std::to_wstring(host.GreenCell()));
    };
    ASSERT_TRUE(RealClick(host.Part(kPreviousMonth)));
    EXPECT_EQ(seen, Texts(2, L"December  31,  2000|December| 2000|35"));
    EXPECT_EQ(host.Text(kYearLabelId), L"2000");  // the blank goes after both events
    seen.clear();
    ASSERT_TRUE(RealClick(host.Day(5)));  // Friday the 1st
    EXPECT_EQ(seen, Texts{L"December  1,  2000|December| 2000|5"});
}

TEST(HostedControl, TabRunsThroughTheCellsAndTheDateBox) {
    AtlHost host;
    PutDate(host.Control(), Date(2015, 2, 10));  // Sunday the 1st in cell 0; cells 28 .. 36 hidden
    Pump();
    SetFocus(host.Day(0));
    std::vector<HWND> expected, seen;
    for (int i = 27; i >= 1; --i)
        expected.push_back(host.Day(i));
    expected.push_back(host.Part(kDateBoxId));
    expected.push_back(host.Day(0));  // Wine's host does not take the focus: round again
    for (size_t i = 0; i < expected.size(); ++i) {
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        seen.push_back(GetFocus());
    }
    EXPECT_EQ(seen, expected);
    // Through the container's accelerator path the last stop hands the key back.
    ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(host.Control()->QueryInterface(IID_PPV_ARGS(&active)), S_OK);
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(active->TranslateAccelerator(&tab), S_OK);
    EXPECT_EQ(GetFocus(), host.Day(27));
    SetFocus(tab.hwnd = host.Part(kDateBoxId));
    EXPECT_EQ(active->TranslateAccelerator(&tab), S_FALSE);
}

TEST(Control, DrawsItselfIntoAForeignDeviceContextWithoutAWindow) {
    ComPtr<IDispatch> control = CreateControl();
    PutText(control.Get(), L"March  7,  2001");
    ComPtr<IViewObject2> view;
    ASSERT_EQ(control.As(&view), S_OK);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 372, 514);  // twice the size
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECTL bounds{0, 0, 372, 514};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr,
                         nullptr, 0),
              S_OK);
    int green = 0;  // the marked day's cell
    for (int y = 0; y < 514; y += 2)
        for (int x = 0; x < 372; x += 2)
            green += GetPixel(dc, x, y) == RGB(0, 255, 0);
    EXPECT_GT(green, 100);
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 255, 192));  // the frame
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST(Control, EverySinkHearsAndMayLeaveDuringTheEvent) {
    ComPtr<IDispatch> control = CreateControl();
    ChangeSink first(control.Get()), second(control.Get()), third(control.Get());
    first.onChange = [&] { third.Connect(false); };
    second.onChange = [&] { second.Connect(false); };
    PutText(control.Get(), L"March  1,  2000");
    PutText(control.Get(), L"March  2,  2000");
    EXPECT_EQ(first.texts.size(), 2u);
    EXPECT_EQ(second.texts.size(), 1u);
    EXPECT_EQ(third.texts.size(), 0u);
}

// A bag that matches names without regard to case, as containers' bags do.
class Bag final : public OnStack<IPropertyBag> {
public:
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        // The value is [in, out]: what it holds must be nothing to free.
        EXPECT_TRUE(value->vt == VT_EMPTY || (value->vt == VT_BSTR && !value->bstrVal));
        for (auto& [key, text] : entries) {
            if (_wcsicmp(key.c_str(), name) != 0) continue;
            value->vt = VT_BSTR;
            value->bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            return S_OK;
        }
        return E_INVALIDARG;
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override {
        entries[name] = value->bstrVal ? value->bstrVal : L"";
        return S_OK;
    }
    std::map<std::wstring, std::wstring> entries;
};

TEST(Control, PropertyBagsAndStreams) {
    MessageBoxAnswerer answerer;
    const struct {
        std::optional<std::wstring> stored;
        Texts raised;
    } rows[] = {
        {L"11-15-1999", Texts(2, L"November  15,  1999")},
        {L"tomorrow", {L"tomorrow"}},  // unchecked: no message box
        {std::wstring(L"3-8-2001\0x", 10), Texts(2, L"March  8,  2001")},  // ends at the zero
        {L"", {}},
        {std::nullopt, Texts(2, TodayText())},  // short form, then canonical
    };
    for (const auto& row : rows) {
        ComPtr<IDispatch> control = CreateControl();
        ChangeSink sink(control.Get());
        ComPtr<IPersistPropertyBag> persist;
        ASSERT_EQ(control.As(&persist), S_OK);
        Bag bag;
        if (row.stored) bag.entries[L"text"] = *row.stored;
        ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
        EXPECT_EQ(sink.texts, row.raised);
        ASSERT_EQ(persist->Save(&bag, TRUE, TRUE), S_OK);
        EXPECT_EQ(bag.entries[L"Text"], GetText(control.Get()));
    }
    EXPECT_TRUE(answerer.Seen().empty());

    ComPtr<IDispatch> first = CreateControl(), second = CreateControl();
    PutText(first.Get(), L"March  1,  2000");
    ComPtr<IPersistStreamInit> save, load;
    ComPtr<IStream> stream;
    ASSERT_EQ(first.As(&save), S_OK);
    ASSERT_EQ(second.As(&load), S_OK);
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(save->Save(stream.Get(), TRUE), S_OK);
    ASSERT_EQ(stream->Seek({}, STREAM_SEEK_SET, nullptr), S_OK);
    ASSERT_EQ(load->Load(stream.Get()), S_OK);
    EXPECT_EQ(GetText(second.Get()), L"March  1,  2000");
}

TEST(Control, ClassFactoryServesOnlyTheCalendarAndCountsWhatLives) {
    HMODULE library = LoadLibraryW((BinDirectory() + L"Nuv.ocx").c_str());
    ASSERT_NE(library, nullptr);
    auto getClass = velmi::test::ProcAddress<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
        library, "DllGetClassObject");
    auto canUnload = velmi::test::ProcAddress<HRESULT(WINAPI*)()>(library, "DllCanUnloadNow");
    ASSERT_TRUE(getClass && canUnload);
    ComPtr<IClassFactory> factory;
    ComPtr<IDispatch> control;
    EXPECT_EQ(getClass(IID_IDispatch, IID_PPV_ARGS(&factory)), CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(getClass(CLSID_Nuvender, IID_PPV_ARGS(&factory)), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_PPV_ARGS(&control)), S_OK);
    ComPtr<IUnknown> aggregate;
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

}  // namespace
}  // namespace nuv::test
