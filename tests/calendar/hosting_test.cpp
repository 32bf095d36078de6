// The control hosted in place by Wine's own ActiveX host window.
#include "control_support.h"
#include "message_box_answerer.h"

#include <gtest/gtest.h>

#include <vector>

namespace nuv::test {
namespace {

RECT RectIn(HWND window, HWND reference) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT Pixels(const TwipRect& t) {  // at 96 dpi, 15 twips a pixel
    return {t.left / 15, t.top / 15, (t.left + t.width) / 15, (t.top + t.height) / 15};
}

bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(Hosting, IsInPlaceActiveWithItsLayoutAtTwipPositions) {
    AtlHost host;
    ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(host.Control()->QueryInterface(IID_PPV_ARGS(&inPlace)), S_OK);
    HWND window = nullptr;
    ASSERT_EQ(inPlace->GetWindow(&window), S_OK);
    EXPECT_EQ(window, host.Surface());
    EXPECT_EQ(GetParent(window), host.Host());
    EXPECT_TRUE(IsWindowVisible(window));

    HWND surface = host.Surface();
    EXPECT_TRUE(RectIn(host.Part(kFrameId), surface) == Pixels(kFrameRect));
    EXPECT_TRUE(RectIn(host.Part(kDateBoxId), surface) == Pixels(kDateBoxRect));
    EXPECT_TRUE(RectIn(host.Day(36), surface) == Pixels(DayRect(36)));
    EXPECT_TRUE(RectIn(host.Part(kArrowIdBase + 3), surface) == Pixels(kArrowRects[3]));
    EXPECT_TRUE(RectIn(host.Part(kWeekdayIdBase), surface) == Pixels(WeekdayLabelRect(0)));

    // The design state: every cell "01", the labels' design captions.
    EXPECT_EQ(host.Text(kDayIdBase + 17), L"01");
    EXPECT_EQ(host.Text(kMonthLabelId), L"Label3");
    EXPECT_EQ(host.Text(kYearLabelId), L"Year");
    EXPECT_EQ(host.Text(kDateBoxId), L"");

    // The date box stands in front of the frame; the cells in front of the
    // tall Sunday initial they overlap.
    RECT box = RectIn(host.Part(kDateBoxId), nullptr);
    EXPECT_EQ(WindowFromPoint({(box.left + box.right) / 2, (box.top + box.bottom) / 2}),
              host.Part(kDateBoxId));
    RECT day0 = RectIn(host.Day(0), nullptr);
    EXPECT_EQ(WindowFromPoint({(day0.left + day0.right) / 2, day0.top + 2}), host.Day(0));
}

TEST(Hosting, KeepsItsExtentAndLayoutWhenTheHostIsResized) {
    AtlHost host;
    ComPtr<IOleObject> ole;
    ASSERT_EQ(host.Control()->QueryInterface(IID_PPV_ARGS(&ole)), S_OK);
    const RECT before = RectIn(host.Day(20), host.Surface());
    for (SIZE size : {SIZE{400, 500}, SIZE{120, 90}, SIZE{260, 320}}) {
        SetWindowPos(host.Host(), nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        Pump();
        EXPECT_TRUE(RectIn(host.Day(20), host.Surface()) == before);
        SIZEL extent{};
        ASSERT_EQ(ole->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
        EXPECT_EQ(extent.cx, 4921);  // 2790 twips in hundredths of a millimetre
        EXPECT_EQ(extent.cy, 6800);  // 3855 twips
    }
}

TEST(Hosting, DrawsTheGridForAPutDate) {
    AtlHost host;
    PutText(host.Control(), L"11-15-1999");
    Pump();
    EXPECT_EQ(host.Text(kMonthLabelId), L"November");
    EXPECT_EQ(host.Text(kYearLabelId), L" 1999");
    EXPECT_EQ(host.Text(kDateBoxId), L"November  15,  1999");
    EXPECT_FALSE(IsWindowVisible(host.Day(0)));  // 1 November 1999 was a Monday
    EXPECT_EQ(host.Text(kDayIdBase + 1), L"1");
    EXPECT_EQ(host.Text(kDayIdBase + 30), L"30");
    EXPECT_FALSE(IsWindowVisible(host.Day(31)));
    EXPECT_EQ(GreenCell(host), 15);
    EXPECT_EQ(ColourAt(host.Day(14), 1, 1), RGB(255, 255, 255));
    EXPECT_EQ(ColourAt(host.Part(kFrameId), 5, 5), RGB(255, 255, 192));
    SaveScreenshot(host.Top(), L"calendar_hosted");
}

std::vector<int> TabThrough(int presses) {
    std::vector<int> ids;
    for (int i = 0; i < presses; ++i) {
        SendMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        SendMessageW(GetFocus(), WM_KEYUP, VK_TAB, 0);
        ids.push_back(GetDlgCtrlID(GetFocus()));
    }
    return ids;
}

TEST(Hosting, TheInvalidDateBoxBelongsToTheContainersWindow) {
    AtlHost host;
    velmi::test::MessageBoxAnswerer answerer;
    PutText(host.Control(), L"tomorrow");
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, L"Invalid date");
    EXPECT_EQ(answerer.Seen()[0].owner, host.Top());
}

TEST(Hosting, TabRunsThroughTheCellsAndTheDateBox) {
    AtlHost host;
    PutDate(host.Control(), Date(2015, 2, 10));  // Sunday the 1st in cell 0; cells 28 .. 36 hidden
    Pump();
    SetFocus(host.Day(0));
    std::vector<int> expected;
    for (int i = 27; i >= 1; --i)
        expected.push_back(kDayIdBase + i);
    expected.push_back(kDateBoxId);
    expected.push_back(kDayIdBase);  // Wine's host does not take the focus: round again
    EXPECT_EQ(TabThrough(static_cast<int>(expected.size())), expected);

    // Through the container's accelerator path, the last stop hands the key back.
    ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(host.Control()->QueryInterface(IID_PPV_ARGS(&active)), S_OK);
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(active->TranslateAccelerator(&tab), S_OK);
    EXPECT_EQ(GetFocus(), host.Day(27));
    SetFocus(host.Part(kDateBoxId));
    tab.hwnd = GetFocus();
    EXPECT_EQ(active->TranslateAccelerator(&tab), S_FALSE);
    EXPECT_EQ(GetFocus(), host.Part(kDateBoxId));

    // Shift+Tab goes the other way.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    EXPECT_EQ(TabThrough(2), (std::vector<int>{kDayIdBase + 1, kDayIdBase + 2}));
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
}

TEST(Hosting, EditingTheDateBoxRedraws) {
    AtlHost host;
    ChangeSink sink(host.Control());
    sink.Advise();
    HWND box = host.Part(kDateBoxId);
    SetFocus(box);
    // Pasted over the whole box: a date in another form is drawn and rewritten.
    SendMessageW(box, EM_SETSEL, 0, -1);
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"03-07-2001"));
    Pump();
    EXPECT_EQ(sink.texts, (std::vector<std::wstring>{L"March  7,  2001", L"March  7,  2001"}));
    EXPECT_EQ(host.Text(kDateBoxId), L"March  7,  2001");
    EXPECT_EQ(GreenCell(host), 10);  // 1 March 2001 was a Thursday

    // A keystroke that leaves no date: announced, not drawn.
    sink.Clear();
    SendMessageW(box, EM_SETSEL, 0, 0);
    SendMessageW(box, WM_CHAR, L'x', 0);
    EXPECT_EQ(sink.texts, std::vector<std::wstring>{L"xMarch  7,  2001"});
    EXPECT_EQ(host.Text(kMonthLabelId), L"March");
    EXPECT_EQ(GreenCell(host), 10);
    sink.Unadvise();
}

TEST(Hosting, DrawsItselfIntoAnyDeviceContext) {
    ComPtr<IDispatch> control = CreateControl();  // never in place: no window at all
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
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 255, 192));  // the frame
    const TwipRect march7 = DayRect(11);                  // Thursday the 1st: the 7th in cell 10
    const TwipRect seventh = DayRect(10);
    EXPECT_EQ(GetPixel(dc, seventh.left * 2 / 15 + 2, seventh.top * 2 / 15 + 2), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(dc, march7.left * 2 / 15 + 2, march7.top * 2 / 15 + 2), RGB(255, 255, 255));
    EXPECT_EQ(
        view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0),
        DV_E_DVASPECT);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace nuv::test
