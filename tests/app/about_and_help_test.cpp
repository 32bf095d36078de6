// The About window, help and the products window, driven on the real windows.
#include "main_window_fixture.h"
#include "about_window.h"
#include "process.h"
#include "products.h"

#include <gtest/gtest.h>

namespace velmi::test {
namespace {

class AuxiliaryTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Start();
    }
    void Menu(int id) {
        SendMessageW(mainWindow->Window(), WM_COMMAND, id, 0);
        Pump();
    }
    // A key press as the program's message loop receives it.
    void PressKey(HWND window, UINT vk) {
        MSG msg{window, WM_KEYDOWN, vk, 0, 0, {}};
        if (!mainWindow->PreTranslateMessage(msg)) SendMessageW(window, WM_KEYDOWN, vk, 0);
        Pump();
    }
    // Runs the messages that the program's own loop would run.
    void PumpLikeTheProgram() {
        MSG msg;
        for (int round = 0; round < 4; ++round) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (mainWindow->PreTranslateMessage(msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(5);
        }
    }
};

TEST_F(AuxiliaryTest, OneAboutWindowThatOkHidesAndTheCloseBoxUnloads) {
    SetWindowTextW(Note(), L"my note");
    Menu(kMenuAboutId);
    Menu(kMenuAboutId);
    const auto windows = TopLevelWindows(kAboutWindowClass);
    ASSERT_EQ(windows.size(), 1u);
    HWND about = windows[0];
    EXPECT_TRUE(IsWindowVisible(about));
    EXPECT_EQ(WindowText(about), L"About");
    HWND text = GetDlgItem(about, kAboutTextId);
    const std::wstring aboutText = WindowText(text);
    EXPECT_EQ(aboutText.substr(0, aboutText.find(L"\r\n", 7) + 2),
              L"Text1\r\nVersion 2.0 - October 26, 1999\r\n");
    size_t lines = 0;
    for (size_t at = 0; (at = aboutText.find(L"\r\n", at)) != std::wstring::npos; at += 2)
        ++lines;
    EXPECT_EQ(lines, 8u);
    EXPECT_EQ(GetFocus(), GetDlgItem(about, kAboutOkId));
    EXPECT_FALSE(GetWindowLongW(text, GWL_STYLE) & WS_TABSTOP);
    SaveScreenshot(about, L"about_window");

    SendMessageW(text, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"typed into About"));
    SendMessageW(GetDlgItem(about, kAboutOkId), BM_CLICK, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(about));
    EXPECT_EQ(WindowText(Note()), L"my note");
    EXPECT_EQ(mainWindow->Calendar().Text(), L"December  5,  2026");
    Menu(kMenuAboutId);
    EXPECT_EQ(TopLevelWindows(kAboutWindowClass), windows);  // the same window, as it was left
    EXPECT_EQ(WindowText(text), L"typed into About");

    SendMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(about));
    Menu(kMenuAboutId);
    ASSERT_EQ(TopLevelWindows(kAboutWindowClass).size(), 1u);
    EXPECT_EQ(
        WindowText(GetDlgItem(TopLevelWindows(kAboutWindowClass)[0], kAboutTextId)).substr(0, 5),
        L"Text1");
}

TEST_F(AuxiliaryTest, ClosingTheMainWindowClosesAboutToo) {
    Menu(kMenuAboutId);
    ASSERT_EQ(TopLevelWindows(kAboutWindowClass).size(), 1u);
    SendMessageW(mainWindow->Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(mainWindow->Window(), nullptr);
    EXPECT_TRUE(TopLevelWindows(kAboutWindowClass).empty());
}

TEST_F(AuxiliaryTest, F1AndTheHelpMenuOpenTheSamePageBesideTheProgram) {
    PressKey(Note(), VK_F1);
    ASSERT_EQ(opened.size(), 1u);
    const std::wstring page = opened[0];
    EXPECT_EQ(page.substr(page.find_last_of(L"\\/") + 1), L"VelmiReg.htm");
    EXPECT_EQ(page, BesideProgram(L"VelmiReg.htm"));

    SendMessageW(mainWindow->Window(), WM_COMMAND, kMenuHelpId, 0);  // posts an F1 press
    PumpLikeTheProgram();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1], page);

    Menu(kMenuAboutId);
    PressKey(GetDlgItem(TopLevelWindows(kAboutWindowClass)[0], kAboutOkId), VK_F1);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[2], page);
}

TEST_F(AuxiliaryTest, ProductsHideTheMainWindowUntilTheyAreLeft) {
    HWND main = mainWindow->Window();
    mainWindow->Alarms().timers = {{0, 570}, 1};  // a countdown started before, due at 09:30
    Menu(kMenuProductsId);
    EXPECT_FALSE(IsWindowVisible(main));
    auto products = TopLevelWindows(kProductsWindowClass);
    ASSERT_EQ(products.size(), 1u);
    SaveScreenshot(products[0], L"products_window");

    // Countdowns still go off while the main window is hidden.
    MessageBoxAnswerer answerer;
    SendMessageW(main, WM_TIMER, kCountdownTimerId, 0);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, L"Timer went off at 09:30:05");

    SendMessageW(GetDlgItem(products[0], kProductCalendarId), BM_CLICK, 0, 0);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find(L"VelmiReg.htm#calendar"), std::wstring::npos);

    SendMessageW(GetDlgItem(products[0], kProductsBackId), BM_CLICK, 0, 0);
    Pump();
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(GetFocus(), Note());
    EXPECT_TRUE(TopLevelWindows(kProductsWindowClass).empty());

    // Its close box does the same, or the main window would stay hidden for good.
    Menu(kMenuProductsId);
    products = TopLevelWindows(kProductsWindowClass);
    ASSERT_EQ(products.size(), 1u);
    SendMessageW(products[0], WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(GetFocus(), Note());
}

}  // namespace
}  // namespace velmi::test
