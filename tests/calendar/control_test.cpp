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
    wchar_t text[64] = {};
    GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, nullptr, L"MMMM  d,  yyyy", text, 64, nullptr);
    return text;
}

// The single-line date box reports a change on every write, the same text
// included: only the shell's compare-before-write keeps these counts.
TEST(HostedControl, ChangeComesOnlyForARealChangeOfTheText) {
    AtlHost host;
    ChangeSink sink(host.Control()), leaver(host.Control());
    leaver.onChange = [&] { leaver.Connect(false); };  // a sink may leave inside the event
    HWND box = host.Part(kDateBoxId);
    enum How { kPut, kPutDate, kKey, kPaste };
    const struct {
        How how;
        const wchar_t* text;
        Texts raised;
    } rows[] = {
        {kPut, L"11-15-1999", Texts(2, L"November  15,  1999")},
        {kPut, L"November  15,  1999", {}},
        {kPutDate, L"36957.75", {L"March  7,  2001"}},  // 6 p.m. on 7 March 2001
        {kPutDate, L"36957", {}},
        {kKey, L"x", {L"xMarch  7,  2001"}},
        {kPaste, L"March  9,  2001", {L"March  9,  2001"}},
        {kPaste, L"03-07-2001", Texts(2, L"March  7,  2001")},
        {kPut, L"  ", {L""}},
        {kPut, L"", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        sink.texts.clear();
        if (row.how == kPut) PutText(host.Control(), row.text);
        if (row.how == kPutDate) (void)PutDate(host.Control(), std::stod(row.text));
        if (row.how >= kKey) SendMessageW(box, EM_SETSEL, 0, row.how == kKey ? 0 : -1);
        if (row.how == kKey) SendMessageW(box, WM_CHAR, row.text[0], 0);
        if (row.how == kPaste) SendMessageW(box, EM_REPLACESEL, TRUE, LPARAM(row.text));
        Pump();
        EXPECT_EQ(sink.texts, row.raised);
        EXPECT_EQ(host.Text(kDateBoxId), GetText(host.Control()));
    }
    EXPECT_EQ(leaver.texts.size(), 1u);
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
// day navigate, and the place of a hidden cell is the frame's. Inside Change
// the container already sees the new date box, year label and green cell.
TEST(HostedControl, RealClicksOnEachKindOfPart) {
    AtlHost host;
    PutDate(host.Control(), Date(2001, 3, 7));
    ChangeSink sink(host.Control());
    Texts seen;
    sink.onChange = [&] {
        seen.push_back(host.Text(kDateBoxId) + L"|" + host.Text(kYearLabelId) + L"|" +
                       std::to_wstring(host.GreenCell()));
    };
    for (int id : {kYearLabelId, kMonthLabelId, kWeekdayIdBase, kWeekdayIdBase + 6})
        ASSERT_TRUE(RealClick(host.Part(id)));
    EXPECT_TRUE(seen.empty());
    const struct {
        int part;
        Texts seen;
    } clicks[] = {
        {kNextMonth, Texts(2, L"April  1,  2001| 2001|0")},
        {kPreviousYear, {L"April  1,  2000| 2000|6"}},
        {kNextYear, {L"April  1,  2001| 2001|0"}},
        {kPreviousMonth, Texts(2, L"March  31,  2001| 2001|34")},
        {kDayIdBase + 20, {L"March  17,  2001| 2001|20"}},  // Thursday the 1st in cell 4
    };
    for (const auto& click : clicks) {
        seen.clear();
        ASSERT_TRUE(RealClick(host.Part(click.part)));
        EXPECT_EQ(seen, click.seen) << click.part;
    }
    velmi::test::SaveScreenshot(host.Top(), L"calendar_march_17_2001");
    sink.texts.clear();
    ASSERT_FALSE(IsWindowVisible(host.Day(1)));
    ASSERT_TRUE(RealClick(host.Day(1)));
    EXPECT_EQ(sink.texts, Texts{TodayText()});
}

TEST(HostedControl, TabRunsThroughTheCellsAndTheDateBox) {
    AtlHost host;
    PutDate(host.Control(), Date(2015, 2, 10));  // Sunday the 1st in cell 0; cells 28 .. 36 hidden
    Pump();
    SetFocus(host.Day(0));
    // Backwards through the cells shown, the date box, and round again (Wine's
    // host does not take the focus).
    for (int i = 27; i >= -1; --i) {
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        EXPECT_EQ(GetFocus(), i > 0 ? host.Day(i) : i == 0 ? host.Part(kDateBoxId) : host.Day(0));
    }
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
    for (int i = 0; i < 372 * 514; i += 7)
        green += GetPixel(dc, i % 372, i / 372) == RGB(0, 255, 0);
    EXPECT_GT(green, 100);
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 255, 192));  // the frame
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
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
        // Containers that keep their controls in streams get the same text back.
        ComPtr<IDispatch> loaded = CreateControl();
        ComPtr<IPersistStreamInit> out, in;
        ComPtr<IStream> stream;
        ASSERT_TRUE(control.As(&out) == S_OK && loaded.As(&in) == S_OK);
        ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
        ASSERT_EQ(out->Save(stream.Get(), TRUE), S_OK);
        ASSERT_EQ(stream->Seek({}, STREAM_SEEK_SET, nullptr), S_OK);
        ASSERT_EQ(in->Load(stream.Get()), S_OK);
        EXPECT_EQ(GetText(loaded.Get()), GetText(control.Get()));
    }
    EXPECT_TRUE(answerer.Seen().empty());
}

TEST(Control, ClassFactoryServesOnlyTheCalendarAndCountsWhatLives) {
    HMODULE library = LoadLibraryW(L"Nuv.ocx");  // from the test's own folder
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
